// What the framework's own files share and the program's callers never see.
#pragma once

#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/framework/AppKit.h"

class QApplication;
class QWidget;

namespace framework {

// The one QApplication, made on first use; offscreen when there is no display or when asked.
QApplication* EnsureApplication();
void RequestOffscreen();
bool HasDisplay();

// The framework's NSWindow for a top-level widget (made on first use, owned by the framework).
NSWindow* WindowFor(QWidget* topLevel);

// While a run from the terminal is in progress: progress goes to stderr, failures are reported.
bool TerminalMode();
void SetTerminalMode(bool on);

// Why the first thing that failed during a run failed, for the terminal and the window.
void NoteFailure(const Failure& failure);
void ForgetFailures();

// Why the path given as the movie is no file that could hold one (no such file, a folder, a named
// pipe...), with the path as its subject; none for a regular file.
Failure SourceFileProblem(const std::string& path);

// Output files the file manager made in this process, so a failed run can take back an empty one,
// and the last file it was asked for, made or already there.
const std::vector<std::string>& FilesCreated();
const std::string& LastOutputPath();

// Preferences that this run's options stand in for: writes to these keys are dropped.
void IgnoreDefaultsWrites(const std::vector<std::string>& keys);

// An abort asked for from outside the window (Ctrl-C): the next left mouse-up request gets a click
// on the convert button.
void RequestAbortClick();

// An environment variable's value; empty when it is unset or empty, which mean the same here.
std::string NonEmptyEnv(const char* name);
// A per-user folder: the XDG variable's value, else the home folder's subfolder (".config"...).
std::string XdgFolder(const char* variable, const char* underHome);

// Whether terminate has run in this process, and with which exit status.
bool Terminated(int* status);
void ForgetTermination();
// The window the description made, or null before it is loaded.
QWidget* MainWindowWidget();
// Sends a control's action the way a user's click would: to the application for terminate:, to
// the delegate for the rest.
void SendAction(const std::string& selector, NSObject* sender);
}  // namespace framework

// What the program's entry needs of the framework: the application object, the run's first failure,
// the end of the process, and the hooks through which a run from the terminal reports instead of
// the window.
#pragma once

#include <functional>
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

// Why the first thing that failed during a run failed, for the terminal and the window.
void NoteFailure(const Failure& failure);
void ForgetFailures();

// Why the path given as the movie is no file that could hold one (no such file, a folder, a named
// pipe...), with the path as its subject; none for a regular file.
Failure SourceFileProblem(const std::string& path);
// Why an output may not be written at the path: a folder, a link to nothing, or no regular file (a
// named pipe, a device) that a movie renamed into place would destroy; none when it may.
Failure OutputFileProblem(const std::string& path);

// Preferences that this run's options stand in for: writes to these keys are dropped.
void IgnoreDefaultsWrites(const std::vector<std::string>& keys);

// An abort asked for from outside the window (Ctrl-C): the next left mouse-up request gets a click
// on the convert button.
void RequestAbortClick();

// Whether terminate has run in this process, and with which exit status.
bool Terminated(int* status);
void ForgetTermination();
// The window the description made, or null before it is loaded.
QWidget* MainWindowWidget();
// Sends a control's action the way a user's click would: to the application for terminate:, to
// the delegate for the rest.
void SendAction(const std::string& selector, NSObject* sender);

// A run from the terminal: the progress bar's values and the end of the run go to these hooks
// instead of the window. `finish` prints the closing line and returns the exit status.
struct TerminalHooks {
  std::function<void(double percent)> progress;
  std::function<int()> finish;
};
void RunInTerminal(TerminalHooks hooks);
bool TerminalMode();

// The last output file the file manager was asked for: made, already there, or found possible to make.
const std::string& LastOutputPath();

}  // namespace framework

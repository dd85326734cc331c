// What the framework's own files share and the program's callers never see.
#pragma once

#include <string>
#include <vector>

#include "platform/framework/AppKit.h"
#include "platform/framework/ApplicationRun.h"

class QWidget;

namespace framework {

// The framework's NSWindow for a top-level widget (made on first use, owned by the framework).
NSWindow* WindowFor(QWidget* topLevel);

// Output files the file manager made in this process, so a failed run can take back an empty one.
const std::vector<std::string>& FilesCreated();

// Progress for the terminal's hook, when the run is from the terminal.
void ShowProgressInTerminal(double percent);
// The time left beside the bar and the percentage in its window's title, while a run moves it.
void ShowProgressInWindow(QWidget* bar, double percent);

// An environment variable's value; empty when it is unset or empty, which mean the same here.
std::string NonEmptyEnv(const char* name);
// A per-user folder: the XDG variable's value, else the home folder's subfolder (".config"...).
std::string XdgFolder(const char* variable, const char* underHome);

}  // namespace framework

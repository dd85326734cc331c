// What a run from the terminal shows on standard error: the progress, and at the end one line
// that says where the output went or what went wrong.
#pragma once

#include <string>

namespace framework {

// Text as the terminal shows it: control characters and backslashes escaped as `ls -b` escapes
// them, so that a name holding a newline or an escape sequence stays on its line and draws nothing.
std::string ShownInTerminal(const std::string& text);
// One line of the report on standard error, "pocketmovie: " first. A reader that is gone (`| head`)
// loses the line; the run goes on.
void ReportLine(const std::string& text);

void ShowTerminalProgress(double percent);
// The exit status of this process's run from the terminal, after its closing line: 0 only when the
// output movie was completely written.
int FinishRunReport();

}  // namespace framework

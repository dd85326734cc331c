// What a run from the terminal shows on standard error: the progress, and at the end one line
// that says where the output went or what went wrong.
#pragma once

namespace framework {

void ShowTerminalProgress(double percent);
// The exit status of this process's run from the terminal, after its closing line: 0 only when the
// output movie was completely written.
int FinishRunReport();

}  // namespace framework

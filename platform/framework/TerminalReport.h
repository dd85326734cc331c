// What a run from the terminal shows on standard error: the progress, and at the end one line
// that says where the output went or what went wrong.
#pragma once

namespace framework {

void ShowTerminalProgress(double percent);
// The exit status of this process's run, with its closing line when run from the terminal:
// 0 when the output movie was completely written, or when the user quit a window with no export.
int FinishRunReport();

}  // namespace framework

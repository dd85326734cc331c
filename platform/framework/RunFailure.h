// Why a conversion run failed, which both the window's status line and the terminal's closing
// line show, and what a failed run must not leave behind.
#pragma once

#include "platform/Failure.h"

namespace framework {

// The first thing that failed in this run (an export's own failure first), or what its status
// says; "the conversion did not start" when nothing said more. None when the last export completed.
Failure LastRunFailure();
// Only files this process made and nobody wrote: an output the run created and never filled.
void RemoveEmptyOutputs();
// A window goes on after a failed run: the next run's reason must be its own, while the exit
// status still says that a run failed.
void ForgetRunFailure();
bool AnyRunFailed();
// Whether the last export of this process completed.
bool LastRunWritten();
// The window's exit status: 0 when the last export completed, or when the user quit with no export
// and no run failed meanwhile.
int WindowExitStatus();

}  // namespace framework

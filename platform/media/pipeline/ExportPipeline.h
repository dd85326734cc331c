// The export pipeline: decodes the source once, filters and encodes it, and writes the output,
// in one pass or in two from stored frames.
#pragma once

#include <functional>
#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ExportJob.h"

// Called with the fraction done (0..1, rising) at least every 1% or quarter second; a nonzero
// result stops the export.
using ExportProgress = std::function<OSErr(double fractionDone)>;

// Writes the job's output. noErr when complete; userCanceledErr when progress stopped it (the
// output then holds a playable movie of what was written, unless a non-empty file was there before:
// that one is kept as it was; stopped before a second pass began, nothing is written); another
// nonzero status when it failed (no corrupt file is left behind). `failure` says why it did not
// complete; `notice` says so when the written data rate or frame rate had to differ from the job's.
ComponentResult RunExportJob(const ExportJob& job, const ExportProgress& progress, Failure* failure,
                             Failure* notice = nullptr);

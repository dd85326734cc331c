// What an export will likely write, told before it runs: the chosen rates as the source's own cap
// them, the container's share, and the size limit where it binds.
#pragma once

#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/MovieRecord.h"

// Bytes for `seconds` of a source with these facts; facts with no rates of their own cap nothing.
double EstimatedExportBytes(ExportJob job, const MovieFacts& source, double seconds);

// Turns a component's settings and one export request into the job the pipeline runs.
#pragma once

#include <string>

#include "platform/media/exporters/ExporterSettings.h"
#include "platform/media/stages/ExportJob.h"

// H.263 chosen at a size it cannot code (see IsStandardH263Size) is written as MPEG-4 Visual.
// Sizes become whole even pixels within 16..4096; each codec gets only values it can write.
ExportJob ResolveExportJob(const ExporterSettings& settings, ExporterKind kind, const std::string& sourcePath,
                           const std::string& outputPath, double startSeconds, double durationSeconds);

// Turns a component's settings and one export request into the job the pipeline runs.
#pragma once

#include <string>

#include "platform/media/ExportJob.h"
#include "platform/media/ExporterSettings.h"

// The sizes H.263 can code; another size with H.263 chosen is written as MPEG-4 Visual instead.
bool IsStandardH263Size(int width, int height);

// Sizes become whole even pixels within 16..4096; each codec gets only values it can write.
ExportJob ResolveExportJob(const ExporterSettings& settings, ExporterKind kind, const std::string& sourcePath,
                           const std::string& outputPath, double startSeconds, double durationSeconds);

// The export components of type 'spit': 'mpg4' (MPEG-4 files) and '3gpp' (3GPP, 3GPP2, AMC).
// One class serves both; the kind decides the codecs on offer, the defaults and the container.
#pragma once

#include "platform/media/exporters/ExporterSettings.h"
#include "platform/movies/MovieExport.h"

class MovieExporterComponent : public MovieExporter {
 public:
  explicit MovieExporterComponent(ExporterKind kind);

  ComponentResult getSettingsAsAtomContainer(QTAtomContainer* settings) override;
  ComponentResult setSettingsFromAtomContainer(QTAtomContainer settings) override;
  ComponentResult doUserDialog(Movie theMovie, Track onlyThisTrack, TimeValue startTime, TimeValue duration,
                               Boolean* canceled) override;
  ComponentResult setProgressProc(MovieProgressUPP proc, long refcon) override;
  ComponentResult toFile(const FSSpec* theFile, Movie theMovie, Track onlyThisTrack, TimeValue startTime,
                         TimeValue duration) override;
  ComponentResult estimateBytes(Movie theMovie, double seconds, double* bytes) override;

 private:
  ExporterKind kind_;
  ExporterSettings settings_;
  MovieProgressUPP progress_ = nullptr;
  long progressRefcon_ = 0;
  bool exporting_ = false;
};

// What the source itself spends per second on its picture and its sound. A movie that is already
// small must not come out bigger, so neither of the output's rates goes above the source's own.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include "platform/media/stages/ExportJob.h"

struct SourceDataRates {
  long video = 0;  // bits per second; 0 when the file does not tell
  long audio = 0;
  long whole = 0;  // the whole file's, its container's own bytes included
};

// The streams' own rates; where one is not told, what the whole file spends less the other's.
SourceDataRates MeasureSourceDataRates(const AVFormatContext& format, int videoStream, int audioStream);

// Lowers the job's rates to the source's, each to a rate its codec can write. A picture rate the
// job leaves to the codec's quality default becomes the source's; an unknown source rate caps nothing.
void CapRatesAtSource(const SourceDataRates& source, ExportJob* job);

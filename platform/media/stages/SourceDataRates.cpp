#include "platform/media/stages/SourceDataRates.h"

#include <algorithm>

#include "platform/media/stages/AmrNbModes.h"

namespace {

// The AAC encoder's least rate that still sounds like the source; the job never goes below it.
constexpr long kLeastAacBitRate = 8000;

long StreamRate(const AVFormatContext& format, int stream) {
  return stream >= 0 ? long(std::max<int64_t>(0, format.streams[stream]->codecpar->bit_rate)) : 0;
}

}  // namespace

SourceDataRates MeasureSourceDataRates(const AVFormatContext& format, int videoStream, int audioStream) {
  SourceDataRates rates{StreamRate(format, videoStream), StreamRate(format, audioStream),
                        long(std::max<int64_t>(0, format.bit_rate))};
  if (rates.whole <= 0) return rates;
  if (videoStream >= 0 && rates.video == 0) {
    rates.video = std::max(0L, rates.whole - rates.audio);
  } else if (audioStream >= 0 && rates.audio == 0) {
    rates.audio = std::max(0L, rates.whole - rates.video);
  }
  return rates;
}

void CapRatesAtSource(const SourceDataRates& source, ExportJob* job) {
  if (source.video > 0 && job->videoCodec != VideoCodecChoice::none) {
    job->videoBitRate = job->videoBitRate > 0 ? std::min(job->videoBitRate, source.video) : source.video;
  }
  if (source.audio <= 0 || job->audioBitRate <= source.audio) return;
  if (job->audioCodec == AudioCodecChoice::amrNB) job->audioBitRate = AmrNbModeAtMost(source.audio).bitRate;
  if (job->audioCodec == AudioCodecChoice::aacLC) job->audioBitRate = std::max(source.audio, kLeastAacBitRate);
}

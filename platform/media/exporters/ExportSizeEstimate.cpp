#include "platform/media/exporters/ExportSizeEstimate.h"

#include <algorithm>

#include "platform/media/stages/AmrNbModes.h"
#include "platform/media/stages/SourceDataRates.h"

namespace {

// The container's own bytes: its headers and the encoder's, then an index entry (size, time,
// chunk) for every picture and every sound frame. Measured on written ".mp4" and ".3gp" files.
constexpr double kContainerBytes = 2048;
constexpr double kBytesPerPictureEntry = 10;
constexpr double kBytesPerSoundEntry = 5;
constexpr double kAacSamplesPerFrame = 1024;
constexpr double kAmrFramesPerSecond = 50;

double soundBytesPerSecond(const ExportJob& job) {
  if (job.audioCodec == AudioCodecChoice::amrNB) return AmrNbModeAtMost(job.audioBitRate).frameBytes * kAmrFramesPerSecond;
  return job.audioBitRate / 8.0 + kBytesPerSoundEntry * job.audioSampleRate / kAacSamplesPerFrame;
}

}  // namespace

double EstimatedExportBytes(ExportJob job, const MovieFacts& source, double seconds) {
  CapRatesAtSource({source.videoBitRate, source.audioBitRate}, &job);
  double perSecond = 0;
  if (source.hasVideo && job.videoCodec != VideoCodecChoice::none) {
    const double pictures = source.frameRate > 0 && job.frameRate > 0 ? std::min(job.frameRate, source.frameRate)
                                                                       : std::max(job.frameRate, source.frameRate);
    perSecond += job.videoBitRate / 8.0 + kBytesPerPictureEntry * pictures;
  }
  if (source.hasAudio && job.audioCodec != AudioCodecChoice::none) perSecond += soundBytesPerSecond(job);
  const double bytes = kContainerBytes + perSecond * std::max(0.0, seconds);
  return job.sizeLimitBytes > 0 ? std::min(bytes, double(job.sizeLimitBytes)) : bytes;
}

#include "platform/media/exporters/MovieExporterJob.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/media/stages/AmrNbModes.h"
#include "platform/movies/FixMath.h"

namespace {

VideoCodecChoice VideoCodecFor(OSType codecType, int width, int height) {
  if (codecType == kH264CodecType) return VideoCodecChoice::h264;
  if (codecType == kH263CodecType && IsStandardH263Size(width, height)) return VideoCodecChoice::h263;
  return VideoCodecChoice::mpeg4Visual;
}

// No rate asked for gets AMR-NB's best mode.
long AMRNBBitRate(long requested) {
  return requested <= 0 ? kAmrNbModes.back().bitRate : AmrNbModeAtMost(requested).bitRate;
}

int AACSampleRate(int requested, int fallback) {
  constexpr std::array<int, 9> rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  if (requested <= 0) return fallback;
  return *std::min_element(rates.begin(), rates.end(),
                           [&](int a, int b) { return std::abs(a - requested) < std::abs(b - requested); });
}

void ResolveSound(const SoundSettings& sound, OutputContainer container, ExportJob* job) {
  OSType codec = sound.codec;
  const OutputFormat& format = OutputFormatOf(container);
  if (codec == kSoundCodecFormatDefault) codec = format.soundCodec;
  if (codec == kSoundCodecNone) {
    job->audioCodec = AudioCodecChoice::none;
    return;
  }
  if (codec == kAMRNBCodecType) {
    job->audioCodec = AudioCodecChoice::amrNB;
    job->audioBitRate = AMRNBBitRate(sound.bitRate);
    job->audioSampleRate = 8000;
    job->audioChannels = 1;
    return;
  }
  const bool mono = format.mono;
  job->audioCodec = AudioCodecChoice::aacLC;
  job->audioChannels = sound.channels <= 0 ? (mono ? 1 : 2) : std::min(int(sound.channels), 2);
  job->audioSampleRate = AACSampleRate(sound.sampleRate, mono ? 22050 : 44100);
  long defaultBitRate = mono ? 32000 : 96000;
  job->audioBitRate = sound.bitRate <= 0 ? defaultBitRate : std::clamp<long>(sound.bitRate, 8000, 320000);
}

}  // namespace

ExportJob ResolveExportJob(const ExporterSettings& settings, ExporterKind kind, const std::string& sourcePath,
                           const std::string& outputPath, double startSeconds, double durationSeconds) {
  ExportJob job;
  job.sourcePath = sourcePath;
  job.outputPath = outputPath;
  job.container = OutputContainerFor(kind, settings.fileFormat, outputPath);
  job.startSeconds = startSeconds;
  job.durationSeconds = durationSeconds;

  job.width = EvenPictureSide(Fix2X(settings.width));
  job.height = EvenPictureSide(Fix2X(settings.height));
  job.videoCodec = VideoCodecFor(settings.spatial.codecType, job.width, job.height);
  // The 3GPP family goes to older phones, which play Baseline only; an MPEG-4 file gets it by choice.
  job.baselineProfile = job.container != OutputContainer::mp4 || settings.h264Profile == kH264ProfileBaseline;
  double frameRate = Fix2X(settings.temporal.frameRate);
  job.frameRate = frameRate > 0 ? frameRate : 0;
  job.keyFrameInterval = std::max<SInt32>(settings.temporal.keyFrameRate, 0);
  job.videoBitRate = settings.dataRate.dataRate > 0 ? long(settings.dataRate.dataRate) * 8 : 0;
  job.fit = settings.fit == kFitStretch ? PictureFit::stretch : PictureFit::keepShape;
  job.sizeLimitBytes = settings.fileSizeLimit > 0 ? settings.fileSizeLimit : 0;

  ResolveSound(settings.sound, job.container, &job);
  return job;
}

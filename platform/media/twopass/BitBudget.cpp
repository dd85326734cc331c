#include "platform/media/twopass/BitBudget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/media/stages/AmrNbModes.h"

namespace {

// The lambda scale of the quantisers in the statistics ("q:" is the quantiser times this).
constexpr double kLambdaPerQuantiser = 118;  // FF_QP2LAMBDA
// A key frame's quantisers are the others' scaled by this (FFmpeg's i_quant_factor): its coarsest
// is 25, not 31.
constexpr double kKeyFrameQuantiserScale = 0.8;
constexpr int kKeyFrameType = 1;  // AV_PICTURE_TYPE_I
// Aimed below the limit, so that the second pass's own miss stays inside it.
constexpr double kAimBelowLimit = 0.97;

constexpr long kLowestAacBitRatePerChannel = 12000;
// H.264's floor: below some 0.03 bits a pixel x264 paints grey blocks whatever the picture.
constexpr double kLeastH264BitsPerPixel = 0.03;
// Whatever the quantiser, an MPEG-4 or H.263 picture takes its header and a bit for each macroblock
// it leaves as it was.
constexpr double kLeastPictureHeaderBits = 48;
// AMR-NB's 20 ms frames.
constexpr double kAmrNbFramesPerSecond = 50;

// The highest of the sound's own rates, up to `most`, that takes at most `bytesPerSecond`; at least `lowest`.
long SoundRateWithin(AudioCodecChoice codec, double bytesPerSecond, long lowest, long most) {
  if (codec == AudioCodecChoice::amrNB) {
    for (auto mode = kAmrNbModes.rbegin(); mode != kAmrNbModes.rend(); ++mode) {
      if (mode->bitRate <= most && mode->frameBytes * kAmrNbFramesPerSecond <= bytesPerSecond) return mode->bitRate;
    }
    return kAmrNbModes.front().bitRate;
  }
  return std::min(most, std::max(lowest, long(bytesPerSecond * 8) / 1000 * 1000));
}

}  // namespace

PassOneSummary SummarisePassOne(const std::string& statistics) {
  PassOneSummary summary;
  size_t start = 0;
  while (start < statistics.size()) {
    size_t end = statistics.find(';', start);
    if (end == std::string::npos) break;
    const std::string line = statistics.substr(start, end - start);
    start = end + 1;
    int in = 0, out = 0, type = 0, itex = 0, ptex = 0, mv = 0, misc = 0;
    float q = 0;
    if (std::sscanf(line.c_str(), " in:%d out:%d type:%d q:%f itex:%d ptex:%d mv:%d misc:%d", &in, &out, &type, &q,
                    &itex, &ptex, &mv, &misc) != 8 || q <= 0) {
      continue;
    }
    ++summary.frames;
    double texture = double(itex) + ptex;
    summary.bitsAsEncoded += texture + mv + misc;
    // Texture bits fall with the quantiser as the encoder's own rate control models them (a key
    // frame gathered coarser than its coarsest costs more at it).
    double quantiser = q / kLambdaPerQuantiser;
    const double coarsest =
        type == kKeyFrameType ? std::floor(kCoarsestQuantiser * kKeyFrameQuantiserScale + 0.5) : kCoarsestQuantiser;
    summary.bitsAtCoarsest += texture * std::min<double>(quantiser, kCoarsestQuantiser) / coarsest + mv + misc;
    summary.bitsAtFinest += texture * std::max(1.0, quantiser / kFinestQuantiser) + mv + misc;
  }
  return summary;
}

double QuantiserForBits(const PassOneSummary& summary, double bits) {
  const double texture =
      (summary.bitsAtFinest - summary.bitsAtCoarsest) / (1.0 / kFinestQuantiser - 1.0 / kCoarsestQuantiser);
  const double rest = summary.bitsAtFinest - texture / kFinestQuantiser;
  if (bits <= rest) return kCoarsestQuantiser;
  return std::clamp(texture / (bits - rest), double(kFinestQuantiser), double(kCoarsestQuantiser));
}

long ContainerOverheadBytes(long videoFrames, long soundFrames, AudioCodecChoice sound) {
  // Fixed boxes, then some twelve bytes of sample tables per frame of a size of its own (its size,
  // and the chunk that interleaving starts for it); measured 7-13 on phone movies.
  const long sized = videoFrames + (sound == AudioCodecChoice::amrNB ? soundFrames / 25 : soundFrames);
  return 1536 + 12 * sized;
}

long LeastContainerOverheadBytes(long videoFrames, long soundFrames, AudioCodecChoice sound) {
  return 512 + 4 * (videoFrames + (sound == AudioCodecChoice::amrNB ? 0 : soundFrames));
}

double SoundBytesPerSecond(AudioCodecChoice codec, long bitRate) {
  if (codec == AudioCodecChoice::amrNB) return AmrNbModeAtMost(bitRate).frameBytes * kAmrNbFramesPerSecond;
  return bitRate / 8.0;
}

long LowestSoundBitRate(AudioCodecChoice codec, int channels) {
  if (codec == AudioCodecChoice::amrNB) return kAmrNbModes.front().bitRate;
  return kLowestAacBitRatePerChannel * std::max(1, channels);
}

long LeastVideoBitRate(VideoCodecChoice codec, int width, int height, double frameRate) {
  if (codec != VideoCodecChoice::h264) return 0;
  return std::lround(kLeastH264BitsPerPixel * width * height * std::max(frameRate, 0.0));
}

long VideoRateWithin(const ExportJob& job, const StoredMovieFacts& movie, double bytesPerSecond) {
  const double seconds = movie.ratedSeconds();
  double videoBytesPerSecond =
      bytesPerSecond - ContainerOverheadBytes(movie.videoFrames, movie.soundFrames, job.audioCodec) / seconds;
  if (movie.hasSound) videoBytesPerSecond -= SoundBytesPerSecond(job.audioCodec, job.audioBitRate);
  const long rate = std::lround(videoBytesPerSecond * 8 / (1 + kRateTolerance));
  return rate > LeastVideoBitRate(job.videoCodec, job.width, job.height, movie.frameRate) ? rate : 0;
}

LeastMovieBytes EstimateLeastMovieBytes(const ExportJob& job, const StoredMovieFacts& movie, double codedVideoBits,
                                        long codedFrames) {
  const double seconds = movie.ratedSeconds();
  LeastMovieBytes least{double(LeastContainerOverheadBytes(movie.videoFrames, movie.soundFrames, job.audioCodec)),
                        double(ContainerOverheadBytes(movie.videoFrames, movie.soundFrames, job.audioCodec))};
  if (movie.hasSound) {
    const long lowest = LowestSoundBitRate(job.audioCodec, job.audioChannels);
    least.estimated += SoundBytesPerSecond(job.audioCodec, lowest) * seconds;
    if (job.audioCodec == AudioCodecChoice::amrNB) least.certain += SoundBytesPerSecond(job.audioCodec, lowest) * seconds;
  }
  if (!movie.hasVideo) return least;
  if (const long floor = LeastVideoBitRate(job.videoCodec, job.width, job.height, movie.frameRate); floor > 0) {
    // The floor is a rule: a limit that leaves the picture less is refused whatever the sound's quiet.
    least.estimated += floor * seconds / 8;
    least.certain = least.estimated;
    return least;
  }
  const long uncoded = std::max(0L, movie.videoFrames - codedFrames);
  const double macroblocks = std::ceil(job.width / 16.0) * std::ceil(job.height / 16.0);
  const double videoAtLeast = codedVideoBits / 8 + uncoded * (macroblocks + kLeastPictureHeaderBits) / 8;
  least.certain += videoAtLeast;
  least.estimated += codedFrames > 0 ? codedVideoBits / 8 * double(codedFrames + uncoded) / codedFrames : videoAtLeast;
  return least;
}

BitBudgetPlan PlanBitBudget(const ExportJob& job, const StoredMovieFacts& movie, const PassOneSummary& passOne) {
  BitBudgetPlan plan;
  plan.videoBitRate = job.videoBitRate;
  plan.soundBitRate = job.audioBitRate;
  const double seconds = movie.ratedSeconds();
  const long floorRate = movie.hasVideo ? LeastVideoBitRate(job.videoCodec, job.width, job.height, movie.frameRate) : 0;
  const double leastVideoBits = movie.hasVideo ? std::max(passOne.bitsAtCoarsest, floorRate * seconds) : 0;

  // Where even the coarsest quantiser spends more than the chosen rate, fewer frames hold it.
  auto strideFor = [&](double videoBits) {
    if (videoBits <= 0 || passOne.bitsAtCoarsest <= videoBits) return 1;
    return int(std::min<double>(std::ceil(passOne.bitsAtCoarsest / videoBits), std::max(1L, movie.videoFrames)));
  };
  const double videoAtRate = !movie.hasVideo        ? 0
                             : job.videoBitRate > 0 ? double(job.videoBitRate) * seconds
                                                    : passOne.bitsAsEncoded;
  plan.frameStride = job.videoBitRate > 0 ? strideFor(videoAtRate) : 1;
  if (job.sizeLimitBytes <= 0) return plan;

  const long lowestSound = LowestSoundBitRate(job.audioCodec, job.audioChannels);
  auto soundBytes = [&](long rate) {
    return movie.hasSound ? SoundBytesPerSecond(job.audioCodec, rate) * seconds : 0.0;
  };
  const double overhead = double(ContainerOverheadBytes(movie.videoFrames, movie.soundFrames, job.audioCodec));
  const double usable = double(job.sizeLimitBytes) * kAimBelowLimit - overhead;
  // What the picture will take: its rate, or less where even the finest quantiser needs less; the
  // sound gives way only to room the picture would use.
  const double videoNeeded = passOne.bitsAtFinest > 0 ? std::min(videoAtRate, passOne.bitsAtFinest) : videoAtRate;
  const double wanted = soundBytes(job.audioBitRate) + videoNeeded / 8;
  if (wanted <= usable) return plan;

  // The limit binds: sound and picture give way in proportion, the sound to one of its own rates
  // and no further than leaves the picture its least.
  plan.limitBinds = true;
  plan.frameStride = 1;
  const double share = std::max(0.0, usable) / wanted;
  if (movie.hasSound) {
    const double soundRoom = std::min(soundBytes(job.audioBitRate) * share, usable - leastVideoBits / 8);
    plan.soundBitRate = SoundRateWithin(job.audioCodec, soundRoom / seconds, lowestSound, job.audioBitRate);
  }
  const double videoBytes = usable - soundBytes(plan.soundBitRate);
  const bool fits = movie.hasVideo ? videoBytes > 0 && videoBytes * 8 >= leastVideoBits : videoBytes >= 0;
  if (!fits) {
    const double needed = EstimateLeastMovieBytes(job, movie, passOne.bitsAtCoarsest, movie.videoFrames).estimated;
    // Short of the plan's aim but within the limit itself, the second pass is left to try.
    if (needed <= double(job.sizeLimitBytes)) {
      plan.nearTheLeast = true;
      plan.soundBitRate = lowestSound;
      plan.videoBitRate =
          movie.hasVideo ? std::max(std::max(1L, floorRate),
                                    long((double(job.sizeLimitBytes) - needed) * 8 / seconds + leastVideoBits / seconds))
                         : 0;
      return plan;
    }
    plan.neededBytes = long(std::ceil(needed));
    return plan;
  }
  plan.videoBitRate = movie.hasVideo ? std::max(std::max(1L, floorRate), long(videoBytes * 8 / seconds)) : 0;
  return plan;
}

Failure NeedsMoreRoom(long neededBytes) {
  return {FailureCode::needsMoreRoom, {}, std::to_string((neededBytes + 1023) / 1024)};
}

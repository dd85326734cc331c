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
// AMR-NB's 20 ms frames.
constexpr double kAmrNbFramesPerSecond = 50;

long SoundRateGivingWay(AudioCodecChoice codec, long wanted, long lowest) {
  if (codec == AudioCodecChoice::amrNB) return AmrNbModeAtMost(wanted).bitRate;
  return std::max(lowest, wanted / 1000 * 1000);
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

BitBudgetPlan PlanBitBudget(const ExportJob& job, const StoredMovieFacts& movie, const PassOneSummary& passOne) {
  BitBudgetPlan plan;
  plan.videoBitRate = job.videoBitRate;
  plan.soundBitRate = job.audioBitRate;
  const double seconds = movie.ratedSeconds();
  const double leastVideoBits = movie.hasVideo ? passOne.bitsAtCoarsest : 0;

  // Where even the coarsest quantiser spends more than the chosen rate, fewer frames hold it.
  auto strideFor = [&](double videoBits) {
    if (videoBits <= 0 || leastVideoBits <= videoBits) return 1;
    return int(std::min<double>(std::ceil(leastVideoBits / videoBits), std::max(1L, movie.videoFrames)));
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
  const double wanted = soundBytes(job.audioBitRate) + videoAtRate / 8;
  if (wanted <= usable) return plan;

  // The limit binds: sound and picture give way in proportion, the sound to one of its own rates.
  plan.limitBinds = true;
  plan.frameStride = 1;
  const double share = std::max(0.0, usable) / wanted;
  if (movie.hasSound) {
    plan.soundBitRate = SoundRateGivingWay(job.audioCodec, long(double(job.audioBitRate) * share), lowestSound);
  }
  double videoBytes = usable - soundBytes(plan.soundBitRate);
  if (movie.hasSound && videoBytes * 8 < leastVideoBits) {
    plan.soundBitRate = lowestSound;
    videoBytes = usable - soundBytes(lowestSound);
  }
  const bool fits = movie.hasVideo ? videoBytes > 0 && videoBytes * 8 >= leastVideoBits : videoBytes >= 0;
  if (!fits) {
    const double leastOverhead = LeastContainerOverheadBytes(movie.videoFrames, movie.soundFrames, job.audioCodec);
    const double needed = leastOverhead + soundBytes(lowestSound) + leastVideoBits / 8;
    // Short of the plan's aim but within the limit itself, the second pass is left to try.
    if (needed <= double(job.sizeLimitBytes)) {
      plan.soundBitRate = lowestSound;
      plan.videoBitRate =
          movie.hasVideo ? std::max(1L, long((double(job.sizeLimitBytes) - needed) * 8 / seconds + leastVideoBits / seconds))
                         : 0;
      return plan;
    }
    plan.neededBytes = long(std::ceil(needed));
    return plan;
  }
  plan.videoBitRate = movie.hasVideo ? std::max(1L, long(videoBytes * 8 / seconds)) : 0;
  return plan;
}

Failure NeedsMoreRoom(long neededBytes) {
  return {FailureCode::needsMoreRoom, {}, std::to_string((neededBytes + 1023) / 1024)};
}

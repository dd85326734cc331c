#include "platform/media/pipeline/EarlyEncodes.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <utility>
#include <vector>

#include <pthread.h>

extern "C" {
#include <libavutil/imgutils.h>
}

#include "platform/media/stages/EncodeAndDrain.h"
#include "platform/media/stages/EncoderSetup.h"
#include "platform/media/twopass/BitBudget.h"

namespace {

// The first pass has seen enough of the movie to judge its quantiser after a quarter of it, and at
// least two seconds' worth.
constexpr std::size_t kLeastDecidingFrames = 24;
constexpr long kDecidingShare = 4;
// The first quarter foretells a finer quantiser than the whole movie needs (on 7 of 8 movies at
// 8 KB/s, by 0.7 at the median): the guess leans this much coarser, which foretold 4 of them
// rather than 2.
constexpr double kQuantiserLean = 0.5;
// The pictures held before that, and those waiting for the thread after, take at most this much.
constexpr std::size_t kMostWaitingBytes = 8 << 20;
// The finest quantiser's packets are kept for the second half to write, up to this much (some two
// minutes at 64 KB/s); past it, it encodes the pictures again.
constexpr std::size_t kMostKeptPacketBytes = 8 << 20;

}  // namespace

EarlyEncodes::EarlyEncodes(const ExportJob& job, AVRational frameRate, const ColourDescription& colours,
                           bool globalHeader, long expectedFrames)
    : job_(job), frameRate_(frameRate), colours_(colours), globalHeader_(globalHeader) {
  wanted_ = HasTwoPassRateControl(job.videoCodec) && job.videoBitRate > 0 && job.sizeLimitBytes <= 0 &&
            frameRate.num > 0 && frameRate.den > 0;
  const int pictureBytes = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, job.width, job.height, 1);
  const std::size_t mostWaiting = kMostWaitingBytes / std::size_t(std::max(1, pictureBytes));
  decidingFrames_ = std::min(std::max(kLeastDecidingFrames, std::size_t(std::max(0L, expectedFrames) / kDecidingShare)),
                             mostWaiting);
  if (decidingFrames_ < 1) wanted_ = false;
  if (wanted_) handoff_.emplace(mostWaiting);
}

EarlyEncodes::~EarlyEncodes() { stop(); }

void EarlyEncodes::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  handoff_->finish();
  thread_.join();
}

void EarlyEncodes::add(const AVFrame* picture, const std::string& passOne) {
  if (!wanted_) return;
  FramePtr copy;
  if (picture && (!(copy = MakeFrame()) || av_frame_ref(copy.get(), picture) < 0)) {
    wanted_ = false;  // out of memory: the second half encodes these itself
    stop();
    return;
  }
  if (!thread_.joinable()) {
    if (copy) held_.push_back(std::move(copy));
    if (picture && held_.size() < decidingFrames_) return;
    start(passOne);
    for (FramePtr& held : held_) {
      if (wanted_ && !handoff_->give(held, 0)) wanted_ = false;
    }
    held_.clear();
  } else if (copy && !handoff_->give(copy, 0)) {
    wanted_ = false;  // the thread gave up
  }
  if (picture) return;
  handoff_->finish();
  if (thread_.joinable()) thread_.join();
  complete_ = wanted_ && encodedAll_;
}

// Judged as the second half would judge the whole movie, from the pictures so far at the rate:
// where that looks near what the finest quantiser costs, it first measures that; elsewhere it
// gathers statistics at the quantiser the rate needs.
void EarlyEncodes::start(const std::string& passOne) {
  const PassOneSummary seen = SummarisePassOne(passOne);
  if (seen.frames <= 0) {
    wanted_ = false;
    return;
  }
  const double bits = double(job_.videoBitRate) * double(seen.frames) / av_q2d(frameRate_);
  if (bits < seen.bitsAtFinest * kNearFinestShare) {
    results_.quantiser = int(std::lround(QuantiserForBits(seen, bits) + kQuantiserLean));
  }
  try {
    thread_ = std::thread([this] { encodeHanded(); });
  } catch (const std::system_error&) {
    wanted_ = false;
  }
}

void EarlyEncodes::encodeHanded() {
  pthread_setname_np(pthread_self(), "early-encodes");
  bool failed = false;
  try {
    Failure ignored;
    CodecContextPtr encoder;
    const bool finest = results_.quantiser == 0;
    const EncoderPass pass = finest ? EncoderPass{.fixedQuantiser = kFinestQuantiser}
                                    : EncoderPass{.number = 1, .fixedQuantiser = results_.quantiser};
    PacketPtr scratch = MakePacket();
    failed = !scratch || OpenVideoEncoder(job_, frameRate_, colours_, globalHeader_, &encoder, &ignored, pass) != noErr;
    std::vector<std::vector<PacketPtr>>& kept = results_.packetsAtFinest;
    bool keeping = finest;
    std::size_t keptBytes = 0;
    const EncodedPacketSink eachPacket = [&](AVPacket& packet) {
      if (finest) results_.bitsAtFinest += packet.size * 8.0;
      if (!finest && encoder->stats_out) results_.statistics += encoder->stats_out;
      if (keeping) {
        keptBytes += std::size_t(packet.size);
        PacketPtr copy = keptBytes <= kMostKeptPacketBytes ? MovedPacket(&packet) : nullptr;
        if (copy) {
          kept.back().push_back(std::move(copy));
        } else {
          keeping = false;  // too many, or no memory: the second half encodes them again
          kept.clear();
        }
      }
      return OSErr(noErr);
    };
    // Each picture, then the end: the packets given on each are kept apart.
    const auto encode = [&](const AVFrame* picture) {
      if (keeping) kept.emplace_back();
      return EncodeAndDrain(encoder.get(), picture, scratch.get(), eachPacket, &ignored) == noErr;
    };
    FramePtr picture;
    int lane = 0;
    while (!failed && handoff_->take(&picture, &lane)) {
      picture->quality = encoder->global_quality;
      failed = stopping_ || !encode(picture.get());
      picture.reset();
    }
    failed = failed || !encode(nullptr);
  } catch (const std::bad_alloc&) {  // escaping a thread, it would end the program
    failed = true;
  }
  if (failed) handoff_->giveUp();
  encodedAll_ = !failed;
}

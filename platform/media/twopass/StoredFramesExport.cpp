#include "platform/media/twopass/StoredFramesExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/media/stages/EncodeAndDrain.h"
#include "platform/media/stages/EncoderSetup.h"
#include "platform/media/stages/FfmpegErrors.h"
#include "platform/media/stages/MuxerFile.h"
#include "platform/media/twopass/SoundAlongside.h"

namespace {

// A size limit is aimed at again this many times when the complete file misses it.
constexpr int kAttempts = 4;
constexpr double kLeastShareOfLimit = 0.90;

// FFmpeg's second pass gives up (freeing memory twice as it does) unless its model of the
// statistics can spend the rate at quantisers it allows; its key frames stay finer than the
// coarsest, which the summary counts, and this margin covers its buffer model's rounding.
constexpr double kCoarsestModelMargin = 1.1;
// Each widening of the stride encodes the kept pictures once more at the coarsest quantiser; it
// grows by the overshoot measured, which settles it in one or two, and this bounds the time spent.
constexpr int kStrideWidenings = 4;
// A video that spent at least this share of its rate took what it was given (the rate control
// misses by less), so a file short of the limit has room to give it more; one that spent less
// would leave more unspent too.
constexpr double kShareOfRateTaken = 0.9;
// Bytes grow about as the rate to a power near 1; two rounds close together can measure any
// power, so the one measured is held between these, and one round moves the rate at most
// fourfold either way.
constexpr double kLeastRateExponent = 0.3;
constexpr double kMostRateExponent = 2.0;
constexpr double kLargestRateStep = 4.0;
// Frames are dropped until the coarsest quantiser takes at most this share of the rate, leaving
// the rate control room to work.
constexpr double kCoarsestShareOfRate = 0.85;
// Every pass over the stored frames moves the bar on: a look at them (the size check, the kept
// frames' statistics) costs about what a write does and takes half of what is left of it; a
// write takes nearly all the rest, leaving some for another round aimed at the size.
constexpr double kLookShareOfRest = 0.5;
constexpr double kWriteShareOfRest = 0.9;

// The rate that should give `bytes`, from the rounds so far: bytes grow as a power of the rate,
// its exponent taken from the last two rounds when there are two.
double RateForBytes(const std::vector<std::pair<double, double>>& tried, double bytes) {
  auto [rate, got] = tried.back();
  double exponent = 1;
  if (tried.size() >= 2) {
    auto [earlierRate, earlierGot] = tried[tried.size() - 2];
    if (earlierRate != rate && earlierGot != got) {
      exponent = std::clamp(std::log(got / earlierGot) / std::log(rate / earlierRate), kLeastRateExponent,
                            kMostRateExponent);
    }
  }
  return rate * std::clamp(std::pow(bytes / got, 1 / exponent), 1 / kLargestRateStep, kLargestRateStep);
}

struct Attempt {
  long long fileBytes = 0;
  long long videoBytes = 0;
  bool stopped = false;
};

class StoredFramesWriter {
 public:
  StoredFramesWriter(const ExportJob& job, StoredMovie& movie, const std::function<bool(double)>& progress,
                     Failure& reason)
      : job_(job), movie_(movie), progress_(progress), reason_(reason) {}

  OSErr run(Failure* notice) {
    packet_ = MakePacket();
    if (!packet_) return memFullErr;
    PassOneSummary passOne = SummarisePassOne(movie_.passOneStatistics);
    statistics_ = movie_.passOneStatistics;
    modelStatistics();
    if (movie_.bitsAtCoarsest > 0) passOne.bitsAtCoarsest = movie_.bitsAtCoarsest;
    BitBudgetPlan plan = PlanBitBudget(job_, movie_.facts, passOne);
    if ((plan.neededBytes > 0 || plan.frameStride > 1) && !movie_.passOneStatistics.empty() &&
        movie_.bitsAtCoarsest <= 0) {
      // The statistics' model of the coarsest quantiser overstates it some twofold: where it
      // decides, it is measured.
      OSErr status = encodeAtQuantiser(kCoarsestQuantiser, &passOne.bitsAtCoarsest);
      if (status != noErr) return status;
      plan = PlanBitBudget(job_, movie_.facts, passOne);
    }
    Attempt attempt;
    if (plan.neededBytes > 0 || plan.nearTheLeast) {
      // The lowest quality is written to tell exactly what it takes; H.264's floor is a rule besides.
      OSErr status = writeLowest(&attempt);
      if (status != noErr) return status;
      const bool over = attempt.fileBytes > job_.sizeLimitBytes;
      if (plan.neededBytes > 0 && floorRate_ > 0 && !attempt.stopped) {
        reason_ = NeedsMoreRoom(std::max(plan.neededBytes, long(attempt.fileBytes)));
        return paramErr;
      }
      // Within a tenth of the limit, the lowest quality already fills it as well as any other would.
      const bool fills = attempt.fileBytes >= kLeastShareOfLimit * job_.sizeLimitBytes;
      if (plan.neededBytes > 0 || over || fills || attempt.stopped) return keepWithinLimit(attempt, notice);
    }
    stride_ = std::max(1, plan.frameStride);
    if (stride_ > 1 && !plan.limitBinds) {
      // Key frames and each frame's own headers do not thin out with the frames: the stride is
      // widened until the coarsest quantiser holds the rate.
      const double wanted = double(job_.videoBitRate) * movie_.facts.ratedSeconds();
      for (int tries = 0; tries < kStrideWidenings && stride_ < movie_.facts.videoFrames; ++tries) {
        double bits = 0;
        OSErr status = encodeAtQuantiser(kCoarsestQuantiser, &bits);
        if (status != noErr) return status;
        if (bits <= wanted * kCoarsestShareOfRate) break;
        stride_ = int(std::min<double>(std::ceil(stride_ * bits / (wanted * kCoarsestShareOfRate)),
                                       double(movie_.facts.videoFrames)));
      }
    }
    if (stride_ > 1 && !statistics_.empty()) {
      // The statistics must be of the very frames the second pass encodes.
      OSErr status = gatherStatistics();
      if (status != noErr) return status;
    }

    long videoRate = plan.videoBitRate;
    const long soundRate = plan.soundBitRate;
    const double seconds = movie_.facts.ratedSeconds();
    const double limit = double(job_.sizeLimitBytes);
    std::vector<std::pair<double, double>> tried;  // video rate given, video bytes written
    for (int round = 0;; ++round) {
      OSErr status = writeOnce(videoRate, soundRate, &attempt);
      if (status != noErr) return status;
      if (attempt.stopped || !movie_.facts.hasVideo) break;
      tried.emplace_back(double(videoRate), std::max(1.0, double(attempt.videoBytes)));
      const double otherBytes = double(attempt.fileBytes - attempt.videoBytes);
      const double aimInLimit = limit * (1 - (1 - kLeastShareOfLimit) / 3) - otherBytes;
      std::optional<double> aim;  // the video bytes to aim at next
      if (job_.sizeLimitBytes > 0 && attempt.fileBytes > job_.sizeLimitBytes) {
        aim = aimInLimit;
      } else if (plan.limitBinds && attempt.fileBytes < limit * kLeastShareOfLimit &&
                 attempt.videoBytes * 8 >= kShareOfRateTaken * videoRate * seconds) {
        aim = aimInLimit;  // the video took what it was given, and the rest took less than planned
      } else if (!plan.limitBinds && job_.videoBitRate > 0) {
        const double wanted = job_.videoBitRate * seconds / 8;
        // A picture too plain to take the rate even at the finest quantiser keeps what it took.
        const bool reachable = attempt.videoBytes > wanted || finestBits() / 8 >= wanted;
        if (std::fabs(attempt.videoBytes / wanted - 1) > kRateTolerance && round == 0 && reachable) aim = wanted;
      }
      if (!aim || round + 1 >= kAttempts || *aim <= 0) break;
      aimedBits_ = *aim * 8;
      const long nextRate = std::max(std::max(1L, floorRate_), long(RateForBytes(tried, *aim)));
      if (nextRate == videoRate) break;  // held at the floor
      videoRate = nextRate;
    }
    // Missed still, the lowest quality is what fits if anything does.
    const bool wasLowest = soundRate == lowestSound_ && (!movie_.facts.hasVideo || videoRate == floorRate_);
    if (job_.sizeLimitBytes > 0 && attempt.fileBytes > job_.sizeLimitBytes && !attempt.stopped && !wasLowest) {
      OSErr status = writeLowest(&attempt);
      if (status != noErr) return status;
    }
    return keepWithinLimit(attempt, notice);
  }

 private:
  // The lowest quality: the coarsest quantiser (H.264: its floor) and the lowest sound. It takes the
  // least this movie can, the same whatever the limit, so that a limit is refused exactly where it
  // does not hold it.
  OSErr writeLowest(Attempt* attempt) {
    atCoarsest_ = HasTwoPassRateControl(job_.videoCodec);
    OSErr status = writeOnce(floorRate_, lowestSound_, attempt);
    atCoarsest_ = false;
    return status;
  }

  OSErr keepWithinLimit(const Attempt& attempt, Failure* notice) {
    if (job_.sizeLimitBytes > 0 && attempt.fileBytes > job_.sizeLimitBytes) {
      if (attempt.stopped) return userCanceledErr;  // what was written so far overruns the limit too
      reason_ = NeedsMoreRoom(long(attempt.fileBytes));
      return paramErr;
    }
    // An abort never puts a shorter movie in the place of a complete earlier one.
    if (attempt.stopped && output_->replacesEarlierOutput()) {
      reason_ = {FailureCode::abortedEarlierKept, job_.outputPath};
      return userCanceledErr;
    }
    OSErr status = output_->putInPlace(&reason_);
    if (status != noErr) return status;
    if (stride_ > 1 && movie_.facts.hasVideo && notice) {
      const double fps = av_q2d(movie_.frameRate);
      *notice = {FailureCode::framesDroppedForRate, FailureNumber("%.4g", fps), FailureNumber("%.4g", fps / stride_),
                 FailureNumber("%.1f", job_.videoBitRate / 8.0 / 1024)};
    }
    return attempt.stopped ? OSErr(userCanceledErr) : OSErr(noErr);
  }

  // The video bytes of the kept pictures at one quantiser, in bits; with `statistics`, what a first
  // pass learns of them at it too.
  OSErr encodeAtQuantiser(int quantiser, double* bits, std::string* statistics = nullptr) {
    long long bytes = 0;
    if (statistics) statistics->clear();
    const EncoderPass pass{.number = statistics ? 1 : 0, .fixedQuantiser = quantiser};
    OSErr status = encodeKeptPictures(pass, [&](AVCodecContext* encoder, const AVFrame* frame) {
      return EncodeAndDrain(
          encoder, frame, packet_.get(),
          [&](AVPacket& packet) {
            bytes += packet.size;
            if (statistics && encoder->stats_out) *statistics += encoder->stats_out;
            return OSErr(noErr);
          },
          &reason_);
    });
    *bits = double(bytes) * 8;
    return status;
  }

  void modelStatistics() { model_ = SummarisePassOne(statistics_); }

  double finestBits() const { return measuredFinestBits_ > 0 ? measuredFinestBits_ : model_.bitsAtFinest; }

  // How the video is encoded at `videoRate`. FFmpeg's own encoders: by their second pass wherever
  // its model of the statistics can spend the rate; at the finest quantiser where that takes no
  // more than the rate (more would buy no picture); at the coarsest where even that takes more.
  // The first pass's statistics come from a quantiser that moves with its rate control from frame
  // to frame, which the model extrapolates unevenly (at the coarse end to some twice the cost): the
  // second pass shares the bits out better by statistics gathered at the one quantiser nearest
  // what it will spend.
  OSErr videoPassFor(long videoRate, EncoderPass* pass) {
    *pass = {.bitRate = videoRate, .fromStoredFrames = true};
    if (atCoarsest_) {
      *pass = {.fixedQuantiser = kCoarsestQuantiser};
      return noErr;
    }
    if (!movie_.statisticsFile.empty() && stride_ == 1) {
      pass->number = 2;
      pass->statistics = movie_.statisticsFile.c_str();
      return noErr;
    }
    if (statistics_.empty()) return noErr;
    const double bits = videoRate * movie_.facts.ratedSeconds();
    // A rate raised to hit the bytes aimed at must not buy the finest pictures where they take more.
    const double aimed = aimedBits_ > 0 ? aimedBits_ : bits;
    OSErr status = noErr;
    // Every picture kept (a stride of one) was encoded while the source decoded, where the rate
    // looked as it does now; what was made then is what would be made here.
    const EarlyEncodeResults& early = movie_.early;
    if (bits >= model_.bitsAtFinest * kNearFinestShare && measuredFinestBits_ <= 0) {
      if (early.bitsAtFinest > 0 && stride_ == 1) {
        measuredFinestBits_ = early.bitsAtFinest;
      } else {
        status = encodeAtQuantiser(kFinestQuantiser, &measuredFinestBits_);
      }
    }
    if (status != noErr || (measuredFinestBits_ > 0 && aimed >= measuredFinestBits_)) {
      pass->fixedQuantiser = kFinestQuantiser;
      return status;
    }
    if (!statisticsAtOneQuantiser_) {
      const int quantiser = int(std::lround(QuantiserForBits(model_, bits)));
      double ignored = 0;
      if (early.quantiser == quantiser && stride_ == 1) {
        statistics_ = early.statistics;
      } else {
        status = encodeAtQuantiser(quantiser, &ignored, &statistics_);
      }
      modelStatistics();
      statisticsAtOneQuantiser_ = true;
    }
    if (bits < model_.bitsAtCoarsest * kCoarsestModelMargin) {
      pass->fixedQuantiser = kCoarsestQuantiser;
    } else {
      pass->number = 2;
      pass->statistics = statistics_.c_str();
    }
    return status;
  }

  bool keeps(const AVFrame& frame) const { return frame.pts % stride_ == 0; }

  AVRational writtenRate() const { return av_div_q(movie_.frameRate, {stride_, 1}); }

  OSErr gatherStatistics() {
    statistics_.clear();
    OSErr status = encodeKeptPictures({.number = 1}, [&](AVCodecContext* encoder, const AVFrame* frame) {
      return EncodeForStatistics(encoder, frame, packet_.get(), &statistics_, &reason_);
    });
    modelStatistics();
    return status;
  }

  // Gives a video encoder opened for `pass`, through `encodeOne`, each picture the stride keeps
  // (at the quantiser the pass fixes, if any), then the end (nullptr).
  OSErr encodeKeptPictures(const EncoderPass& pass,
                           const std::function<OSErr(AVCodecContext*, const AVFrame*)>& encodeOne) {
    CodecContextPtr encoder;
    OSErr status = OpenVideoEncoder(job_, writtenRate(), movie_.colours, MuxerFile::NeedsGlobalHeader(job_.container),
                                    &encoder, &reason_, pass);
    if (status == noErr) status = movie_.store->rewind(&reason_);
    beginPass(kLookShareOfRest);
    FramePtr frame;
    int lane = 0;
    FrameStoreRead read = FrameStoreRead::end;
    while (status == noErr && (read = movie_.store->next(&frame, &lane, &reason_)) == FrameStoreRead::frame) {
      if (!passGoesOn()) return userCanceledErr;  // nothing written yet
      if (lane != kStoredVideoLane || !keeps(*frame)) continue;
      frame->pts /= stride_;
      frame->quality = encoder->global_quality;
      status = encodeOne(encoder.get(), frame.get());
    }
    if (status == noErr && read == FrameStoreRead::failed) status = ioErr;
    if (status == noErr) status = encodeOne(encoder.get(), nullptr);
    return status;
  }

  OSErr writeOnce(long videoRate, long soundRate, Attempt* attempt) {
    *attempt = {};
    output_ = std::make_unique<MuxerFile>();
    const bool globalHeader = MuxerFile::NeedsGlobalHeader(job_.container);
    OSErr status = output_->open(job_.outputPath, job_.container, &reason_);
    video_.reset();
    sound_.reset();
    if (status == noErr && movie_.facts.hasVideo) {
      EncoderPass pass;
      status = videoPassFor(videoRate, &pass);
      // The pictures at the finest quantiser, encoded while the source decoded, are the very ones
      // this write would encode (the encoder opened alike, every kept picture in order): written as
      // they are. The encoder still gives the stream its description.
      writesEarlyPackets_ = pass.number == 0 && pass.fixedQuantiser == kFinestQuantiser && stride_ == 1 &&
                            movie_.early.packetsAtFinest.size() == std::size_t(movie_.facts.videoFrames) + 1;
      if (!writesEarlyPackets_) movie_.early.packetsAtFinest.clear();  // nor kept for another try
      if (status == noErr) {
        status = OpenVideoEncoder(job_, writtenRate(), movie_.colours, globalHeader, &video_, &reason_, pass);
      }
      if (status != noErr && pass.number == 2 && pass.statistics == movie_.statisticsFile.c_str()) {
        // x264 may still find no way to spend the rate on so few frames (a second's worth, say);
        // its one-pass control from the stored frames always does.
        pass = {.bitRate = videoRate, .fromStoredFrames = true};
        reason_ = {};
        status = OpenVideoEncoder(job_, writtenRate(), movie_.colours, globalHeader, &video_, &reason_, pass);
      }
      if (status == noErr) status = output_->addStream(*video_, &videoIndex_, &reason_);
    }
    if (status == noErr && movie_.facts.hasSound) {
      ExportJob sound = job_;
      sound.audioBitRate = soundRate;
      status = OpenAudioEncoder(sound, movie_.sourceSampleRate, movie_.sourceChannels, globalHeader, &sound_,
                                &reason_);
      if (status == noErr) status = output_->addStream(*sound_, &soundIndex_, &reason_);
    }
    if (status == noErr) status = output_->writeHeader(&reason_);
    if (status == noErr) status = movie_.store->rewind(&reason_);
    beginPass(kWriteShareOfRest);
    // Beside pictures, the sound is encoded on a thread of its own; what either gives waits in
    // `pending_` until everything kept before it is written.
    std::optional<SoundAlongside> alongside;
    if (status == noErr && video_ && sound_) alongside.emplace(sound_.get());
    if (alongside && !alongside->running()) alongside.reset();
    alongside_ = alongside ? &*alongside : nullptr;
    pending_.clear();

    FramePtr frame;
    int lane = 0;
    std::size_t picture = 0;
    FrameStoreRead read = FrameStoreRead::end;
    while (status == noErr && (read = movie_.store->next(&frame, &lane, &reason_)) == FrameStoreRead::frame) {
      if (!passGoesOn()) {
        attempt->stopped = true;
        break;
      }
      if (lane == kStoredVideoLane) {
        if (!video_ || !keeps(*frame)) continue;
        frame->pts /= stride_;
        frame->quality = video_->global_quality;
        status = writesEarlyPackets_ ? putEarlyPackets(picture++, &attempt->videoBytes)
                                     : encode(video_.get(), videoIndex_, frame.get(), &attempt->videoBytes);
      } else if (alongside_) {
        pending_.push_back({.soundNumber = alongside_->give(std::move(frame)), .videoPackets = {}});
      } else if (sound_) {
        status = encode(sound_.get(), soundIndex_, frame.get(), nullptr);
      }
      if (status == noErr) status = writePending(false);
    }
    if (status == noErr && read == FrameStoreRead::failed) status = ioErr;
    // Stopped, the pictures x264 still holds for its look-ahead are left out rather than encoded at length.
    if (status == noErr && video_ && !attempt->stopped) {
      status = writesEarlyPackets_ ? putEarlyPackets(picture, &attempt->videoBytes)
                                   : encode(video_.get(), videoIndex_, nullptr, &attempt->videoBytes);
    }
    if (status == noErr && alongside_) {
      pending_.push_back({.soundNumber = alongside_->give(nullptr), .videoPackets = {}});
      status = writePending(true);
    } else if (status == noErr && sound_) {
      status = encode(sound_.get(), soundIndex_, nullptr, nullptr);
    }
    alongside_ = nullptr;
    pending_.clear();
    if (status == noErr) status = output_->complete(&reason_);
    if (status == noErr) attempt->fileBytes = output_->completedBytes();
    return status;
  }

  // A pass over the stored frames starts: its share of what is left of the bar.
  void beginPass(double shareOfRest) {
    passStart_ = passEnd_;
    passEnd_ += (1 - passEnd_) * shareOfRest;
    passFrames_ = 0;
  }
  // One more frame of the pass read; false once the user has asked to stop.
  bool passGoesOn() {
    const double total = double(std::max<std::size_t>(1, movie_.store->framesKept()));
    return !progress_ || progress_(passStart_ + (passEnd_ - passStart_) * (double(++passFrames_) / total));
  }

  // Encodes and writes, or, while sound kept before is still being encoded, keeps the packets to
  // write after it.
  OSErr encode(AVCodecContext* encoder, int streamIndex, AVFrame* frame, long long* bytes) {
    return EncodeAndDrain(
        encoder, frame, packet_.get(), [&](AVPacket& packet) { return put(packet, encoder, streamIndex, bytes); },
        &reason_);
  }

  OSErr put(AVPacket& packet, AVCodecContext* encoder, int streamIndex, long long* bytes) {
    if (bytes) *bytes += packet.size;
    if (pending_.empty()) return output_->writePacket(&packet, encoder->time_base, streamIndex, &reason_);
    if (pending_.back().soundNumber) pending_.emplace_back();
    pending_.back().videoPackets.push_back(MovedPacket(&packet));
    return pending_.back().videoPackets.back() ? OSErr(noErr) : OSErr(memFullErr);
  }

  // What the early encode gave on kept picture number `picture` (counting from 0; one past the last:
  // at the end), passed on as encode() passes its own. Copies: the kept ones serve another write.
  OSErr putEarlyPackets(std::size_t picture, long long* bytes) {
    for (const PacketPtr& early : movie_.early.packetsAtFinest.at(picture)) {
      PacketPtr copy(av_packet_clone(early.get()));
      if (!copy) return memFullErr;
      if (OSErr status = put(*copy, video_.get(), videoIndex_, bytes); status != noErr) return status;
    }
    return noErr;
  }

  // Writes what waits, in order, up to sound not yet encoded; with `all`, waiting for that too.
  OSErr writePending(bool all) {
    while (!pending_.empty()) {
      Pending& first = pending_.front();
      if (first.soundNumber && !all && !alongside_->ready(*first.soundNumber)) return noErr;
      std::vector<PacketPtr> packets = std::move(first.videoPackets);
      AVCodecContext* encoder = first.soundNumber ? sound_.get() : video_.get();
      const int streamIndex = first.soundNumber ? soundIndex_ : videoIndex_;
      if (first.soundNumber) {
        if (OSErr status = alongside_->take(*first.soundNumber, &packets, &reason_); status != noErr) return status;
      }
      pending_.pop_front();
      for (PacketPtr& packet : packets) {
        if (OSErr status = output_->writePacket(packet.get(), encoder->time_base, streamIndex, &reason_);
            status != noErr) {
          return status;
        }
      }
    }
    return noErr;
  }

  const ExportJob& job_;
  StoredMovie& movie_;
  const std::function<bool(double)>& progress_;
  Failure& reason_;
  int stride_ = 1;
  bool atCoarsest_ = false;  // writing at the lowest quality
  bool writesEarlyPackets_ = false;  // this write's pictures are the early encode's
  const long floorRate_ = movie_.facts.hasVideo ? LeastVideoBitRate(job_.videoCodec, job_.width, job_.height,
                                                                    movie_.facts.frameRate)
                                                : 0;
  const long lowestSound_ = LowestSoundBitRate(job_.audioCodec, job_.audioChannels);
  std::string statistics_;  // of the very frames the stride keeps; empty when the encoder keeps none in memory
  bool statisticsAtOneQuantiser_ = false;
  PassOneSummary model_;  // of statistics_
  double measuredFinestBits_ = 0;  // 0 until measured
  double aimedBits_ = 0;  // the video bits a write after the first aims at; 0: what its rate gives
  PacketPtr packet_;
  std::unique_ptr<MuxerFile> output_;
  CodecContextPtr video_;
  CodecContextPtr sound_;
  // While a write encodes its sound alongside: a sound frame's packets, or the pictures' after it.
  struct Pending {
    std::optional<std::size_t> soundNumber;
    std::vector<PacketPtr> videoPackets;
  };
  std::deque<Pending> pending_;
  SoundAlongside* alongside_ = nullptr;
  int videoIndex_ = -1;
  int soundIndex_ = -1;
  double passStart_ = 0;  // of this half of the export
  double passEnd_ = 0;
  long passFrames_ = 0;
};

}  // namespace

OSErr EncodeForStatistics(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch, std::string* statistics,
                          Failure* failure) {
  return EncodeAndDrain(
      encoder, frame, scratch,
      [&](AVPacket&) {
        // Each frame's line replaces the last: it is gathered as it comes.
        if (encoder->stats_out) *statistics += encoder->stats_out;
        return OSErr(noErr);
      },
      failure);
}

OSErr ExportStoredFrames(const ExportJob& job, StoredMovie& movie, const std::function<bool(double)>& progress,
                         Failure* failure, Failure* notice) {
  return StoredFramesWriter(job, movie, progress, *failure).run(notice);
}

// The transcoding run: demux -> decode on this thread, then filter -> encode -> mux on a thread of
// its own, one stream lane per kept stream. Frames stream through, so memory stays flat whatever
// the movie's length. In two passes (the phone formats, a size limit), the filtered frames go into
// a frame store instead while the video encoder's first pass reads them, and are encoded from
// there again (StoredFramesExport) once the whole source has been decoded.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#include "platform/files/Files.h"
#include "platform/files/HiddenFiles.h"
#include "platform/media/pipeline/EarlyEncodes.h"
#include "platform/media/pipeline/ExportPipeline.h"
#include "platform/media/pipeline/FrameHandoff.h"
#include "platform/media/pipeline/JoinedTimestamps.h"
#include "platform/media/pipeline/PictureSlots.h"
#include "platform/media/pipeline/SpanProgress.h"
#include "platform/media/stages/EncodeAndDrain.h"
#include "platform/media/stages/EncoderSetup.h"
#include "platform/media/stages/FfmpegErrors.h"
#include "platform/media/stages/FfmpegSource.h"
#include "platform/media/stages/FilterChain.h"
#include "platform/media/stages/MuxerFile.h"
#include "platform/media/stages/SoundShape.h"
#include "platform/media/stages/SourceDataRates.h"
#include "platform/media/twopass/FrameStore.h"
#include "platform/media/twopass/LeastSizeWatch.h"
#include "platform/media/twopass/StoredFramesExport.h"

namespace {

// The progress callback is where the window answers and an abort is taken: it comes at least this
// often in every phase, however slowly the bar moves.
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
constexpr double kProgressStep = 0.01;
// Waiting frames let the decoder run on while the encoding thread is busy with a burst of its own
// (setting up its filters, encoding ahead for the second pass): eight took 3% off a 1080p job's
// time against two. Each holds a decoder picture, 12 MB at 4K, so beyond HD two wait.
constexpr std::size_t kHandoffFrames = 8;
constexpr std::size_t kHandoffFramesBeyondHD = 2;
// Frames kept for a second pass stay in memory up to this (a few seconds of a phone's picture),
// then go to a file beside the output, whose pages the system keeps or lets go as memory allows.
constexpr std::size_t kStoreMemoryBound = 1 << 20;
// A rate missed by more than this in one pass was missed for want of a coarser quantiser: FFmpeg's
// own rate control otherwise lands within a few percent of it.
constexpr double kRateMissNoticed = 1.25;
// Kept frames above this many bytes a second would cost more disk traffic than a second pass earns.
constexpr double kLargestStoredBytesPerSecond = 4e6;
// A kept picture is 4:2:0: a byte of brightness per pixel and two quarter-size planes of colour.
constexpr double kStoredBytesPerPixel = 1.5;
// A movie of unknown length is reckoned an hour long for the room its kept frames would take.
constexpr double kUnknownSpanSeconds = 3600;
// The folder must hold that room a tenth over, and the output and what else the disk takes
// meanwhile beside it.
constexpr double kStoreRoomMargin = 1.1;
constexpr double kStoreRoomReserve = 64 << 20;
// Per pixel, a second-pass encode with the quality tools costs about this many decodes of the
// source: the share of the progress bar each half of a two-pass export takes.
constexpr double kEncodeCostInDecodes = 12;
// Sound alone is cheap to encode: decoding takes most of the time. Held within the bounds
// below, neither half of the bar shrinks to nothing on an estimate that is far off.
constexpr double kSoundOnlyDecodeShare = 0.9;
constexpr double kLeastDecodeShare = 0.3;
constexpr double kMostDecodeShare = 0.95;
// A frame rate is reckoned at least this, so that counting frames into seconds never divides by 0.
constexpr double kSlowestFrameRate = 1e-3;
// The sound filters' span where the source is read to its end: longer than any movie.
constexpr double kUnboundedSpanSeconds = 1e9;

// One kept stream on its way from the source to the output.
struct StreamLane {
  // The decoding thread's.
  AVStream* input = nullptr;
  CodecContextPtr decoder;
  int64_t spanStart = 0;   // in the input's time base; frames are rebased to start here
  int64_t spanLength = 0;  // likewise; INT64_MAX when the span runs to the end
  int64_t nextPts = AV_NOPTS_VALUE;
  int64_t fedEnd = 0;  // rebased end of the last frame given to the filters
  bool inputDone = false;
  bool decodedAny = false;
  PictureSlots slots;        // which pictures a lower output rate shows
  FramePtr waiting;          // the latest picture, until the next one tells how long it lasts
  int64_t frameDuration = 1;  // the source's nominal frame length, for pictures without one
  // The encoding thread's while it runs.
  CodecContextPtr encoder;
  FilterChain filters;
  SoundShape soundShape;             // what the sound filters were built for
  int64_t encodedEnd = INT64_MIN;  // the end of the last sound frame encoded, in the encoder's time base
  int outputIndex = -1;
};

// What a decoder says about a damaged packet varies (invalid data, missing features, EPERM...);
// only running out of memory says the decoder itself cannot go on.
bool IsDamagedData(int result) {
  return result < 0 && result != AVERROR(ENOMEM) && result != AVERROR(EAGAIN) && result != AVERROR_EOF;
}

class ExportRun {
 public:
  ExportRun(const ExportJob& job, const ExportProgress& progress, Failure* failure)
      : job_(job), progress_(progress), reason_(*failure) {}

  ComponentResult run() {
    OSErr status = openSource();
    if (status == noErr) status = openOutput();
    if (status == noErr) status = transcode();
    // Stopped before the second pass began, a two-pass export has written nothing: an earlier
    // output there is kept as it was.
    if (status == noErr && twoPass_ && cancelled_) {
      struct stat earlier {};
      if (stat(job_.outputPath.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode) && earlier.st_size > 0) {
        reason_ = {FailureCode::abortedEarlierKept, job_.outputPath};
      }
      return userCanceledErr;
    }
    // An abort never puts a shorter movie in the place of a complete earlier one.
    const bool keepEarlier = !twoPass_ && cancelled_ && output_.replacesEarlierOutput();
    if (status == noErr && !keepEarlier) status = twoPass_ ? encodeStoredFrames() : output_.finish(&reason_);
    if (status != noErr) return status;
    if (keepEarlier) reason_ = {FailureCode::abortedEarlierKept, job_.outputPath};
    if (cancelled_) return userCanceledErr;
    if (!twoPass_) noteRateExceeded();
    if (progress_) progress_(1.0);
    return noErr;
  }

  const Failure& notice() const { return notice_; }

 private:
  OSErr openSource() {
    OSErr status = OpenSourceMovie(job_.sourcePath, &source_, &reason_);
    if (status == fnfErr) reason_ = {FailureCode::noSuchFile, job_.sourcePath};
    if (status != noErr) return status;

    double sourceSeconds = source_.facts.durationSeconds;
    double start = std::max(0.0, job_.startSeconds);
    if (sourceSeconds > 0 && start >= sourceSeconds) {
      reason_ = {FailureCode::spanAfterEnd};
      return paramErr;
    }
    spanSeconds_ = job_.durationSeconds > 0 ? job_.durationSeconds : 0;
    if (sourceSeconds > 0) {
      spanSeconds_ = spanSeconds_ > 0 ? std::min(spanSeconds_, sourceSeconds - start) : sourceSeconds - start;
    }
    // Asked for all of a movie (its length comes rounded to the movie's time scale), read it to its
    // end: a header may say less than the data holds. Its length then only measures the progress,
    // and a length that is only a guess, or unknown, not even that.
    toTheEnd_ = job_.durationSeconds <= 0 || start + job_.durationSeconds + 0.5 / kMovieTimeScale >= sourceSeconds;
    if (!source_.facts.durationKnown && toTheEnd_) spanSeconds_ = 0;

    CapRatesAtSource({source_.facts.videoBitRate, source_.facts.audioBitRate}, &job_);
    bool wantVideo = job_.videoCodec != VideoCodecChoice::none && source_.videoStream >= 0;
    bool wantAudio = job_.audioCodec != AudioCodecChoice::none && source_.audioStream >= 0;
    if (!wantVideo && !wantAudio) {
      reason_ = {FailureCode::nothingThisFormatHolds};
      return paramErr;
    }
    AVFormatContext* format = source_.format.get();
    for (unsigned i = 0; i < format->nb_streams; ++i) format->streams[i]->discard = AVDISCARD_ALL;
    int64_t origin = format->start_time != AV_NOPTS_VALUE ? format->start_time : 0;
    int64_t startMicros = origin + int64_t(std::llround(start * AV_TIME_BASE));
    if (start > 0) avformat_seek_file(format, -1, INT64_MIN, startMicros, startMicros, 0);
    joins_.emplace(format->iformat->flags & AVFMT_TS_DISCONT);
    spanProgress_ = SpanProgress(spanSeconds_, toTheEnd_ ? format->pb : nullptr);

    if (wantVideo) status = openLane(source_.videoStream, startMicros, &video_);
    if (status == noErr && wantAudio) status = openLane(source_.audioStream, startMicros, &audio_);
    return status;
  }

  OSErr openLane(int streamIndex, int64_t startMicros, std::optional<StreamLane>* lane) {
    lane->emplace();
    StreamLane& opened = **lane;
    opened.input = source_.format->streams[streamIndex];
    opened.input->discard = AVDISCARD_DEFAULT;
    opened.spanStart = av_rescale_q(startMicros, AV_TIME_BASE_Q, opened.input->time_base);
    opened.spanLength = !toTheEnd_ ? av_rescale_q(std::llround(spanSeconds_ * AV_TIME_BASE), AV_TIME_BASE_Q,
                                                        opened.input->time_base)
                                         : INT64_MAX;
    return OpenStreamDecoder(source_, streamIndex, &opened.decoder, &reason_);
  }

  // Small pictures are kept and encoded twice, the first time for the encoder's statistics only;
  // the output is opened once those are in. A size limit needs the stored frames whatever the codec.
  bool usesTwoPasses() const {
    if (job_.onePass) return false;
    if (job_.sizeLimitBytes > 0) return true;
    // x264 in one pass feels its way to the rate from a middling quantiser: a mostly still picture
    // (a screen recording) starts seconds too coarse and ends far under the rate. Its second pass
    // knows the whole movie and costs an encode of the small frames, not another decode.
    if (!video_ || job_.videoBitRate <= 0 || !CanEncodeInTwoPasses(job_.videoCodec)) return false;
    double bytesPerSecond = double(EvenPictureSide(job_.width)) * EvenPictureSide(job_.height) * kStoredBytesPerPixel *
                            (job_.frameRate > 0 ? job_.frameRate : std::max(source_.facts.frameRate, 1.0));
    if (bytesPerSecond > kLargestStoredBytesPerSecond) return false;
    // A long movie's frames go to the output's disk; where they would not fit, one pass still can.
    double storedBytes = bytesPerSecond * (spanSeconds_ > 0 ? spanSeconds_ : kUnknownSpanSeconds);
    return storedBytes <= kStoreMemoryBound ||
           FrameStore::RoomBeside(job_.outputPath, storedBytes * kStoreRoomMargin + kStoreRoomReserve);
  }

  OSErr openOutput() {
    twoPass_ = usesTwoPasses();
    const bool globalHeader = MuxerFile::NeedsGlobalHeader(job_.container);
    OSErr status = twoPass_ ? OSErr(noErr) : output_.open(job_.outputPath, job_.container, &reason_);
    if (status == noErr && audio_) {
      status = OpenAudioEncoder(job_, source_.facts.audioSampleRate, source_.facts.audioChannels, globalHeader,
                                &audio_->encoder, &reason_);
    }
    if (status == noErr && video_) status = openVideoOutput();
    if (twoPass_) {
      if (status == noErr) store_ = std::make_unique<FrameStore>(job_.outputPath, kStoreMemoryBound);
      decodeShare_ = estimatedDecodeShare();
      return status;
    }
    if (status == noErr && audio_) status = output_.addStream(*audio_->encoder, &audio_->outputIndex, &reason_);
    if (status == noErr) status = output_.writeHeader(&reason_);
    return status;
  }

  double estimatedDecodeShare() const {
    if (!video_) return kSoundOnlyDecodeShare;
    const MovieFacts& facts = source_.facts;
    double decoded = double(facts.codedWidth) * facts.codedHeight * std::max(facts.frameRate, 1.0);
    double encoded =
        double(EvenPictureSide(job_.width)) * EvenPictureSide(job_.height) * av_q2d(frameRate_) * kEncodeCostInDecodes;
    return std::clamp(decoded / (decoded + encoded), kLeastDecodeShare, kMostDecodeShare);
  }

  OSErr openVideoOutput() {
    const MovieFacts& facts = source_.facts;
    ExportJob sized = job_;
    sized.width = EvenPictureSide(job_.width > 0 ? job_.width : facts.naturalWidth);
    sized.height = EvenPictureSide(job_.height > 0 ? job_.height : facts.naturalHeight);
    AVRational sourceRate = av_guess_frame_rate(source_.format.get(), video_->input, nullptr);
    frameRate_ = OutputFrameRate(job_, sourceRate);
    // At a rate so low that no frame's slot ends inside the span the movie would lose its picture.
    if (spanSeconds_ > 0 && av_q2d(frameRate_) * spanSeconds_ < 1) {
      frameRate_ = av_d2q(std::min(1 / spanSeconds_, sourceRate.num > 0 ? av_q2d(sourceRate) : double(kGuessedFrameRate)),
                          65535);
    }
    // A movie that is already small never grows: the source's whole file, its sound and container
    // included, bounds the output's, whose own sound and container then leave the picture less.
    if (source_.facts.wholeBitRate > 0 && spanSeconds_ > 0 && sized.videoBitRate > 0) {
      if (const long within = VideoRateWithin(sized, expectedFacts(), source_.facts.wholeBitRate / 8.0); within > 0) {
        sized.videoBitRate = job_.videoBitRate = std::min(sized.videoBitRate, within);
      }
    }
    sizedJob_ = sized;
    layout_ = FitPicture(facts.codedWidth, facts.codedHeight, {facts.sampleAspectNum, facts.sampleAspectDen},
                         facts.rotationDegrees, sized.width, sized.height, job_.fit == PictureFit::stretch);
    if (sourceRate.num > 0) {
      video_->frameDuration = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(sourceRate), video_->input->time_base));
      if (av_cmp_q(frameRate_, sourceRate) < 0) video_->slots = PictureSlots(video_->input->time_base, frameRate_);
    }
    // Deblocking a picture that no other refers to is lost in such a shrink.
    if (layout_.shrinksFourfold) video_->decoder->skip_loop_filter = AVDISCARD_NONREF;
    sourceColours_ = SourceColours(*video_->input->codecpar);
    outputColours_ = OutputColours(sourceColours_, sized.width, sized.height,
                                   job_.videoCodec == VideoCodecChoice::h264);
    EncoderPass pass;
    if (twoPass_ && CanEncodeInTwoPasses(job_.videoCodec)) pass.number = 1;
    if (pass.number == 1 && !HasTwoPassRateControl(job_.videoCodec)) {
      const std::string folder = hidden_files::FolderOf(job_.outputPath);
      if (const int err = hidden_files::HiddenName::Reserve(folder, &statisticsName_); err != 0) {
        reason_ = MuxerFile::HiddenFileFailure(err, folder);
        return OSErrFromErrno(err);
      }
      statisticsPath_ = statisticsName_->path(hidden_files::HiddenKind::statistics);
      pass.statistics = statisticsPath_.c_str();
    }
    OSErr status = OpenVideoEncoder(sized, frameRate_, outputColours_, MuxerFile::NeedsGlobalHeader(job_.container),
                                    &video_->encoder, &reason_, pass);
    if (status == noErr && !twoPass_) status = output_.addStream(*video_->encoder, &video_->outputIndex, &reason_);
    if (status == noErr && twoPass_) {
      status = leastSize_.open(sized, frameRate_, outputColours_, MuxerFile::NeedsGlobalHeader(job_.container), &reason_);
    }
    if (status == noErr && (video_->encoder->flags & AV_CODEC_FLAG_PASS1)) {
      early_ = std::make_unique<EarlyEncodes>(sized, frameRate_, outputColours_,
                                              MuxerFile::NeedsGlobalHeader(job_.container),
                                              long(spanSeconds_ * av_q2d(frameRate_)));
    }
    return status;
  }

  OSErr transcode() {
    PacketPtr packet = MakePacket();
    frame_ = MakeFrame();
    filtered_ = MakeFrame();
    encoded_ = MakePacket();
    if (!packet || !frame_ || !filtered_ || !encoded_) return memFullErr;
    lastReport_ = std::chrono::steady_clock::now();
    for (std::optional<StreamLane>* lane : {&video_, &audio_}) {
      if (*lane) lanes_.push_back(&**lane);
    }
    // What the movie's length makes certain is refused before anything is decoded.
    if (twoPass_) {
      if (OSErr status = leastSize_.check(video_ ? sizedJob_ : job_, expectedFacts(), &reason_); status != noErr) {
        return status;
      }
    }

    const bool beyondHD = long(source_.facts.codedWidth) * source_.facts.codedHeight > kLargestHDPicture;
    FrameHandoff handoff(beyondHD ? kHandoffFramesBeyondHD : kHandoffFrames);
    std::thread encoding;
    try {
      encoding = std::thread([this, &handoff] { encodeHandedFrames(handoff); });
    } catch (const std::system_error&) {
      reason_ = {FailureCode::cannotStartEncodingThread};
      return memFullErr;
    }
    OSErr status = noErr;
    {
      // Ends the thread on every way out, an exception thrown while decoding included.
      struct Joiner {
        FrameHandoff& handoff;
        std::thread& thread;
        ~Joiner() {
          handoff.finish();
          thread.join();
        }
      } joiner{handoff, encoding};
      handoff_ = &handoff;
      status = decodeAll(packet.get());
      handoff_ = nullptr;
    }
    if (status == noErr && encodeStatus_ != noErr) {
      reason_ = encodeReason_;
      return encodeStatus_;
    }
    if (status == noErr && !cancelled_ && std::none_of(lanes_.begin(), lanes_.end(), [](const StreamLane* lane) {
          return lane->decodedAny;
        })) {
      reason_ = {FailureCode::nothingCouldBeRead};
      return invalidMovie;
    }
    for (StreamLane* lane : lanes_) {
      if (status == noErr) status = finishLane(*lane);
    }
    if (status != noErr && !reason_) reason_ = encodeReason_;
    return status;
  }

  OSErr decodeAll(AVPacket* packet) {
    OSErr status = noErr;
    while (status == noErr && !stopDecoding() && !allInputsDone()) {
      int result = av_read_frame(source_.format.get(), packet);
      if (result == AVERROR(EAGAIN)) continue;
      if (result < 0) break;  // the end of the source, or of what can be read of it
      StreamLane* lane = laneFor(packet->stream_index);
      if (lane && !lane->inputDone) {
        joins_->mend(packet, lane->input->time_base);
        status = decode(*lane, packet);
      }
      av_packet_unref(packet);
    }
    for (StreamLane* lane : lanes_) {
      if (status == noErr && !lane->inputDone && !stopDecoding()) status = decode(*lane, nullptr);
      // The last picture lasts its own length.
      if (status == noErr && !stopDecoding()) {
        status = handOverWaiting(*lane, std::min(lane->nextPts, lane->spanLength));
      }
    }
    return status;
  }

  bool stopDecoding() const { return cancelled_ || encodingStopped_; }

  OSErr decode(StreamLane& lane, const AVPacket* packet) {
    // A frame the lower rate drops anyway need not be decoded when no other frame refers to it;
    // the decoder's threads each take the setting with their packet.
    if (packet && lane.slots.dropsAny()) {
      lane.slots.notePacket(packet->pts);
      bool mayShow = lane.slots.mayShowPacket(packet->pts, lane.spanStart);
      lane.decoder->skip_frame = mayShow ? AVDISCARD_DEFAULT : AVDISCARD_NONREF;
    }
    int result = avcodec_send_packet(lane.decoder.get(), packet);
    // A damaged packet costs a frame, not the export.
    if (result < 0 && !IsDamagedData(result) && result != AVERROR_EOF) {
      reason_ = {FailureCode::cannotDecodeSource, {}, AVErrorText(result)};
      return OSErrFromAVError(result);
    }
    while (!lane.inputDone && !stopDecoding()) {
      result = avcodec_receive_frame(lane.decoder.get(), frame_.get());
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
      if (IsDamagedData(result)) continue;
      if (result < 0) {
        reason_ = {FailureCode::cannotDecodeSource, {}, AVErrorText(result)};
        return OSErrFromAVError(result);
      }
      OSErr status = handOver(lane, frame_.get());
      av_frame_unref(frame_.get());
      if (status != noErr) return status;
    }
    return noErr;
  }

  // Rebases the frame to the span and hands it to the encoding thread if it falls inside and
  // will be shown. Where a lower rate drops pictures, each waits for the next one, whose start
  // tells whether it covers an output slot.
  OSErr handOver(StreamLane& lane, AVFrame* frame) {
    bool isVideo = &lane == videoLane();
    int64_t pts =
        frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp - lane.spanStart : lane.nextPts;
    if (pts == AV_NOPTS_VALUE) pts = 0;
    int64_t duration = frame->pkt_duration;
    if (duration <= 0) {
      duration = isVideo ? lane.frameDuration
                         : av_rescale_q(frame->nb_samples, {1, frame->sample_rate}, lane.input->time_base);
    }
    lane.decodedAny = true;
    bool waits = isVideo && lane.slots.dropsAny();
    if (waits) {
      OSErr status = handOverWaiting(lane, std::min(pts, lane.spanLength));
      if (status != noErr || stopDecoding()) return status;
    }
    lane.nextPts = pts + std::max<int64_t>(duration, 1);
    if (pts >= lane.spanLength) {
      lane.inputDone = true;
      return noErr;
    }
    frame->pts = pts;
    OSErr status = noErr;
    if (waits) {
      lane.waiting = MakeFrame();
      if (!lane.waiting) return memFullErr;
      av_frame_move_ref(lane.waiting.get(), frame);
    } else if (lane.nextPts > 0) {  // not before the span
      lane.fedEnd = std::max(lane.fedEnd, lane.nextPts);
      status = give(lane, frame, isVideo);
    }
    if (isVideo || !video_) reportProgress(double(pts) * av_q2d(lane.input->time_base));
    return status;
  }

  // The waiting picture, now known to last until `next`, goes on if it covers a slot.
  OSErr handOverWaiting(StreamLane& lane, int64_t next) {
    if (!lane.waiting) return noErr;
    FramePtr picture = std::move(lane.waiting);
    if (next <= picture->pts) next = picture->pts + lane.frameDuration;  // a repeated or unordered time
    if (!lane.slots.shows(picture->pts, next)) return noErr;
    lane.fedEnd = std::max(lane.fedEnd, next);
    return give(lane, picture.get(), true);
  }

  OSErr give(StreamLane& lane, AVFrame* frame, bool isVideo) {
    FramePtr handed = MakeFrame();
    if (!handed) return memFullErr;
    av_frame_move_ref(handed.get(), frame);
    if (!handoff_->give(handed, isVideo ? kVideoLane : kAudioLane)) encodingStopped_ = true;
    return noErr;
  }

  // The encoding thread: filters, encodes and writes what the decoding thread hands over.
  void encodeHandedFrames(FrameHandoff& handoff) {
    FramePtr frame;
    int laneIndex = 0;
    OSErr status = noErr;
    try {
      while (status == noErr && handoff.take(&frame, &laneIndex)) {
        status = encodeFrame(laneIndex == kVideoLane ? *video_ : *audio_, frame.get());
        frame.reset();
      }
    } catch (const std::bad_alloc&) {  // escaping a thread, it would end the program
      encodeReason_ = {FailureCode::outOfMemory};  // made without an allocation
      status = memFullErr;
    }
    if (status != noErr) {
      encodeStatus_ = status;
      handoff.giveUp();
    }
  }

  OSErr encodeFrame(StreamLane& lane, AVFrame* frame) {
    OSErr status = noErr;
    if (lane.filters.graph && &lane != videoLane() && !lane.soundShape.matches(*frame)) {
      // The sound changed shape: what the old chain holds goes out first, then a new chain follows.
      status = closeFilters(lane, frame->pts);
      lane.filters = FilterChain();
    }
    if (status == noErr && !lane.filters.graph) status = buildFilters(lane, *frame);
    if (status != noErr) return status;
    int result = av_buffersrc_add_frame_flags(lane.filters.source, frame, 0);
    if (result < 0) {
      encodeReason_ = {FailureCode::cannotConvertSource, {}, AVErrorText(result)};
      return OSErrFromAVError(result);
    }
    return drainFilters(lane);
  }

  OSErr buildFilters(StreamLane& lane, const AVFrame& first) {
    if (&lane == videoLane()) {
      return BuildVideoFilterChain(first, lane.input->time_base, frameRate_, layout_,
                                   MatrixConversion(sourceColours_, outputColours_), lane.encoder->pix_fmt,
                                   &lane.filters, &encodeReason_);
    }
    double span = toTheEnd_ ? kUnboundedSpanSeconds : spanSeconds_;
    lane.soundShape.takeFrom(first);
    return BuildAudioFilterChain(first, lane.input->time_base, span, *lane.encoder, &lane.filters, &encodeReason_);
  }

  OSErr drainFilters(StreamLane& lane) {
    AVRational sinkTimeBase = av_buffersink_get_time_base(lane.filters.sink);
    for (;;) {
      int result = av_buffersink_get_frame(lane.filters.sink, filtered_.get());
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return noErr;
      if (result < 0) {
        encodeReason_ = {FailureCode::cannotConvertSource, {}, AVErrorText(result)};
        return OSErrFromAVError(result);
      }
      filtered_->pts = av_rescale_q(filtered_->pts, sinkTimeBase, lane.encoder->time_base);
      if (lane.encoder->codec_type == AVMEDIA_TYPE_AUDIO) {
        // Across a change of shape the new chain may start a little before the old one ended.
        filtered_->pts = std::max(filtered_->pts, lane.encodedEnd);
        lane.encodedEnd = filtered_->pts + filtered_->nb_samples;
      }
      filtered_->pict_type = AV_PICTURE_TYPE_NONE;  // the encoder places its own key frames
      OSErr status = twoPass_ ? keep(lane, filtered_.get()) : encode(lane, filtered_.get());
      av_frame_unref(filtered_.get());
      if (status != noErr) return status;
    }
  }

  OSErr encode(StreamLane& lane, const AVFrame* frame) {
    return EncodeAndDrain(
        lane.encoder.get(), frame, encoded_.get(),
        [&](AVPacket& packet) {
          if (&lane == videoLane()) writtenVideoBytes_ += packet.size;
          return output_.writePacket(&packet, lane.encoder->time_base, lane.outputIndex, &encodeReason_);
        },
        &encodeReason_);
  }

  // Encoded as it was decoded, a picture too busy for the rate even at FFmpeg's coarsest quantiser
  // cannot drop frames the way a second pass does: at least the user learns what it took. x264
  // holds any rate.
  void noteRateExceeded() {
    if (!video_ || job_.videoBitRate <= 0 || !HasTwoPassRateControl(job_.videoCodec) || spanSeconds_ <= 0) return;
    const double written = writtenVideoBytes_ * 8 / spanSeconds_;
    if (written <= job_.videoBitRate * kRateMissNoticed) return;
    auto kilobytes = [](double bitRate) { return FailureNumber("%.1f", bitRate / 8 / 1024); };
    notice_ = {FailureCode::rateExceededByPicture, FailureNumber("%.4g", av_q2d(frameRate_)), kilobytes(written),
               kilobytes(double(job_.videoBitRate))};
  }

  // Into the store, and a picture through the first pass.
  OSErr keep(StreamLane& lane, const AVFrame* frame) {
    const bool isVideo = &lane == videoLane();
    OSErr status = store_->add(*frame, isVideo ? kStoredVideoLane : kStoredSoundLane, &encodeReason_);
    if (status != noErr) return status;
    if (!isVideo) {
      ++storedSoundFrames_;
      return noErr;
    }
    ++storedVideoFrames_;
    if (lane.encoder->flags & AV_CODEC_FLAG_PASS1) {
      status = EncodeForStatistics(lane.encoder.get(), frame, encoded_.get(), &passOneStatistics_, &encodeReason_);
    }
    if (status == noErr && early_) early_->add(frame, passOneStatistics_);
    if (status == noErr) status = leastSize_.code(frame, encoded_.get(), &encodeReason_);
    if (status == noErr) status = leastSize_.check(video_ ? sizedJob_ : job_, expectedFacts(), &encodeReason_);
    return status;
  }

  // The movie as the store will hold it: as long as the span where that is known, and at least
  // what has been kept so far.
  StoredMovieFacts expectedFacts() const {
    const double fps = std::max(av_q2d(frameRate_), kSlowestFrameRate);
    StoredMovieFacts movie;
    movie.hasVideo = video_.has_value();
    movie.hasSound = audio_.has_value();
    movie.frameRate = fps;
    double seconds = spanSeconds_;
    if (movie.hasVideo) {
      movie.videoFrames = std::max(storedVideoFrames_, long(spanSeconds_ * fps));
      seconds = movie.videoFrames / fps;
    }
    if (movie.hasSound) {
      const double frameSeconds = double(std::max(audio_->encoder->frame_size, 1)) / audio_->encoder->sample_rate;
      movie.soundFrames = std::max(storedSoundFrames_, long(seconds / frameSeconds));
      if (!movie.hasVideo) seconds = movie.soundFrames * frameSeconds;
    }
    movie.seconds = seconds;
    return movie;
  }

  OSErr encodeStoredFrames() {
    StoredMovie movie;
    movie.store = store_.get();
    movie.frameRate = frameRate_;
    movie.passOneStatistics = std::move(passOneStatistics_);
    if (statisticsName_) {
      movie.statisticsFile = statisticsPath_;
      video_->encoder.reset();  // x264 completes its statistics files as it closes
    }
    movie.sourceSampleRate = source_.facts.audioSampleRate;
    movie.sourceChannels = source_.facts.audioChannels;
    movie.colours = outputColours_;
    movie.bitsAtCoarsest = leastSize_.bitsAtCoarsest();
    if (early_) {
      movie.early = early_->takeResults();
      early_.reset();
    }
    StoredMovieFacts& facts = movie.facts;
    facts.hasVideo = video_.has_value() && storedVideoFrames_ > 0;
    facts.hasSound = audio_.has_value() && storedSoundFrames_ > 0;
    facts.videoFrames = storedVideoFrames_;
    facts.soundFrames = storedSoundFrames_;
    facts.frameRate = av_q2d(frameRate_);
    facts.seconds = facts.hasVideo ? storedVideoFrames_ / std::max(facts.frameRate, kSlowestFrameRate)
                    : audio_ ? double(storedSoundFrames_) * std::max(audio_->encoder->frame_size, 1) /
                                   std::max(audio_->encoder->sample_rate, 1)
                             : 0;
    // Counted down from here by the frames encoded; a stop now keeps what was written.
    std::function<bool(double)> onProgress = [this](double done) {
      reportFraction(decodeShare_ + (1 - decodeShare_) * done);
      return !cancelled_;
    };
    return ExportStoredFrames(video_ ? sizedJob_ : job_, movie, onProgress, &reason_, &notice_);
  }

  // Ends the stream where its input ended, cut to the span: filters, then the encoder.
  OSErr finishLane(StreamLane& lane) {
    if (lane.filters.graph) {
      OSErr status = closeFilters(lane, std::min(lane.fedEnd, lane.spanLength));
      if (status != noErr) return status;
    }
    if (!twoPass_) return encode(lane, nullptr);
    if (&lane != videoLane()) return noErr;
    if (OSErr status = leastSize_.code(nullptr, encoded_.get(), &encodeReason_); status != noErr) return status;
    if (!(lane.encoder->flags & AV_CODEC_FLAG_PASS1)) return noErr;
    OSErr status = EncodeForStatistics(lane.encoder.get(), nullptr, encoded_.get(), &passOneStatistics_, &encodeReason_);
    if (status == noErr && early_) early_->add(nullptr, passOneStatistics_);
    return status;
  }

  OSErr closeFilters(StreamLane& lane, int64_t end) {
    int result = av_buffersrc_close(lane.filters.source, end, AV_BUFFERSRC_FLAG_PUSH);
    if (result < 0) {
      encodeReason_ = {FailureCode::cannotConvertSource, {}, AVErrorText(result)};
      return OSErrFromAVError(result);
    }
    return drainFilters(lane);
  }

  void reportProgress(double seconds) {
    if (!progress_) return;
    reportFraction(spanProgress_.fraction(seconds) * (twoPass_ ? decodeShare_ : 1.0));
  }

  void reportFraction(double wanted) {
    if (!progress_) return;
    double fraction = std::clamp(wanted, reported_, 1.0);
    auto now = std::chrono::steady_clock::now();
    if (fraction < reported_ + kProgressStep && now - lastReport_ < kProgressInterval) return;
    reported_ = fraction;
    lastReport_ = now;
    if (progress_(fraction) != noErr) cancelled_ = true;
  }

  StreamLane* videoLane() { return video_ ? &*video_ : nullptr; }
  StreamLane* laneFor(int streamIndex) {
    for (StreamLane* lane : lanes_) {
      if (lane->input->index == streamIndex) return lane;
    }
    return nullptr;
  }
  bool allInputsDone() const {
    return std::all_of(lanes_.begin(), lanes_.end(), [](const StreamLane* lane) { return lane->inputDone; });
  }

  ExportJob job_;  // its rates lowered to the source's own once that is open
  const ExportProgress& progress_;
  Failure& reason_;
  SourceMovie source_;
  MuxerFile output_;  // after source_: the output closes first
  std::optional<StreamLane> video_;
  std::optional<StreamLane> audio_;
  std::vector<StreamLane*> lanes_;  // the kept ones, video first; looked through for every packet
  static constexpr int kVideoLane = 0;
  static constexpr int kAudioLane = 1;
  FrameHandoff* handoff_ = nullptr;
  bool encodingStopped_ = false;  // the encoding thread gave up; its status says why
  OSErr encodeStatus_ = noErr;    // set by the encoding thread, read after it ends
  Failure encodeReason_;
  FramePtr frame_;
  FramePtr filtered_;
  PacketPtr encoded_;
  AVRational frameRate_ = {0, 1};
  PictureLayout layout_;
  ColourDescription sourceColours_;
  ColourDescription outputColours_;
  double spanSeconds_ = 0;  // the span's expected length; 0: unknown
  double writtenVideoBytes_ = 0;  // in one pass
  bool toTheEnd_ = false;   // the span ends where the source's data does, whatever its header says
  std::optional<JoinedTimestamps> joins_;
  SpanProgress spanProgress_;
  double reported_ = 0;
  std::chrono::steady_clock::time_point lastReport_;
  bool cancelled_ = false;
  // Two passes: the frames, kept once filtered, and what the first pass learnt of them.
  bool twoPass_ = false;
  std::unique_ptr<FrameStore> store_;
  std::string passOneStatistics_;
  // Where x264 keeps its statistics; the files it makes from that name go with the name.
  std::unique_ptr<hidden_files::HiddenName> statisticsName_;
  std::string statisticsPath_;
  long storedVideoFrames_ = 0;
  long storedSoundFrames_ = 0;
  LeastSizeWatch leastSize_;  // under a size limit
  std::unique_ptr<EarlyEncodes> early_;  // FFmpeg's own encoders' second half, begun
  double decodeShare_ = 1;  // of the progress bar
  Failure notice_;
  ExportJob sizedJob_;  // the job with the picture size the encoder writes
};

}  // namespace

ComponentResult RunExportJob(const ExportJob& job, const ExportProgress& progress, Failure* failure,
                             Failure* notice) {
  Failure ignored;
  Failure& reason = failure ? *failure : ignored;
  reason = {};
  if (job.sourcePath.empty() || job.outputPath.empty()) {
    reason = {FailureCode::nothingGiven};
    return paramErr;
  }
  ExportRun run(job, progress, &reason);
  ComponentResult result = run.run();
  if (notice) *notice = run.notice();
  return result;
}

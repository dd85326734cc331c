#include "platform/media/twopass/LeastSizeWatch.h"

#include <algorithm>
#include <cmath>

#include "platform/media/stages/EncodeAndDrain.h"
#include "platform/media/stages/EncoderSetup.h"

OSErr LeastSizeWatch::open(const ExportJob& job, AVRational frameRate, const ColourDescription& colours,
                           bool globalHeader, Failure* failure) {
  if (job.sizeLimitBytes <= 0 || !HasTwoPassRateControl(job.videoCodec)) return noErr;
  return OpenVideoEncoder(job, frameRate, colours, globalHeader, &coarsest_, failure,
                          {.fixedQuantiser = kCoarsestQuantiser});
}

OSErr LeastSizeWatch::code(const AVFrame* picture, AVPacket* scratch, Failure* failure) {
  if (!coarsest_) return noErr;
  FramePtr fixed;
  if (picture) {
    fixed = MakeFrame();
    if (!fixed || av_frame_ref(fixed.get(), picture) < 0) return memFullErr;
    fixed->quality = coarsest_->global_quality;
    ++frames_;
  }
  return EncodeAndDrain(
      coarsest_.get(), fixed.get(), scratch,
      [&](AVPacket& packet) {
        bits_ += packet.size * 8.0;
        return OSErr(noErr);
      },
      failure);
}

OSErr LeastSizeWatch::check(const ExportJob& job, const StoredMovieFacts& movie, Failure* failure) const {
  if (job.sizeLimitBytes <= 0) return noErr;
  const LeastMovieBytes least = EstimateLeastMovieBytes(job, movie, bits_, frames_);
  if (least.certain <= double(job.sizeLimitBytes)) return noErr;
  *failure = NeedsMoreRoom(long(std::ceil(std::max(least.certain, least.estimated))));
  return paramErr;
}

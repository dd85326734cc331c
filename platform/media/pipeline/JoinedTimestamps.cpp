#include "platform/media/pipeline/JoinedTimestamps.h"

#include <algorithm>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace {

// The thresholds the ffmpeg tool uses for the same formats: back by more than a tenth of a
// second, or either way by more than ten seconds, is a seam rather than jitter.
constexpr int64_t kBackwardSeam = AV_TIME_BASE / 10;
constexpr int64_t kForwardSeam = 10LL * AV_TIME_BASE;

}  // namespace

void JoinedTimestamps::mend(AVPacket* packet, AVRational timeBase) {
  if (!clockMayJump_) return;
  int64_t time = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
  if (time == AV_NOPTS_VALUE) return;
  StreamClock& clock = clocks_[packet->stream_index];
  int64_t micros = av_rescale_q(time, timeBase, AV_TIME_BASE_Q) + clock.offset;
  if (clock.expected != INT64_MIN) {
    int64_t jump = micros - clock.expected;
    if (micros + kBackwardSeam < clock.latest || jump > kForwardSeam || jump < -kForwardSeam) {
      clock.offset -= jump;
      micros -= jump;
    }
  }
  if (clock.offset != 0) {
    int64_t shift = av_rescale_q(clock.offset, AV_TIME_BASE_Q, timeBase);
    if (packet->pts != AV_NOPTS_VALUE) packet->pts += shift;
    if (packet->dts != AV_NOPTS_VALUE) packet->dts += shift;
  }
  // Without a length of its own, a packet lasts as long as the step before it.
  if (clock.latest != INT64_MIN && micros > clock.latest) clock.step = micros - clock.latest;
  int64_t length = packet->duration > 0 ? av_rescale_q(packet->duration, timeBase, AV_TIME_BASE_Q) : clock.step;
  clock.latest = std::max(clock.latest, micros);
  clock.expected = micros + length;
}

#include "platform/media/pipeline/PictureSlots.h"

#include <algorithm>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

bool PictureSlots::shows(int64_t start, int64_t next) const {
  if (!dropsAny()) return true;
  if (next <= 0) return false;  // over before the span begins
  auto rounding = AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX);
  return av_rescale_q_rnd(start, timeBase_, slot_, rounding) != av_rescale_q_rnd(next, timeBase_, slot_, rounding);
}

void PictureSlots::notePacket(int64_t pts) {
  if (pts == AV_NOPTS_VALUE) return;
  recentStarts_[noted_++ % recentStarts_.size()] = pts;
}

bool PictureSlots::mayShowPacket(int64_t pts, int64_t spanStart) const {
  if (!dropsAny() || pts == AV_NOPTS_VALUE) return true;
  int64_t laterStart = INT64_MAX;
  const unsigned count = std::min<unsigned>(noted_, recentStarts_.size());
  for (unsigned i = 0; i < count; ++i) {
    if (recentStarts_[i] > pts) laterStart = std::min(laterStart, recentStarts_[i]);
  }
  return laterStart == INT64_MAX || shows(pts - spanStart, laterStart - spanStart);
}

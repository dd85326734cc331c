// Which source pictures a lower output frame rate shows. The frame rate filter shows, for each
// output slot, the last picture that starts in or before it, so a picture is passed over only when
// the next one starts in the same slot. What counts is the time until the next picture, never a
// nominal frame length: a screen recording or an edited clip holds one picture for seconds.
#pragma once

#include <array>
#include <cstdint>

extern "C" {
#include <libavutil/rational.h>
}

class PictureSlots {
 public:
  PictureSlots() = default;  // shows every picture
  PictureSlots(AVRational timeBase, AVRational shownRate) : timeBase_(timeBase), slot_(av_inv_q(shownRate)) {}

  bool dropsAny() const { return slot_.num > 0; }

  // Whether the picture that starts at `start` and lasts until `next` starts is shown; both
  // rebased to the span, in the source's time base.
  bool shows(int64_t start, int64_t next) const;

  // Before decoding, in decode order: a packet's picture is known to end no later than any
  // picture seen to start after it. Without such a picture its length is unknown, and it counts
  // as shown; the frames that need no decoding are those after which later ones are already read.
  void notePacket(int64_t pts);
  bool mayShowPacket(int64_t pts, int64_t spanStart) const;

 private:
  AVRational timeBase_ = {1, 1};
  AVRational slot_ = {0, 1};
  std::array<int64_t, 16> recentStarts_{};  // a ring of the latest packets' start times
  unsigned noted_ = 0;
};

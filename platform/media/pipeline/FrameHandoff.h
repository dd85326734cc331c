// Decoded frames on their way from the thread that decodes to the thread that filters, encodes
// and writes, so that the two overlap. Bounded, because every waiting frame holds a decoder
// picture (12 MB at 4K).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/media/stages/FfmpegPointers.h"

class FrameHandoff {
 public:
  explicit FrameHandoff(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

  // Waits for room. False, leaving the frame with the caller, once the taker has given up.
  bool give(FramePtr& frame, int lane);
  // Waits for a frame. False once the giver has finished and every frame has been taken.
  bool take(FramePtr* frame, int* lane);
  // The giver's last word: no more frames will come.
  void finish();
  // The taker's last word: it takes no more, and frames still waiting are let go.
  void giveUp();

 private:
  struct Entry {
    FramePtr frame;
    int lane;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Entry> waiting_;
  std::size_t capacity_;
  bool finished_ = false;
  bool givenUp_ = false;
};

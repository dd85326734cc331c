// Writing stored frames, the pictures take nearly all the time, on one core: their sound is
// encoded meanwhile on a thread of its own. Each sound frame handed over gets a number, and its
// packets are taken by that number, so that they are written where the frame was kept, in the
// very order encoding it in line would give.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/FfmpegPointers.h"

class SoundAlongside {
 public:
  // Encodes with `encoder`, which the caller leaves alone until this ends.
  explicit SoundAlongside(AVCodecContext* encoder);
  ~SoundAlongside();
  SoundAlongside(const SoundAlongside&) = delete;
  SoundAlongside& operator=(const SoundAlongside&) = delete;

  // False when no thread could be started: the caller encodes the sound itself.
  bool running() const { return thread_.joinable(); }
  // Hands a frame over (an empty one: the end, after which the encoder gives out what it holds);
  // its number, counted from 0.
  std::size_t give(FramePtr frame);
  // Whether the frame of that number is encoded.
  bool ready(std::size_t number);
  // Waits for the frame of that number to be encoded, and moves its packets out. A failure is
  // told once, for the frame where it happened and every later one.
  OSErr take(std::size_t number, std::vector<PacketPtr>* packets, Failure* failure);

 private:
  void encodeGiven();

  AVCodecContext* encoder_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<FramePtr> waiting_;
  std::size_t given_ = 0;
  std::deque<std::vector<PacketPtr>> encoded_;  // for frames numbered from takenUpTo_
  std::size_t takenUpTo_ = 0;
  OSErr status_ = noErr;  // the first failure, and the reason for it
  Failure reason_;
  bool stopping_ = false;
  std::thread thread_;
};

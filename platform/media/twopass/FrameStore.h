// The filtered frames of an export, kept so that they can be encoded more than once without
// decoding the source again: in memory up to a bound, then in a temporary file beside the output.
// The file has no name from the moment it is made, so it goes with the store on every way out,
// a crash included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/FfmpegPointers.h"

// What FrameStore::next found: a frame, the end of what was kept, or a failure to read it back.
enum class FrameStoreRead { frame, end, failed };

class FrameStore {
 public:
  // `besideFile`: a file in the folder the overflow goes to.
  FrameStore(std::string besideFile, std::size_t memoryBound);
  ~FrameStore();
  FrameStore(const FrameStore&) = delete;
  FrameStore& operator=(const FrameStore&) = delete;

  // Keeps a copy of a video (planar YUV) or sound frame, with its pts and lane number.
  OSErr add(const AVFrame& frame, int lane, Failure* failure);
  // Starts reading from the first frame; adding after that is not allowed.
  OSErr rewind(Failure* failure);
  // The next frame in the order they were added. *failure is set only when it says
  // `failed`, as it does when asked before rewind.
  FrameStoreRead next(FramePtr* frame, int* lane, Failure* failure);

  // Whether the folder of `besideFile` has room for that many bytes more than it holds.
  static bool RoomBeside(const std::string& besideFile, double bytes);

  std::size_t framesKept() const { return frames_; }
  std::uint64_t bytesKept() const { return bytes_; }
  bool spilled() const { return file_ != nullptr; }

 private:
  OSErr put(const void* data, std::size_t size, Failure* failure);
  bool get(void* data, std::size_t size);

  std::string besideFile_;
  std::size_t memoryBound_;
  std::vector<std::uint8_t> memory_;
  std::size_t memoryRead_ = 0;
  std::FILE* file_ = nullptr;
  bool reading_ = false;
  std::size_t frames_ = 0;
  std::uint64_t bytes_ = 0;
  std::vector<std::uint8_t> scratch_;
};

#include "platform/media/twopass/SoundAlongside.h"

#include <new>
#include <system_error>
#include <utility>

#include "platform/media/stages/EncodeAndDrain.h"

SoundAlongside::SoundAlongside(AVCodecContext* encoder) : encoder_(encoder) {
  try {
    thread_ = std::thread([this] { encodeGiven(); });
  } catch (const std::system_error&) {
  }
}

SoundAlongside::~SoundAlongside() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

std::size_t SoundAlongside::give(FramePtr frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  waiting_.push_back(std::move(frame));
  changed_.notify_all();
  return given_++;
}

bool SoundAlongside::ready(std::size_t number) {
  std::lock_guard<std::mutex> lock(mutex_);
  return number < takenUpTo_ + encoded_.size() || status_ != noErr;
}

OSErr SoundAlongside::take(std::size_t number, std::vector<PacketPtr>* packets, Failure* failure) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return number < takenUpTo_ + encoded_.size() || status_ != noErr; });
  if (number >= takenUpTo_ + encoded_.size() || number != takenUpTo_) {
    *failure = reason_;
    return status_ != noErr ? status_ : OSErr(paramErr);
  }
  *packets = std::move(encoded_.front());
  encoded_.pop_front();
  ++takenUpTo_;
  return noErr;
}

void SoundAlongside::encodeGiven() {
  PacketPtr scratch = MakePacket();
  for (;;) {
    FramePtr frame;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      frame = std::move(waiting_.front());
      waiting_.pop_front();
    }
    std::vector<PacketPtr> packets;
    Failure reason;
    OSErr status = scratch ? OSErr(noErr) : OSErr(memFullErr);
    try {
      if (status == noErr) {
        status = EncodeAndDrain(
            encoder_, frame.get(), scratch.get(),
            [&](AVPacket& packet) {
              packets.push_back(MovedPacket(&packet));
              return packets.back() ? OSErr(noErr) : OSErr(memFullErr);
            },
            &reason);
      }
    } catch (const std::bad_alloc&) {  // escaping a thread, it would end the program
      status = memFullErr;
    }
    if (status == memFullErr && !reason) reason = {FailureCode::outOfMemory};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (status == noErr) {
        encoded_.push_back(std::move(packets));
      } else {
        status_ = status;
        reason_ = reason;
      }
    }
    changed_.notify_all();
    if (status != noErr) return;
  }
}

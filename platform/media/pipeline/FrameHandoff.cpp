#include "platform/media/pipeline/FrameHandoff.h"

bool FrameHandoff::give(FramePtr& frame, int lane) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return givenUp_ || waiting_.size() < capacity_; });
  if (givenUp_) return false;
  waiting_.push_back({std::move(frame), lane});
  changed_.notify_all();
  return true;
}

bool FrameHandoff::take(FramePtr* frame, int* lane) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return givenUp_ || finished_ || !waiting_.empty(); });
  if (givenUp_ || waiting_.empty()) return false;
  *frame = std::move(waiting_.front().frame);
  *lane = waiting_.front().lane;
  waiting_.pop_front();
  changed_.notify_all();
  return true;
}

void FrameHandoff::finish() {
  std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

void FrameHandoff::giveUp() {
  std::deque<Entry> dropped;
  {
    std::lock_guard lock(mutex_);
    givenUp_ = true;
    dropped.swap(waiting_);
    changed_.notify_all();
  }
}

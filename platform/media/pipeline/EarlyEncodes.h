// While the source decodes, its reference pictures are decoded one after another, and what else is
// done beside them leaves some room on another core; the second half of a two-pass export then runs
// on one core alone. The encode of the kept pictures it begins with (at the finest quantiser, to
// learn the most they cost; or at the one quantiser the rate looks to need, for statistics that
// model it closely) is made on a thread of its own meanwhile, so that the second half finds it
// done. It is the very encode the second half would make, which takes it only where it would have
// asked for the same; at the finest quantiser, it writes the very packets rather than encoding again.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/media/pipeline/FrameHandoff.h"
#include "platform/media/stages/ColourMatrix.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"
#include "platform/media/twopass/StoredFramesExport.h"

class EarlyEncodes {
 public:
  // For FFmpeg's own encoders at a data rate and with no size limit (under one, the second half
  // plans its own rates); otherwise it makes none. `expectedFrames`: as many as the movie will
  // likely keep, 0 when unknown.
  EarlyEncodes(const ExportJob& job, AVRational frameRate, const ColourDescription& colours, bool globalHeader,
               long expectedFrames);
  ~EarlyEncodes();
  EarlyEncodes(const EarlyEncodes&) = delete;
  EarlyEncodes& operator=(const EarlyEncodes&) = delete;

  // One picture, after the first pass took it (`passOne`: its statistics so far); nullptr: the end,
  // which waits for the encode to finish. A failure here only leaves it to the second half.
  void add(const AVFrame* picture, const std::string& passOne);

  // What was made, once the end came; nothing otherwise.
  EarlyEncodeResults takeResults() { return complete_ ? std::move(results_) : EarlyEncodeResults{}; }

 private:
  void start(const std::string& passOne);
  void encodeHanded();
  void stop();

  ExportJob job_;
  AVRational frameRate_;
  ColourDescription colours_;
  bool globalHeader_;
  bool wanted_ = false;
  std::size_t decidingFrames_ = 0;
  std::vector<FramePtr> held_;  // the first pictures, until the first pass has seen enough to decide
  std::optional<FrameHandoff> handoff_;
  std::thread thread_;
  std::atomic<bool> stopping_ = false;
  EarlyEncodeResults results_;  // the thread's until it ends; a quantiser of 0: the finest is measured
  bool encodedAll_ = false;
  bool complete_ = false;
};

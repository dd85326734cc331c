// Under a size limit, the pictures are coded at the lowest quality while the source is still
// being decoded: what they take so far, with the movie's length and the lowest sound, tells as
// early as can be that the limit cannot be held, before the rest is decoded for nothing.
#pragma once

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ColourMatrix.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"
#include "platform/media/twopass/BitBudget.h"

class LeastSizeWatch {
 public:
  // Codes the pictures where the job's codec has a coarsest quantiser; H.264's least is its floor.
  OSErr open(const ExportJob& job, AVRational frameRate, const ColourDescription& colours, bool globalHeader,
             Failure* failure);
  // One picture as it is kept (nullptr: the end).
  OSErr code(const AVFrame* picture, AVPacket* scratch, Failure* failure);
  // What the pictures took at the coarsest quantiser, in bits; 0 when they were not coded.
  double bitsAtCoarsest() const { return bits_; }
  // paramErr, and the refusal in *failure, when a movie of these facts (as many frames as it will
  // have, as far as known) certainly overruns the job's limit.
  OSErr check(const ExportJob& job, const StoredMovieFacts& movie, Failure* failure) const;

 private:
  CodecContextPtr coarsest_;
  double bits_ = 0;
  long frames_ = 0;
};

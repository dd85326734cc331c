// How the bytes of an export from stored frames are shared out: the video's data rate for the
// second pass, the sound's rate, and how many frames are kept, so that the video holds its chosen
// rate and the whole file stays under a size limit.
#pragma once

#include <algorithm>
#include <string>

#include "platform/Failure.h"
#include "platform/media/stages/ExportJob.h"

// The coarsest quantiser of FFmpeg's MPEG-4 and H.263 encoders: the least a picture can cost; and
// the finest, the most it is worth.
inline constexpr int kCoarsestQuantiser = 31;
inline constexpr int kFinestQuantiser = 2;

// What a first pass learnt about the pictures, from its encoder's statistics.
struct PassOneSummary {
  long frames = 0;
  double bitsAsEncoded = 0;
  // The least the pictures take at the encoder's coarsest quantiser; 0 when unknown.
  double bitsAtCoarsest = 0;
  // The most they take at the finest quantiser, by the same model.
  double bitsAtFinest = 0;
};

// Reads FFmpeg's MPEG-4 / H.263 statistics ("in:.. q:.. itex:.. ptex:.. mv:.. misc:..;" a frame).
PassOneSummary SummarisePassOne(const std::string& statistics);

// The model of the finest quantiser misses by a third either way: from this share of it up, what
// the finest costs is measured, and a rate that affords it gets just that.
inline constexpr double kNearFinestShare = 0.5;

// The quantiser at which the summarised pictures take `bits`, by the model of the statistics:
// texture bits fall as the quantiser rises, the rest stays; the model's two ends tell how much of
// each there is.
double QuantiserForBits(const PassOneSummary& summary, double bits);

// A video rate is aimed at again when a pass misses it by more than this share: the most a
// written video may spend over its rate.
inline constexpr double kRateTolerance = 0.08;

// Rates are reckoned over at least a millisecond, shorter than any frame lasts: the floor only
// keeps an empty movie's rates from dividing by zero.
inline constexpr double kShortestRatedSeconds = 1e-3;

struct StoredMovieFacts {
  double seconds = 0;  // of the kept frames
  double ratedSeconds() const { return std::max(seconds, kShortestRatedSeconds); }
  double frameRate = 0;
  long videoFrames = 0;
  long soundFrames = 0;  // encoder frames of sound
  bool hasVideo = false;
  bool hasSound = false;
};

struct BitBudgetPlan {
  long videoBitRate = 0;  // for the second pass, bits per second
  long soundBitRate = 0;
  int frameStride = 1;    // 1 keeps every frame, 2 every other one...
  bool limitBinds = false;
  long neededBytes = 0;   // nonzero when even the lowest quality cannot fit the limit
  bool nearTheLeast = false;  // the lowest quality fits by the estimate, by too little to count on
};

// The file's own bytes beside the coded frames, as the MPEG-4 family's muxers write them: as
// planned, and the least they come to (what a refusal may count on). AMR-NB's frames of one mode
// all have one size, which the sample tables note once.
long ContainerOverheadBytes(long videoFrames, long soundFrames, AudioCodecChoice sound);
long LeastContainerOverheadBytes(long videoFrames, long soundFrames, AudioCodecChoice sound);
// The bytes a second of sound takes at that rate (AMR-NB's frames are a fixed size per mode).
double SoundBytesPerSecond(AudioCodecChoice codec, long bitRate);
// The lowest rate the sound may give way to.
long LowestSoundBitRate(AudioCodecChoice codec, int channels);
// The least video rate that still gives a watchable picture of that size and frame rate, where the
// encoder's coarsest quantiser does not already set one: H.264's reaches grey blocks. 0: none.
long LeastVideoBitRate(VideoCodecChoice codec, int width, int height, double frameRate);

// The most video rate that keeps a movie of these facts within `bytesPerSecond` in all, beside its
// sound at the job's rate and the container's own bytes, the rate control's miss included; 0 when
// that leaves no room above the codec's least rate.
long VideoRateWithin(const ExportJob& job, const StoredMovieFacts& movie, double bytesPerSecond);

// The least a movie of these facts can take, counting the pictures the lowest quality has coded so
// far at `codedVideoBits` (`codedFrames` of them) and the rest at the least any picture takes.
struct LeastMovieBytes {
  double certain = 0;    // what no encode can go below: a limit under it is refused before more is read
  double estimated = 0;  // what the lowest quality will likely take, the rest of the pictures as those so far
};
LeastMovieBytes EstimateLeastMovieBytes(const ExportJob& job, const StoredMovieFacts& movie, double codedVideoBits,
                                        long codedFrames);

// The plan for a job; `job.sizeLimitBytes` 0 means no limit.
BitBudgetPlan PlanBitBudget(const ExportJob& job, const StoredMovieFacts& movie, const PassOneSummary& passOne);

// The refusal of a limit that even the lowest quality overruns: the least size, in whole kilobytes
// of 1024 bytes rounded up.
Failure NeedsMoreRoom(long neededBytes);

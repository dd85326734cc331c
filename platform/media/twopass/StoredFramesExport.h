// The second half of an export in two passes: the source has been decoded and filtered once into
// a frame store, and the video encoder's first pass has gathered its statistics. From these the
// bit budget is shared out, and the stored frames are encoded again and written to the output,
// again while a size limit is missed, so that the file lands under it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ColourMatrix.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"
#include "platform/media/twopass/BitBudget.h"
#include "platform/media/twopass/FrameStore.h"

inline constexpr int kStoredVideoLane = 0;
inline constexpr int kStoredSoundLane = 1;

// Encodes of the kept pictures made while the source decoded, as the second half would make them:
// what they take at the finest quantiser, or statistics gathered at one quantiser.
struct EarlyEncodeResults {
  double bitsAtFinest = 0;  // 0: not made
  // The finest quantiser's packets, where they were few enough to keep: [i] holds what the encoder
  // gave on the i-th kept picture, the last entry what it gave at the end. Empty: not kept.
  std::vector<std::vector<PacketPtr>> packetsAtFinest;
  int quantiser = 0;  // of the statistics; 0: none
  std::string statistics;
};

struct StoredMovie {
  FrameStore* store = nullptr;
  AVRational frameRate = {0, 1};  // the video frames' pts count frames at this rate
  StoredMovieFacts facts;
  std::string passOneStatistics;  // FFmpeg's own encoders'; empty when the encoder keeps none
  std::string statisticsFile;     // x264's, where it kept them; empty otherwise
  int sourceSampleRate = 0;
  int sourceChannels = 0;
  ColourDescription colours;  // the pictures', as the encoder tags them
  double bitsAtCoarsest = 0;  // the pictures coded at the coarsest quantiser as they were kept; 0: not
  EarlyEncodeResults early;
};

// Gives the first pass's encoder one frame (nullptr: the end) and adds what it learns to *statistics.
OSErr EncodeForStatistics(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch, std::string* statistics,
                          Failure* failure);

// `progress` gets the fraction of this half done (0..1), at every stored frame of every pass, and
// says false to stop; a stop returns userCanceledErr, keeping what was written as the output, or
// writing nothing when it came before the write began. `notice`: one line for the user when the
// written rates differ from the chosen ones.
OSErr ExportStoredFrames(const ExportJob& job, StoredMovie& movie, const std::function<bool(double)>& progress,
                         Failure* failure, Failure* notice);

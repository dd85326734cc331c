// The encoders an export writes with, opened from the job's choices.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ColourMatrix.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"

// The job's frame rate, never above the source's, nor below what the encoder takes.
AVRational OutputFrameRate(const ExportJob& job, AVRational sourceRate);

// How an encoder takes part in an export of stored frames: the one pass of a plain export, the
// first of two (which only gathers the encoder's statistics), or the second (which spends the bits
// by them); `bitRate` overrides the job's; `statistics`, the first pass's, feeds the second.
struct EncoderPass {
  int number = 0;  // 0: the only pass
  long bitRate = 0;
  const char* statistics = nullptr;
  int fixedQuantiser = 0;  // nonzero: every frame at this quantiser, with no rate control
  bool fromStoredFrames = false;  // encoding frames kept for more than one pass
};

// Whether the job's video encoder is one of FFmpeg's own, whose statistics for a second pass are
// text handed over in memory (EncoderPass::statistics).
bool HasTwoPassRateControl(VideoCodecChoice codec);
// Whether it can encode in two passes at all: x264 keeps its statistics in a file, whose name
// EncoderPass::statistics then gives.
bool CanEncodeInTwoPasses(VideoCodecChoice codec);

// yuv420p pictures of the job's size at frameRate, tagged with their colours; time base 1/frameRate.
OSErr OpenVideoEncoder(const ExportJob& job, AVRational frameRate, const ColourDescription& colours, bool globalHeader,
                       CodecContextPtr* encoder, Failure* failure, const EncoderPass& pass = {});

// Sound at the job's rate and channels (the source's when the job leaves them 0); AMR-NB is
// always 8 kHz mono, at 12.2 kbit/s unless the job names another of its modes.
OSErr OpenAudioEncoder(const ExportJob& job, int sourceSampleRate, int sourceChannels, bool globalHeader,
                       CodecContextPtr* encoder, Failure* failure);

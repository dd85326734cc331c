// The encoders an export writes with, opened from the job's choices.
#pragma once

#include <string>

#include "platform/MacTypes.h"
#include "platform/media/ColourMatrix.h"
#include "platform/media/ExportJob.h"
#include "platform/media/FfmpegPointers.h"

// The job's frame rate, never above the source's, nor below what the encoder takes.
AVRational OutputFrameRate(const ExportJob& job, AVRational sourceRate);

// yuv420p pictures of the job's size at frameRate, tagged with their colours; time base 1/frameRate.
OSErr OpenVideoEncoder(const ExportJob& job, AVRational frameRate, const ColourDescription& colours, bool globalHeader,
                       CodecContextPtr* encoder, std::string* failureReason);

// Sound at the job's rate and channels (the source's when the job leaves them 0); AMR-NB is
// always 8 kHz mono, at 12.2 kbit/s unless the job names another of its modes.
OSErr OpenAudioEncoder(const ExportJob& job, int sourceSampleRate, int sourceChannels, bool globalHeader,
                       CodecContextPtr* encoder, std::string* failureReason);

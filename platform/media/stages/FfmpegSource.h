// A source movie opened with libavformat: the chosen video and audio streams and their facts.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/FfmpegPointers.h"
#include "platform/media/stages/MovieRecord.h"

struct SourceMovie {
  InputFormatPtr format;
  int videoStream = -1;  // -1 when there is none
  int audioStream = -1;
  MovieFacts facts;
};

// Opens and measures the file. A missing file, a file FFmpeg cannot read, one without a decodable
// picture or sound stream, or one whose index points past its end gives a nonzero status.
OSErr OpenSourceMovie(const std::string& path, SourceMovie* source, Failure* failure);

// A decoder for one of the source's streams; pictures decode frame-threaded on every core.
OSErr OpenStreamDecoder(const SourceMovie& source, int streamIndex, CodecContextPtr* decoder,
                        Failure* failure);

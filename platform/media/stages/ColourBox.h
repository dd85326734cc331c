// FFmpeg writes a track's colour description ('colr') into MPEG-4 and QuickTime files only; a
// 3GPP or 3GPP2 file, built on the same boxes, takes it just as well. This adds it to a finished
// file whose movie box comes last, as the muxer leaves it.
#pragma once

#include <string>

extern "C" {
#include <libavcodec/codec_par.h>
}

// Adds a 'colr' box to the video track's sample description, from `video`'s colour fields, or
// leaves the file as it was when it has no room for one (a video track, its movie box last) or
// the fields say nothing. 0, or the errno of a failure that may have left the file damaged.
int AddColourBox(const std::string& path, const AVCodecParameters& video);

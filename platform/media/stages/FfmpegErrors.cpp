#include "platform/media/stages/FfmpegErrors.h"

extern "C" {
#include <libavutil/error.h>
}

#include "platform/files/Files.h"

OSErr OSErrFromAVError(int averror) {
  if (averror >= 0) return noErr;
  switch (averror) {
    case AVERROR_EOF:
      return eofErr;
    case AVERROR_INVALIDDATA:
      return invalidMovie;
    case AVERROR_DECODER_NOT_FOUND:
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_ENCODER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND:
    case AVERROR_FILTER_NOT_FOUND:
    case AVERROR_PATCHWELCOME:
      return cantFindHandler;
    case AVERROR_STREAM_NOT_FOUND:
      return noMovieFound;
    case AVERROR_EXIT:
      return userCanceledErr;
    default:
      break;
  }
  // FFmpeg's errno codes are the negated errno values.
  if (averror > -4096) {
    OSErr status = OSErrFromErrno(-averror);
    if (status != noErr) return status;
  }
  return ioErr;
}

std::string AVErrorText(int averror) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(averror, text, sizeof text);
  return text;
}

#include "platform/media/MovieFileTypes.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <vector>

namespace {

// What this program writes: FFmpeg reads them all, .amc by its contents.
constexpr const char* kOwnOutputs[] = {"mp4", "3gp", "3g2", "amc"};
constexpr const char* kCommonMovieTypes[] = {"mov", "qt",   "avi", "m4v", "mkv", "webm", "mpg", "mpeg", "m1v",
                                             "m2v", "vob",  "ts",  "m2ts", "mts", "wmv", "asf", "flv", "f4v",
                                             "ogv", "dv",   "mxf", "nut", "rm",  "rmvb", "y4m", "divx"};

// Whether a demuxer here claims files of this extension: a probe of the name alone, no contents.
bool hasDemuxerFor(const char* extension) {
  const std::string name = std::string("movie.") + extension;
  std::vector<unsigned char> padding(AVPROBE_PADDING_SIZE, 0);
  AVProbeData probe{};
  probe.filename = name.c_str();
  probe.buf = padding.data();
  probe.buf_size = 0;
  int score = 0;
  return av_probe_input_format2(&probe, 1, &score) != nullptr && score > 0;
}

}  // namespace

std::vector<std::string> ReadableMovieFileTypes() {
  std::vector<std::string> types(std::begin(kOwnOutputs), std::end(kOwnOutputs));
  for (const char* extension : kCommonMovieTypes) {
    if (hasDemuxerFor(extension)) types.emplace_back(extension);
  }
  return types;
}

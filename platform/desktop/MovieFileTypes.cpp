#include "platform/desktop/MovieFileTypes.h"

#include "platform/OutputFormats.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

struct MovieType {
  const char* extension;
  const char* demuxer;  // FFmpeg's name for the reader of that container
};

// Every format this program writes is of the MPEG-4 family, which FFmpeg reads as "mov".
constexpr const char* kOwnOutputsDemuxer = "mov";

// The common kinds of movie file besides the program's own outputs; a sound file is a movie of
// sound alone, which converts as well as any other.
constexpr MovieType kMovieTypes[] = {
    {"mov", "mov"},    {"qt", "mov"},       {"m4v", "mov"},    {"avi", "avi"},     {"divx", "avi"},
    {"mkv", "matroska"},
    {"webm", "matroska"}, {"mpg", "mpeg"},  {"mpeg", "mpeg"},  {"vob", "mpeg"},    {"m1v", "mpegvideo"},
    {"m2v", "mpegvideo"}, {"ts", "mpegts"}, {"m2ts", "mpegts"}, {"mts", "mpegts"}, {"wmv", "asf"},
    {"asf", "asf"},    {"flv", "flv"},      {"f4v", "mov"},    {"ogv", "ogg"},     {"dv", "dv"},
    {"mxf", "mxf"},    {"nut", "nut"},      {"rm", "rm"},      {"rmvb", "rm"},     {"y4m", "yuv4mpegpipe"},
    {"ogg", "ogg"},    {"oga", "ogg"},      {"opus", "ogg"},   {"m4a", "mov"},     {"wav", "wav"},
    {"mp3", "mp3"},    {"flac", "flac"},    {"aac", "aac"},    {"amr", "amr"},     {"wma", "asf"},
    {"aif", "aiff"},   {"aiff", "aiff"}};

}  // namespace

std::vector<std::string> ReadableMovieFileTypes() {
  std::vector<std::string> types;
  if (av_find_input_format(kOwnOutputsDemuxer) != nullptr) {
    for (const OutputFormat& format : kOutputFormats) types.emplace_back(format.extension + 1);  // without the dot
  }
  for (const MovieType& type : kMovieTypes) {
    if (av_find_input_format(type.demuxer) != nullptr) types.emplace_back(type.extension);
  }
  return types;
}

#include "platform/desktop/MovieFileTypes.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

struct MovieType {
  const char* extension;
  const char* demuxer;  // FFmpeg's name for the reader of that container
};

// The program's own outputs first (".amc" is read as the MPEG-4 family it is), then the common
// kinds of movie file.
constexpr MovieType kMovieTypes[] = {
    {"mp4", "mov"},    {"3gp", "mov"},      {"3g2", "mov"},    {"amc", "mov"},     {"mov", "mov"},
    {"qt", "mov"},     {"m4v", "mov"},      {"avi", "avi"},    {"divx", "avi"},    {"mkv", "matroska"},
    {"webm", "matroska"}, {"mpg", "mpeg"},  {"mpeg", "mpeg"},  {"vob", "mpeg"},    {"m1v", "mpegvideo"},
    {"m2v", "mpegvideo"}, {"ts", "mpegts"}, {"m2ts", "mpegts"}, {"mts", "mpegts"}, {"wmv", "asf"},
    {"asf", "asf"},    {"flv", "flv"},      {"f4v", "mov"},    {"ogv", "ogg"},     {"dv", "dv"},
    {"mxf", "mxf"},    {"nut", "nut"},      {"rm", "rm"},      {"rmvb", "rm"},     {"y4m", "yuv4mpegpipe"}};

}  // namespace

std::vector<std::string> ReadableMovieFileTypes() {
  std::vector<std::string> types;
  for (const MovieType& type : kMovieTypes) {
    if (av_find_input_format(type.demuxer) != nullptr) types.emplace_back(type.extension);
  }
  return types;
}

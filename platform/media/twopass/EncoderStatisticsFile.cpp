#include "platform/media/twopass/EncoderStatisticsFile.h"

#include <unistd.h>

#include <atomic>

EncoderStatisticsFile::EncoderStatisticsFile(const std::string& outputPath) {
  static std::atomic<unsigned> counter = 0;
  size_t slash = outputPath.rfind('/');
  std::string folder = slash == std::string::npos ? "" : outputPath.substr(0, slash + 1);
  path_ = folder + ".pocketmovie-statistics." + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

EncoderStatisticsFile::~EncoderStatisticsFile() {
  // x264 writes each under a ".temp" name first and renames it once complete.
  for (const char* suffix : {"", ".temp", ".mbtree", ".mbtree.temp"}) ::unlink((path_ + suffix).c_str());
}

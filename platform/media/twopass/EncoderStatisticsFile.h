// A file in which an encoder keeps its first pass's statistics for the second (x264 writes them
// to a file, and a second file beside it for its macroblock tree): hidden beside the output and
// removed, with every file the encoder makes from its name, when this goes.
#pragma once

#include <string>

class EncoderStatisticsFile {
 public:
  explicit EncoderStatisticsFile(const std::string& outputPath);
  ~EncoderStatisticsFile();
  EncoderStatisticsFile(const EncoderStatisticsFile&) = delete;
  EncoderStatisticsFile& operator=(const EncoderStatisticsFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

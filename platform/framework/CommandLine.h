// The program's arguments: a movie to convert, and options for that one run.
#pragma once

#include <optional>
#include <string>

namespace framework {

struct RunOptions {
  bool help = false;
  bool version = false;
  bool headless = false;
  std::optional<long> formatTag;  // the output-format menu's tag
  std::optional<long> sizeTag;    // the export-size menu's tag; 0 with customSize
  std::optional<double> customWidth;
  std::optional<double> customHeight;
  std::optional<double> framesPerSecond;
  std::optional<int> kilobytesPerSecond;
  std::string movie;
  std::string error;  // what is wrong with the arguments; empty when they are usable
};

RunOptions ParseCommandLine(int argc, const char* const* argv);
std::string UsageText();  // in the user's language

}  // namespace framework

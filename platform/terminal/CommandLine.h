// The program's arguments: the movies to convert, and options for that run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"

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
  std::optional<long> fitKilobytes;  // the most the output file may take; 0: no limit
  bool baseline = false;             // ".mp4" in H.264's Baseline profile, for older phones
  bool verbose = false;              // say what confinement of the conversions the system cannot give
  std::vector<std::string> movies;  // files and folders, as given
  // The batch's own options; they make no difference to how each movie is converted.
  std::optional<int> jobs;
  std::string outputFolder;
  bool skipExisting = false;
  bool recursive = false;
  // The options above that shape each conversion, as "--name=value", to hand to a run per movie.
  std::vector<std::string> conversionArguments;
  Failure error;       // what is wrong with the arguments; none when they are usable
  std::string notice;  // a value that is written otherwise than given, said before the run

  // One movie converted beside itself, exactly as a launch has always converted one.
  bool singleMovie() const { return movies.size() == 1 && outputFolder.empty() && !skipExisting && !recursive; }
};

RunOptions ParseCommandLine(int argc, const char* const* argv);
// The --format name of an output-format tag ("3gp" for 1); a tag no item carries reads as 0.
const char* FormatName(long formatTag);
std::string UsageText();  // in the user's language

}  // namespace framework

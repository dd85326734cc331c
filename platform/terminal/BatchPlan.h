// What a launch with several movies converts and where each output goes.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop/MovieFinder.h"

namespace framework {

struct PlannedOutput {
  std::string source;
  std::string output;   // the final name; nothing else of the run is ever under it
  bool renamed = false;  // " (N)" was put in because an earlier movie of the batch has the name
};

// Each source's output: beside it, or in outputFolder when one is given, with the extension
// appended; a name an earlier movie of the batch already takes gets " (2)", " (3)"... before the
// extension.
std::vector<PlannedOutput> PlanOutputs(const std::vector<std::string>& sources, const std::string& outputFolder,
                                       const std::string& extension);

// An output that a run may leave alone: it opens as a movie and lasts as long as its source (where
// the source's length can be told before it is read).
bool IsCompleteMovie(const std::string& path, const std::string& source);

}  // namespace framework

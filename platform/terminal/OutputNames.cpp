// Where each movie of a batch goes, and whether an output already there may be left alone.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/files/Files.h"
#include "platform/movies/Movies.h"
#include "platform/terminal/BatchPlan.h"

namespace fs = std::filesystem;

namespace framework {

std::vector<PlannedOutput> PlanOutputs(const std::vector<std::string>& sources, const std::string& outputFolder,
                                       const std::string& extension) {
  std::vector<PlannedOutput> planned;
  std::set<fs::path> taken;
  for (const std::string& source : sources) {
    const fs::path sourcePath(source);
    const fs::path folder = outputFolder.empty() ? sourcePath.parent_path() : fs::path(outputFolder);
    const std::string name = sourcePath.filename().string();
    PlannedOutput plan{source, (folder / (name + extension)).string(), false};
    for (int number = 2; !taken.insert(fs::absolute(plan.output).lexically_normal()).second; ++number) {
      plan.output = (folder / (name + " (" + std::to_string(number) + ")" + extension)).string();
      plan.renamed = true;
    }
    planned.push_back(plan);
  }
  return planned;
}

namespace {

// How much shorter than its source a complete output may be: its last frame may end a little early.
constexpr double kCompleteLengthSlack = 0.25;

// The length of the movie in the file, in seconds: 0 when it is no movie or has no length, and
// kUnknownLength when its length cannot be told before it is read.
constexpr double kUnknownLength = -1;

double MovieSeconds(const std::string& path) {
  FSSpec spec{};
  SInt16 file = 0;
  if (FSMakeFSSpecFromPath(path.c_str(), &spec) != noErr || OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return 0;
  Movie movie = nullptr;
  double seconds = 0;
  if (NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr) == noErr && movie) {
    const TimeValue duration = GetMovieDuration(movie);
    const TimeScale scale = GetMovieTimeScale(movie);
    seconds = duration == INT32_MAX ? kUnknownLength : scale > 0 ? double(duration) / scale : 0;
  }
  if (movie) DisposeMovie(movie);
  CloseMovieFile(file);
  return seconds;
}

}  // namespace

bool IsCompleteMovie(const std::string& path, const std::string& source) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || fs::file_size(path, error) == 0) return false;
  const double seconds = MovieSeconds(path);
  if (seconds <= 0) return false;
  // An aborted run keeps the part it wrote under the output's name: only as long as its source is
  // it complete. A source read past its header's length gives a longer one.
  const double sourceSeconds = MovieSeconds(source);
  return sourceSeconds == kUnknownLength || seconds >= sourceSeconds - kCompleteLengthSlack;
}

}  // namespace framework

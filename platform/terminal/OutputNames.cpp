// Where each movie of a batch goes, and whether an output already there may be left alone.
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

bool IsCompleteMovie(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || fs::file_size(path, error) == 0) return false;
  FSSpec spec{};
  SInt16 file = 0;
  if (FSMakeFSSpecFromPath(path.c_str(), &spec) != noErr || OpenMovieFile(&spec, &file, fsRdPerm) != noErr) {
    return false;
  }
  Movie movie = nullptr;
  const bool complete =
      NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr) == noErr && movie &&
      GetMovieDuration(movie) > 0;
  if (movie) DisposeMovie(movie);
  CloseMovieFile(file);
  return complete;
}

}  // namespace framework

// Folders searched for movies by the files' extensions.
#include "platform/desktop/MovieFinder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/OutputFormats.h"
#include "platform/desktop/MovieFileTypes.h"

namespace fs = std::filesystem;

namespace framework {

namespace {

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The same kinds of movie the open panel lists: those this program can read.
bool hasMovieExtension(const fs::path& name) {
  static const std::set<std::string> kMovieExtensions = [] {
    std::set<std::string> extensions;
    for (const std::string& type : ReadableMovieFileTypes()) extensions.insert("." + type);
    return extensions;
  }();
  return kMovieExtensions.count(lowered(name.extension().string())) > 0;
}

// "clip.mov.3gp" and "clip.mov (2).3gp" are what this program writes: converting them again
// would only make "clip.mov.3gp.3gp" on every run over the same folder.
bool isOwnOutput(const fs::path& name) {
  if (!OutputFormatOfName(name.string())) return false;
  std::string stem = name.stem().string();
  const size_t open = stem.rfind(" (");
  if (open != std::string::npos && stem.back() == ')' && open + 3 < stem.size() &&
      std::all_of(stem.begin() + long(open) + 2, stem.end() - 1, [](unsigned char c) { return std::isdigit(c); })) {
    stem.erase(open);
  }
  return hasMovieExtension(stem);
}

bool isHidden(const fs::path& path) { return path.filename().string().front() == '.'; }

// A folder is known by its device and inode: a link back to a folder already searched (a loop,
// or one of two ways to the same folder) is not followed again.
using FolderIdentity = std::pair<dev_t, ino_t>;

bool firstVisit(const fs::path& folder, std::set<FolderIdentity>& visited) {
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && visited.insert({info.st_dev, info.st_ino}).second;
}

void searchFolder(const fs::path& folder, bool recursive, std::set<FolderIdentity>& visited,
                  std::vector<std::string>& found) {
  if (!firstVisit(folder, visited)) return;
  std::error_code error;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  std::sort(entries.begin(), entries.end());
  for (const fs::path& entry : entries) {
    if (isHidden(entry)) continue;
    if (fs::is_directory(entry, error)) {
      if (recursive) searchFolder(entry, recursive, visited, found);
    } else if (fs::is_regular_file(entry, error) && hasMovieExtension(entry.filename()) &&
               !isOwnOutput(entry.filename())) {
      found.push_back(entry.string());
    }
  }
}

}  // namespace

std::vector<std::string> FindMovies(const std::vector<std::string>& arguments, bool recursive) {
  std::vector<std::string> candidates;
  std::set<FolderIdentity> visited;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (fs::is_directory(argument, error)) {
      searchFolder(argument, recursive, visited, candidates);
    } else {
      candidates.push_back(argument);
    }
  }
  std::vector<std::string> movies;
  std::set<std::string> seen;
  for (const std::string& movie : candidates) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(movie), error);
    if (seen.insert(error ? movie : canonical.string()).second) movies.push_back(movie);
  }
  return movies;
}

}  // namespace framework

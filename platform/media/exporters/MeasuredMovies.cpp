#include "platform/media/exporters/MeasuredMovies.h"

#include <sys/stat.h>

#include <deque>
#include <mutex>

namespace {

// A batch measures each movie once before its export: a few are enough.
constexpr std::size_t kKeptMovies = 4;

struct Measured {
  std::string path;
  FileAsItIs file;
  MovieFacts facts;
};

std::mutex keptLock;
std::deque<Measured> kept;

}  // namespace

FileAsItIs LookAtFile(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return {true, status.st_dev, status.st_ino, status.st_size, status.st_ctim.tv_sec, status.st_ctim.tv_nsec};
}

bool FindMeasuredMovie(const std::string& path, const FileAsItIs& now, MovieFacts* facts) {
  if (!now.known) return false;
  std::lock_guard hold(keptLock);
  for (const Measured& movie : kept) {
    if (movie.path != path || !(movie.file == now)) continue;
    *facts = movie.facts;
    return true;
  }
  return false;
}

void KeepMeasuredMovie(const std::string& path, const FileAsItIs& before, const MovieFacts& facts) {
  if (!before.known || !(LookAtFile(path) == before)) return;
  std::lock_guard hold(keptLock);
  std::erase_if(kept, [&](const Measured& movie) { return movie.path == path; });
  kept.push_back({path, before, facts});
  if (kept.size() > kKeptMovies) kept.pop_front();
}

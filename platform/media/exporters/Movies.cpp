#include "platform/movies/Movies.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>

extern "C" {
#include <libavutil/cpu.h>
}

#include "platform/media/exporters/BuiltInExporters.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/MeasuredMovies.h"
#include "platform/media/stages/MovieRecord.h"

namespace {

thread_local OSErr lastMoviesError = noErr;
thread_local Failure lastOpenFailure;

constexpr int kLargestHeapBlock = 128 * 1024;  // glibc's own starting threshold

OSErr Report(OSErr status) {
  lastMoviesError = status;
  return status;
}

// Open movie files by reference number. A movie file is only a name here: the movie itself
// reopens the file for each export, so nothing stays open between calls.
class MovieFileTable {
 public:
  OSErr add(std::string path, SInt16* refNum) {
    std::lock_guard lock(mutex_);
    for (int tries = 0; tries < SHRT_MAX; ++tries) {
      next_ = next_ >= SHRT_MAX ? 1 : SInt16(next_ + 1);
      if (paths_.emplace(next_, path).second) {
        *refNum = next_;
        return noErr;
      }
    }
    return tmfoErr;
  }
  bool find(SInt16 refNum, std::string* path) {
    std::lock_guard lock(mutex_);
    auto found = paths_.find(refNum);
    if (found == paths_.end()) return false;
    *path = found->second;
    return true;
  }
  bool remove(SInt16 refNum) {
    std::lock_guard lock(mutex_);
    return paths_.erase(refNum) > 0;
  }

 private:
  std::mutex mutex_;
  std::map<SInt16, std::string> paths_;
  SInt16 next_ = 0;
};

MovieFileTable& OpenMovieFiles() {
  static MovieFileTable table;
  return table;
}

// What is worth telling about a file that gave no movie; any other reason reads as "no movie".
bool IsToldOnOpen(FailureCode code) {
  return code == FailureCode::singlePicture || code == FailureCode::decoderCrashed ||
         code == FailureCode::programNotFound || code == FailureCode::cannotStartConversion;
}

SInt16 ClampToShort(int value) { return SInt16(std::clamp(value, 0, int(SHRT_MAX))); }

}  // namespace

OSErr EnterMovies() {
  // Pictures come and go in blocks of megabytes, from several threads. glibc raises its mmap
  // threshold past the first block freed and from then on keeps freed pictures in per-thread
  // heaps; a fixed threshold hands each one back to the system, some 15 MB less at the peak.
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  // A batch converting several movies at once gives each run its share of the cores, so that the
  // decoders' threads together do not outnumber them (less switching, fewer pictures held).
  if (const char* share = std::getenv("POCKETMOVIE_CORES")) {
    const int cores = std::atoi(share);
    if (cores >= 1 && cores <= 1024) av_cpu_force_count(cores);
  }
  RegisterBuiltInMovieExporters();
  return Report(noErr);
}

void ExitMovies() { lastMoviesError = noErr; }

OSErr GetMoviesError() { return lastMoviesError; }

Failure GetMovieOpenFailure() { return lastOpenFailure; }

OSErr OpenMovieFile(const FSSpec* fileSpec, SInt16* resRefNum, SInt8 permission) {
  if (!fileSpec || !resRefNum) return Report(paramErr);
  if (permission != fsCurPerm && permission != fsRdPerm) return Report(permErr);  // movies are only read
  std::string path;
  OSErr status = FSpGetPOSIXPath(fileSpec, &path);
  if (status != noErr) return Report(status);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Report(OSErrFromErrno(errno));
  ::close(fd);
  return Report(OpenMovieFiles().add(std::move(path), resRefNum));
}

OSErr CloseMovieFile(SInt16 resRefNum) { return Report(OpenMovieFiles().remove(resRefNum) ? noErr : rfNumErr); }

OSErr NewMovieFromFile(Movie* theMovie, SInt16 resRefNum, SInt16* resId, UInt8* resName, SInt16 newMovieFlags,
                       Boolean* dataRefWasChanged) {
  if (!theMovie) return Report(paramErr);
  *theMovie = nullptr;
  if (dataRefWasChanged) *dataRefWasChanged = 0;
  if (resName) resName[0] = 0;
  std::string path;
  if (!OpenMovieFiles().find(resRefNum, &path)) return Report(rfNumErr);
  if (resId && *resId != 0) return Report(noMovieFound);  // a file holds one movie, the first

  // Measured by a worker of its own: a file chosen from anywhere is read only under confinement.
  MovieFacts facts;
  lastOpenFailure = {};
  const FileAsItIs before = LookAtFile(path);
  if (!FindMeasuredMovie(path, before, &facts)) {
    Failure failure;
    OSErr status = MeasureMovieInWorker(path, &facts, &failure);
    lastOpenFailure = IsToldOnOpen(failure.code) ? failure : Failure{};
    if (status != noErr) return Report(status);
    KeepMeasuredMovie(path, before, facts);
  }
  *theMovie = new MovieRecord{path, facts};
  return Report(noErr);
}

void GetMovieNaturalBoundsRect(Movie theMovie, Rect* naturalBounds) {
  if (!naturalBounds) return;
  *naturalBounds = Rect{0, 0, 0, 0};
  if (!theMovie) {
    Report(invalidMovie);
    return;
  }
  naturalBounds->bottom = ClampToShort(theMovie->facts.naturalHeight);
  naturalBounds->right = ClampToShort(theMovie->facts.naturalWidth);
  Report(noErr);
}

TimeValue GetMovieDuration(Movie theMovie) {
  if (!theMovie) {
    Report(invalidMovie);
    return 0;
  }
  Report(noErr);
  if (theMovie->facts.durationSeconds <= 0) return kUnknownMovieDuration;
  double units = std::round(theMovie->facts.durationSeconds * kMovieTimeScale);
  return TimeValue(std::clamp(units, 0.0, double(INT32_MAX)));
}

TimeScale GetMovieTimeScale(Movie theMovie) {
  Report(theMovie ? noErr : invalidMovie);
  return theMovie ? kMovieTimeScale : 0;
}

void DisposeMovie(Movie theMovie) {
  delete theMovie;
  Report(noErr);
}

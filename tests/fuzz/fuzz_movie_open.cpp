// Any file opened as a source movie and measured.
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Named as most sources are; FFmpeg still goes by the content first.
  const FSSpec file = fuzz::WriteScratchFile("source.mov", data, size);
  SInt16 refNum = 0, resId = 0;
  Require(OpenMovieFile(&file, &refNum, fsRdPerm) == noErr, "an existing file opens as a movie file");
  Movie movie = nullptr;
  const OSErr status = NewMovieFromFile(&movie, refNum, &resId, nullptr, newMovieActive, nullptr);
  Require((status == noErr) == (movie != nullptr), "a movie exactly when the status says so");
  Require(status == GetMoviesError(), "the movie error is the status returned");
  if (size == 0) Require(status != noErr, "an empty file is no movie");
  if (movie != nullptr) {
    Rect bounds{-1, -1, -1, -1};
    GetMovieNaturalBoundsRect(movie, &bounds);
    Require(bounds.top == 0 && bounds.left == 0 && bounds.right >= 0 && bounds.bottom >= 0,
            "the natural bounds start at the origin");
    Require(GetMovieDuration(movie) >= 0 && GetMovieTimeScale(movie) > 0, "a duration and a time scale");
    DisposeMovie(movie);
  }
  Require(CloseMovieFile(refNum) == noErr, "the movie file closes");
  return 0;
}

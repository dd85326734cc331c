// Source movies opened and measured through the movie calls.
#include <gtest/gtest.h>

#include "platform/movies/Movies.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

// Status of opening the file's movie; the movie, when there is one, is in *movie.
OSErr OpenMovie(const std::string& path, Movie* movie) {
  FSSpec spec;
  SInt16 refNum = 0;
  OSErr status = FSMakeFSSpecFromPath(path.c_str(), &spec);
  if (status == noErr) status = OpenMovieFile(&spec, &refNum, fsRdPerm);
  if (status != noErr) return status;
  status = NewMovieFromFile(movie, refNum, nullptr, nullptr, newMovieActive, nullptr);
  EXPECT_EQ(GetMoviesError(), status);
  EXPECT_EQ(CloseMovieFile(refNum), noErr);
  EXPECT_NE(CloseMovieFile(refNum), noErr);  // closed once only
  return status;
}

TEST(MoviesOpen, MeasuresCommonKinds) {
  ASSERT_EQ(EnterMovies(), noErr);
  TempDir folder;
  struct Case {
    const char* name;
    SampleMovie sample;
    int width, height;  // as seen: turned upright, pixels made square
  };
  const Case cases[] = {
      {"mpeg4.avi", SampleMovie().in("avi").video("mpeg4").audio("libmp3lame"), 320, 240},
      {"vp9.mkv", SampleMovie().in("mkv").video("libvpx-vp9").audio("ac3").size(96, 64).lasting(1), 96, 64},
      {"cinepak.mov", SampleMovie().in("mov").video("cinepak").audio("pcm_s16le").size(96, 64).lasting(1), 96, 64},
      {"turned.mp4", SampleMovie().turned(90), 240, 320},
      {"wide-pixels.mp4", SampleMovie().audio("").pixels("2/1"), 640, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Movie movie = nullptr;
    ASSERT_EQ(OpenMovie(MakeSampleMovie(folder.path(), c.name, c.sample), &movie), noErr);
    Rect bounds;
    GetMovieNaturalBoundsRect(movie, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, c.width);
    EXPECT_EQ(bounds.bottom - bounds.top, c.height);
    EXPECT_EQ(GetMovieTimeScale(movie), 600);
    EXPECT_NEAR(GetMovieDuration(movie), c.sample.seconds * 600, 600 / 10);
    DisposeMovie(movie);
  }
  ExitMovies();
}

}  // namespace

// Source movies opened and measured through the movie calls.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/movies/Movies.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

class MoviesOpen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(EnterMovies(), noErr); }
  void TearDown() override { ExitMovies(); }

  // Status of opening the file's movie; the movie, when there is one, is in *movie.
  OSErr openMovie(const std::string& path, Movie* movie) {
    FSSpec spec;
    OSErr status = FSMakeFSSpecFromPath(path.c_str(), &spec);
    SInt16 refNum = 0;
    if (status == noErr) status = OpenMovieFile(&spec, &refNum, fsRdPerm);
    if (status != noErr) return status;
    SInt16 resId = 0;
    status = NewMovieFromFile(movie, refNum, &resId, nullptr, newMovieActive, nullptr);
    EXPECT_EQ(GetMoviesError(), status);
    EXPECT_EQ(CloseMovieFile(refNum), noErr);
    EXPECT_NE(CloseMovieFile(refNum), noErr);  // closed once only
    return status;
  }

  TempDir folder;
};

struct Bounds {
  int width, height;
};

Bounds NaturalBounds(Movie movie) {
  Rect bounds;
  GetMovieNaturalBoundsRect(movie, &bounds);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

TEST_F(MoviesOpen, MeasuresMoviesOfEveryCommonKind) {
  struct Case {
    const char* name;
    SampleMovie sample;
    Bounds expected;
  };
  const Case cases[] = {
      {"h264.mov", SampleMovie().in("mov"), {320, 240}},
      {"mpeg4.avi", SampleMovie().in("avi").video("mpeg4").audio("libmp3lame"), {320, 240}},
      {"mjpeg.avi", SampleMovie().in("avi").video("mjpeg").audio("pcm_s16le").size(160, 120), {160, 120}},
      {"vp9.mkv", SampleMovie().in("mkv").video("libvpx-vp9").audio("ac3").size(96, 64).lasting(1), {96, 64}},
      {"cinepak.mov", SampleMovie().in("mov").video("cinepak").audio("mp2").size(96, 64).lasting(1), {96, 64}},
      {"turned.mp4", SampleMovie().turned(90), {240, 320}},
      {"wide-pixels.mp4", SampleMovie().audio("").pixels("2/1"), {640, 240}},
      {"sound.m4a", SampleMovie().in("m4a").video(""), {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = MakeSampleMovie(folder.path(), c.name, c.sample);
    ASSERT_FALSE(path.empty());
    Movie movie = nullptr;
    ASSERT_EQ(openMovie(path, &movie), noErr);
    ASSERT_NE(movie, nullptr);
    Bounds bounds = NaturalBounds(movie);
    EXPECT_EQ(bounds.width, c.expected.width);
    EXPECT_EQ(bounds.height, c.expected.height);
    EXPECT_EQ(GetMovieTimeScale(movie), 600);
    EXPECT_NEAR(GetMovieDuration(movie), c.sample.seconds * 600, 600 / 10);
    DisposeMovie(movie);
  }
}

TEST_F(MoviesOpen, RefusesWhatIsNotAWholeMovie) {
  std::ofstream(folder.file("empty.mov"));
  std::ofstream(folder.file("text.mov")) << "a letter, not a movie\n";
  // With its index first, a cut-short movie still opens unless its index is checked against its end.
  std::string whole = MakeSampleMovie(folder.path(), "whole.mov", SampleMovie().in("mov"));
  ASSERT_FALSE(whole.empty());
  ASSERT_EQ(std::system(("ffmpeg -nostdin -loglevel error -i " + whole + " -c copy -movflags faststart " +
                         folder.file("indexed.mov") + " && head -c 20000 " + folder.file("indexed.mov") + " > " +
                         folder.file("cut-indexed.mov") + " && head -c 20000 " + whole + " > " + folder.file("cut.mov"))
                            .c_str()),
            0);

  for (const char* name : {"empty.mov", "text.mov", "cut.mov", "cut-indexed.mov"}) {
    SCOPED_TRACE(name);
    Movie movie = reinterpret_cast<Movie>(1);
    OSErr status = openMovie(folder.file(name), &movie);
    EXPECT_NE(status, noErr);
    EXPECT_EQ(movie, nullptr);
  }
  FSSpec missing;
  SInt16 refNum = 0;
  if (FSMakeFSSpecFromPath(folder.file("missing.mov").c_str(), &missing) == noErr) {
    EXPECT_EQ(OpenMovieFile(&missing, &refNum, fsRdPerm), fnfErr);
  }
  Movie movie = nullptr;
  EXPECT_EQ(NewMovieFromFile(&movie, 12345, nullptr, nullptr, newMovieActive, nullptr), rfNumErr);
  EXPECT_EQ(movie, nullptr);
}

}  // namespace

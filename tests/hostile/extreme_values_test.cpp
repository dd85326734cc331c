// Preferences and run options at and beyond their limits.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace {

// A clean run that converted, with a picture of a sane size, or of the size given.
void ExpectPlayableAtMost4096(const ProgramRun& run, const std::string& output, int width = 0, int height = 0) {
  ExpectCleanOutcome(run, output);
  ASSERT_EQ(run.status, 0) << run.errors;
  const ProbedMovie movie = ProbeMovie(output);
  const ProbedStream* video = movie.stream("video");
  ASSERT_NE(video, nullptr) << output;
  EXPECT_TRUE(video->width >= 16 && video->width <= 4096 && video->height >= 16 && video->height <= 4096)
      << video->width << "x" << video->height;
  if (width) {
    EXPECT_EQ(video->width, width);
    EXPECT_EQ(video->height, height);
  }
  EXPECT_GE(video->frames, 1);
  std::filesystem::remove(output);
}

}  // namespace

TEST(ExtremeValues, StoredPreferencesNeverBreakARun) {
  ProgramSandbox sandbox;
  // Short, since the largest values ask for the largest picture, which must still fit the memory bound.
  const std::string movie = MakeSampleMovie(sandbox.folder().path(), "clip.mov", SampleMovie().in("mov").lasting(0.5));
  ASSERT_FALSE(movie.empty());
  for (const std::string value : {"-1", "1", "-2147483648", "2147483647", "99999999999999999999", "7.5", "text",
                                  "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x12)"}) {
    SCOPED_TRACE("every preference " + value);
    std::string preferences = "[General]\n";
    for (const char* key : {"DataRate", "FrameRate", "SizeX", "SizeY", "SizeIndex", "3GPP"}) {
      preferences += std::string(key) + "=" + value + "\n";
    }
    sandbox.folder().write("config/pocketmovie/pocketmovie.conf", preferences);
    ExpectPlayableAtMost4096(sandbox.run({movie}), movie + (value == "1" ? ".3gp" : ".mp4"));
    // What the program wrote back reads as whole numbers.
    std::istringstream written(ReadWholeFile(sandbox.configFile()));
    for (std::string line; std::getline(written, line);) {
      if (line.empty() || line[0] == '[') continue;
      const std::string stored = line.substr(line.find('=') + 1);
      EXPECT_TRUE(!stored.empty() && stored.find_first_not_of("-0123456789") == std::string::npos) << line;
    }
  }
}

TEST(ExtremeValues, RunOptionsAtTheirLimitsMakeWhatTheySay) {
  ProgramSandbox sandbox;
  const std::string movie = MakeSampleMovie(sandbox.folder().path(), "clip.mov", SampleMovie().in("mov").lasting(1));
  ASSERT_FALSE(movie.empty());
  struct Case {
    std::vector<std::string> options;
    std::string extension;
    int width = 0, height = 0;  // the picture written; 0: any
    std::string notice;         // said before the run
  };
  // --fps 0.0001 is slower than one frame in the whole movie: it still shows a picture.
  for (const Case& limit :
       {Case{{"--size", "16x16", "--rate", "1"}, ".mp4", 16, 16, ""},
        Case{{"--size", "175x143", "--format", "3gp"}, ".3gp", 176, 144,
             "pocketmovie: size 175x143 is written as 176x144: pictures have even sides\n"},
        Case{{"--fps", "0.0001"}, ".mp4", 0, 0, ""},
        Case{{"--fps", "120", "--rate", "100000", "--format", "3g2"}, ".3g2", 0, 0, ""}}) {
    SCOPED_TRACE(limit.options[0] + " " + limit.options[1]);
    std::vector<std::string> arguments = limit.options;
    arguments.push_back(movie);
    ProgramRun run = sandbox.run(arguments);
    EXPECT_EQ(run.errors.substr(0, limit.notice.size()), limit.notice);
    run.errors.erase(0, limit.notice.size());
    ExpectPlayableAtMost4096(run, movie + limit.extension, limit.width, limit.height);
  }
}

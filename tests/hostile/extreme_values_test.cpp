// Preferences and run options at and beyond their limits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/hostile/CleanOutcome.h"
#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace {

const char* const kPreferenceKeys[] = {"DataRate", "FrameRate", "SizeX", "SizeY", "SizeIndex", "3GPP"};

// Whether each preference the program wrote back reads as a whole number.
bool PreferencesAreNumbers(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == '[' || equals == std::string::npos) continue;
    const std::string value = line.substr(equals + 1);
    if (value.empty() || value.find_first_not_of("-0123456789") != std::string::npos) return false;
  }
  return true;
}

void ExpectAPictureWithin(const std::string& output, int largestSide) {
  const ProbedMovie movie = ProbeMovie(output);
  const ProbedStream* video = movie.stream("video");
  ASSERT_NE(video, nullptr) << output;
  EXPECT_GE(video->width, 16);
  EXPECT_LE(video->width, largestSide);
  EXPECT_GE(video->height, 16);
  EXPECT_LE(video->height, largestSide);
  EXPECT_GE(video->frames, 1);
}

}  // namespace

TEST(ExtremeValues, StoredPreferencesNeverBreakARun) {
  ProgramSandbox sandbox;
  // Short, since the largest values ask for the largest picture.
  const std::string movie = ShortSampleMovie(sandbox.folder().path(), "clip.mov", 0.5);
  ASSERT_FALSE(movie.empty());
  // 2147483647 asks for the largest picture, which must still fit the memory bound.
  for (const std::string value : {"-1", "1", "-2147483648", "2147483647", "99999999999999999999", "7.5", "text",
                                  "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x12)"}) {
    SCOPED_TRACE("every preference " + value);
    std::vector<std::string> lines;
    for (const char* key : kPreferenceKeys) lines.push_back(std::string(key) + "=" + value);
    sandbox.writePreferences(lines);
    const ProgramRun run = sandbox.run({movie});
    const std::string output = movie + (value == "1" ? ".3gp" : ".mp4");
    ExpectCleanOutcome(run, output);
    EXPECT_EQ(run.status, 0);
    if (run.status == 0) ExpectAPictureWithin(output, 4096);
    EXPECT_TRUE(PreferencesAreNumbers(sandbox.configFile())) << ReadWholeFile(sandbox.configFile());
    std::filesystem::remove(output);
  }
}

TEST(ExtremeValues, RunOptionsAtTheirLimitsStillMakeAPlayableMovie) {
  ProgramSandbox sandbox;
  const std::string movie = ShortSampleMovie(sandbox.folder().path(), "clip.mov", 1);
  ASSERT_FALSE(movie.empty());
  const std::vector<std::vector<std::string>> limits = {
      {"--size", "1x1", "--rate", "1"},
      // Slower than one frame in the whole movie: it still shows a picture.
      {"--fps", "0.0001"},
      {"--fps", "120", "--rate", "100000", "--format", "3g2"},
  };
  for (const auto& options : limits) {
    SCOPED_TRACE(options[0] + " " + options[1]);
    std::vector<std::string> arguments = options;
    arguments.push_back(movie);
    const ProgramRun run = sandbox.run(arguments);
    const std::string output = movie + (options.size() > 4 ? ".3g2" : ".mp4");
    ExpectCleanOutcome(run, output);
    EXPECT_EQ(run.status, 0);
    if (run.status == 0) ExpectAPictureWithin(output, 4096);
    std::filesystem::remove(output);
  }
  for (const std::string bad : {"--size=0x0", "--size=-5x5", "--size=99999x2", "--fps=-1", "--fps=nan", "--fps=1e9",
                                "--rate=0", "--rate=abc", "--rate=1e12"}) {
    SCOPED_TRACE(bad);
    const size_t equals = bad.find('=');
    const ProgramRun run = sandbox.run({bad.substr(0, equals), bad.substr(equals + 1), movie});
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(movie + ".mp4"));
  }
}

// Preferences and run options at and beyond their limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace {

// A clean run that converted, with a picture of a sane size, or of the size and profile given.
void ExpectPlayableAtMost4096(const ProgramRun& run, const std::string& output, int width = 0, int height = 0,
                              const std::string& profile = "") {
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
  EXPECT_TRUE(profile.empty() || video->profile == profile) << video->profile;
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
    std::string profile;        // the video's; empty: any
  };
  // --fps 0.0001 is slower than one frame in the whole movie: it still shows a picture.
  for (const Case& limit :
       {Case{{"--size", "16x16", "--rate", "1"}, ".mp4", 16, 16, ""},
        Case{{"--size", "175x143", "--format", "3gp"}, ".3gp", 176, 144,
             "pocketmovie: size 175x143 is written as 176x144: pictures have even sides\n"},
        Case{{"--fps", "0.0001"}, ".mp4", 0, 0, "", "High"},
        Case{{"--baseline", "--format", "mp4"}, ".mp4", 0, 0, "", "Constrained Baseline"},
        Case{{"--fps", "120", "--rate", "100000", "--format", "3g2"}, ".3g2", 0, 0, ""}}) {
    SCOPED_TRACE(limit.options[0] + " " + limit.options[1]);
    std::vector<std::string> arguments = limit.options;
    arguments.push_back(movie);
    ProgramRun run = sandbox.run(arguments);
    EXPECT_EQ(run.errors.substr(0, limit.notice.size()), limit.notice);
    run.errors.erase(0, limit.notice.size());
    ExpectPlayableAtMost4096(run, movie + limit.extension, limit.width, limit.height, limit.profile);
  }
  // "For older phones" remembered from the window gives Baseline as --baseline does.
  sandbox.folder().write("config/pocketmovie/pocketmovie.conf", "[General]\n3GPP=0\nBaseline=1\n");
  ExpectPlayableAtMost4096(sandbox.run({movie}), movie + ".mp4", 0, 0, "Constrained Baseline");
}

// A size limit holds the whole file, sound and container included, between 90% and 100% of it
// when it binds; where even the lowest quality cannot fit, the run says how much it needs and
// writes nothing.
TEST(ExtremeValues, ASizeLimitIsFilledOrRefusedBeforeAnythingIsWritten) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  // MPEG-4 Visual with AMR-NB, and H.264 with AAC, whose encoder keeps its statistics in files.
  struct Case {
    int seconds;
    const char* limit;
    const char* format;
  };
  for (const Case& c : {Case{3, "20K", "3gp"}, Case{30, "150K", "3gp"}, Case{3, "40K", "mp4"}}) {
    const auto& [seconds, limit, format] = c;
    SCOPED_TRACE(std::to_string(seconds) + " s into " + limit + " " + format);
    const std::string movie =
        MakeSampleMovie(folder, std::to_string(seconds) + format + ".mov", SampleMovie().in("mov").lasting(seconds));
    ASSERT_FALSE(movie.empty());
    const std::string output = movie + "." + format;
    std::vector<std::string> arguments = {"--format", format, "--size", "qcif", "--fps", "12", "--rate", "8"};
    arguments.insert(arguments.end(), {"--fit", limit, movie});
    const ProgramRun run = sandbox.run(arguments);
    ExpectCleanOutcome(run, output);  // no working file left beside it
    ASSERT_EQ(run.status, 0) << run.errors;
    const double bytes = double(std::filesystem::file_size(output));
    const double limitBytes = std::stoi(limit) * 1024.0;
    EXPECT_LE(bytes, limitBytes);
    EXPECT_GE(bytes, 0.9 * limitBytes);
    const ProbedMovie written = ProbeMovie(output);
    ASSERT_TRUE(written.stream("video") && written.stream("audio"));
    EXPECT_NEAR(written.stream("video")->seconds, seconds, 0.2);
    EXPECT_NEAR(written.stream("video")->frameRate, 12, 0.01);

    if (seconds < 30) continue;  // the longer one is also refused a limit it cannot fit
    sandbox.folder().write("303gp.mov.3gp", "older bytes");
    arguments[arguments.size() - 2] = "40K";
    const ProgramRun refused = sandbox.run(arguments);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("pocketmovie: needs at least "), std::string::npos) << refused.errors;
    EXPECT_NE(refused.errors.find(" KB at the lowest quality; try a smaller picture or frame rate\n"),
              std::string::npos)
        << refused.errors;
    EXPECT_EQ(ReadWholeFile(output), "older bytes");
    EXPECT_TRUE(EntryNames(folder, ".").empty());

    // What it says it needs is the least: a limit one kilobyte (1024 bytes) smaller is refused in
    // the same words.
    const std::vector<std::string> refusal = ResultLines(refused.errors);
    ASSERT_EQ(refusal.size(), 1u);
    const int least = std::atoi(refusal[0].c_str() + refusal[0].find_first_of("0123456789"));
    ASSERT_GT(least, 41) << "too few kilobytes to tell a kilobyte of 1000 bytes from one of 1024";
    arguments[arguments.size() - 2] = std::to_string(least - 1) + "K";
    EXPECT_EQ(ResultLines(sandbox.run(arguments).errors), refusal);
  }
}

// A refusal made inside the export reads in the user's language, with its number.
TEST(ExtremeValues, ASizeLimitRefusalReadsInTheUsersLanguage) {
  ProgramSandbox sandbox;
  const std::string movie = sandbox.folder().file("clip.mov");
  std::filesystem::copy_file(POCKETMOVIE_SAMPLE, movie);
  const std::vector<std::string> english = ResultLines(sandbox.run({"--format", "3gp", "--fit", "1K", movie}).errors);
  const std::vector<std::string> german =
      ResultLines(sandbox.run({"--format", "3gp", "--fit", "1K", movie}, nullptr, "de").errors);
  ASSERT_EQ(english.size(), 1u);
  ASSERT_EQ(german.size(), 1u);
  const int least = std::atoi(english[0].c_str() + english[0].find_first_of("0123456789"));
  EXPECT_NE(german[0], english[0]);
  EXPECT_NE(german[0].find(" " + std::to_string(least) + " "), std::string::npos) << german[0];
}

// Preferences and run options at and beyond their limits.

#include "tests/hostile/ProgramRun.h"

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
  struct Case {
    std::vector<std::string> options;
    std::string extension;
    int width = 0, height = 0;  // the picture written; 0: any
    std::string notice;         // said before the run
    std::string profile;        // the video's; empty: any
  };
  // What the options set is for their run only: the preferences stay as a run without options left them.
  ExpectPlayableAtMost4096(sandbox.run({movie}), movie + ".mp4");
  const std::string preferences = ReadWholeFile(sandbox.configFile());
  // --fps 0.0001 is slower than one frame in the whole movie: it still shows a picture.
  for (const Case& limit :
       {Case{{"--size", "16x16", "--rate", "1"}, ".mp4", 16, 16, "", ""},
        Case{{"--size", "175x143", "--format", "3gp"}, ".3gp", 176, 144,
             "pocketmovie: size 175x143 is written as 176x144: pictures have even sides\n", ""},
        Case{{"--fps", "0.0001"}, ".mp4", 0, 0, "", "High"},
        Case{{"--baseline", "--format", "mp4"}, ".mp4", 0, 0, "", "Constrained Baseline"},
        Case{{"--fps", "120", "--rate", "100000", "--format", "3g2"}, ".3g2", 0, 0, "", ""}}) {
    SCOPED_TRACE(limit.options[0] + " " + limit.options[1]);
    std::vector<std::string> arguments = limit.options;
    arguments.push_back(movie);
    ProgramRun run = sandbox.run(arguments);
    EXPECT_EQ(run.errors.substr(0, limit.notice.size()), limit.notice);
    run.errors.erase(0, limit.notice.size());
    ExpectPlayableAtMost4096(run, movie + limit.extension, limit.width, limit.height, limit.profile);
    EXPECT_EQ(ReadWholeFile(sandbox.configFile()), preferences);
  }
  // "For older phones" remembered from the window gives Baseline as --baseline does.
  sandbox.folder().write("config/pocketmovie/pocketmovie.conf", "[General]\n3GPP=0\nBaseline=1\n");
  ExpectPlayableAtMost4096(sandbox.run({movie}), movie + ".mp4", 0, 0, "Constrained Baseline");
}

// A size limit holds the whole file, sound and container included, between 90% and 100% of it
// when it binds, and the sound gives way only where the picture needs the room.
TEST(ExtremeValues, ASizeLimitIsFilledWhereItBinds) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  // MPEG-4 Visual with AMR-NB, and H.264 with AAC, whose encoder keeps its statistics in files; a
  // plain picture at a high rate needs far less than its rate.
  const std::string plain = sandbox.folder().file("plain.mov");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i smptebars=size=320x240:rate=25:duration=10 -f lavfi -i sine=duration=10 "
                        "-c:v libx264 -qp 0 -g 1 -c:a aac '" + plain + "'"));
  for (const auto& [seconds, limit, format, isPlain] : {std::tuple{3, "20K", "3gp", false}, {30, "150K", "3gp", false},
                                                        {3, "40K", "mp4", false}, {10, "100K", "3gp", true}}) {
    SCOPED_TRACE(std::to_string(seconds) + " s into " + limit + " " + format);
    const std::string movie = isPlain ? plain
                                      : MakeSampleMovie(folder, std::to_string(seconds) + format + ".mov",
                                                        SampleMovie().in("mov").lasting(seconds));
    const std::string output = movie + "." + format;
    const ProgramRun run = sandbox.run({"--format", format, "--size", "qcif", "--fps", "12", "--rate",
                                        isPlain ? "64" : "8", "--fit", limit, movie});
    ExpectCleanOutcome(run, output);  // no working file left beside it
    ASSERT_EQ(run.status, 0) << run.errors;
    const double bytes = double(std::filesystem::file_size(output));
    const double limitBytes = std::stoi(limit) * 1024.0;
    EXPECT_LE(bytes, limitBytes);
    const ProbedMovie written = ProbeMovie(output);
    ASSERT_TRUE(written.stream("video") && written.stream("audio"));
    EXPECT_NEAR(written.stream("video")->seconds, seconds, 0.2);
    EXPECT_NEAR(written.stream("video")->frameRate, 12, 0.01);
    if (isPlain) {
      EXPECT_LT(bytes, 0.5 * limitBytes);
      EXPECT_GE(written.stream("audio")->bitRate, 12200) << "the sound gave way with room to spare";
    } else {
      EXPECT_GE(bytes, 0.9 * limitBytes);
    }
  }
}

// A limit that even the lowest quality overruns is refused, saying how much it needs, and nothing
// is written; as soon as the movie's length and the pictures coded so far make that certain, not
// after the whole decode. The limit it names fits, and so does every larger one, never above it.
// H.264's lowest quality is a floor under the picture's rate, not x264's grey blocks.
TEST(ExtremeValues, ASizeLimitIsRefusedOnlyBelowTheLeastItNames) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  int exactFigures = 0;
  // The least that each is refused at, in kilobytes.
  for (const auto& [format, sample, tooSmall] :
       {std::tuple{"3gp", SampleMovie().lasting(30), 40}, {"mp4", SampleMovie().lasting(10), 36},
        {"mp4", SampleMovie().video("").lasting(10), 10}, {"3g2", SampleMovie().lasting(10), 20}}) {
    const bool sound = sample.videoCodec.empty();
    const std::string name = std::string(format) + (sound ? "-sound" : "") + ".mov";
    SCOPED_TRACE(name);
    const std::string movie = MakeSampleMovie(folder, name, SampleMovie(sample).in("mov"));
    const std::string output = movie + "." + format;
    auto runAt = [&](int kilobytes) {
      return sandbox.run({"--format", format, "--size", "qcif", "--fps", "12", "--fit",
                          std::to_string(kilobytes) + "K", movie});
    };
    sandbox.folder().write(name + "." + format, "older bytes");
    // Refused until the limit is the least named: before the whole movie is read, what it may
    // need; once read, what it needs.
    int least = tooSmall;
    ProgramRun fitted = runAt(least), lastRefused;
    for (int refusals = 0; fitted.status != 0; ++refusals) {
      const std::vector<std::string> refusal = ResultLines(fitted.errors);
      ASSERT_EQ(refusal.size(), 1u);
      ASSERT_EQ(refusal[0].rfind("pocketmovie: needs at least ", 0), 0u) << refusal[0];
      EXPECT_EQ(ReadWholeFile(output), "older bytes");
      EXPECT_TRUE(EntryNames(folder, ".").empty());
      if (refusals == 0 && sample.seconds >= 30) {  // early in the decode, which takes a third of the bar
        EXPECT_LT(LastPercent(fitted.errors), 20) << fitted.errors;
      }
      const int named = std::atoi(refusal[0].c_str() + refusal[0].find_first_of("0123456789"));
      ASSERT_GT(named, least);
      ASSERT_LT(refusals, 3);
      lastRefused = fitted;
      fitted = runAt(least = named);
    }
    ASSERT_NE(least, tooSmall);
    // A figure named once the whole movie was read is the least: a kilobyte (1024 bytes) less is
    // refused in the same words.
    if (LastPercent(lastRefused.errors) > 50) {
      ++exactFigures;
      EXPECT_EQ(ResultLines(runAt(least - 1).errors), ResultLines(lastRefused.errors));
    }
    for (int more : {0, 1, 20}) {
      SCOPED_TRACE(std::to_string(least + more) + "K");
      const ProgramRun run = more ? runAt(least + more) : fitted;
      ExpectCleanOutcome(run, output);
      ASSERT_EQ(run.status, 0) << run.errors;
      EXPECT_LE(std::filesystem::file_size(output), (least + more) * 1024u);
      const ProbedMovie written = ProbeMovie(output);
      const ProbedStream* video = written.stream("video");
      if (std::string(format) == "mp4" && video) {
        EXPECT_GE(video->bitRate, 0.025 * 176 * 144 * 12) << "the picture went below the floor";
      }
    }
  }
  EXPECT_GT(exactFigures, 0) << "no figure was named once the whole movie was read";
}

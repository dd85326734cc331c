// Damaged, empty and strange sources from a Movies folder, and outputs that cannot be put beside them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <random>
#include <string>
#include <vector>

#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace {

uint32_t ReadU32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | uint8_t(bytes[at + i]);
  return value;
}

void WriteU32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = char(value >> (24 - 8 * i));
}

// The offsets of the boxes of that type, in file order: in the sample, the video track's come first.
std::vector<size_t> Boxes(const std::string& movie, const char* type) {
  std::vector<size_t> found;
  for (size_t at = movie.find(type, 4); at != std::string::npos; at = movie.find(type, at + 1)) found.push_back(at - 4);
  return found;
}

// The picture claims 65535 x 65535 in the track header and the sample description.
std::string HugePicture(std::string movie) {
  const size_t header = Boxes(movie, "tkhd").at(0), headerEnd = header + ReadU32(movie, header);
  WriteU32(&movie, headerEnd - 8, 65535u << 16);
  WriteU32(&movie, headerEnd - 4, 65535u << 16);
  WriteU32(&movie, Boxes(movie, "stsd").at(0) + 16 + 32, 0xffffffff);  // 16-bit width and height
  return movie;
}

// Every duration in the headers and every sample's length set to zero.
std::string ZeroDuration(std::string movie) {
  for (const auto& [type, offset] : {std::pair{"mvhd", 24}, {"mdhd", 24}, {"tkhd", 28}, {"elst", 16}}) {
    for (size_t at : Boxes(movie, type)) WriteU32(&movie, at + offset, 0);
  }
  for (size_t at : Boxes(movie, "stts")) {
    for (uint32_t i = 0, n = ReadU32(movie, at + 12); i < n; ++i) WriteU32(&movie, at + 20 + 8 * i, 0);
  }
  return movie;
}

// The video track keeps its description but lists no samples.
std::string NoVideoFrames(std::string movie) {
  for (const auto& [type, offset] : {std::pair{"stts", 12}, {"stss", 12}, {"ctts", 12}, {"stsc", 12}, {"stco", 12},
                                     {"stsz", 16}}) {
    const std::vector<size_t> found = Boxes(movie, type);
    if (!found.empty()) WriteU32(&movie, found[0] + offset, 0);
  }
  return movie;
}

std::string NoiseInVideoData(std::string movie, unsigned seed) {
  const size_t data = Boxes(movie, "mdat").at(0), size = ReadU32(movie, data);
  std::mt19937 random(seed);
  for (size_t i = data + size / 4; i < data + size / 4 + size / 8; ++i) movie[i] = char(random());
  return movie;
}

}  // namespace

TEST(BadSources, EachConvertsWhatItCanOrFailsCleanly) {
  ProgramSandbox sandbox;
  const TempDir& folder = sandbox.folder();
  const std::string sample = ReadWholeFile(POCKETMOVIE_SAMPLE);
  ASSERT_FALSE(sample.empty());
  ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -i " + std::string(POCKETMOVIE_SAMPLE) +
                         " -c copy -movflags +faststart " + folder.file("index-first.mov")).c_str()), 0);
  const std::string indexFirst = ReadWholeFile(folder.file("index-first.mov"));
  const std::string soundOnly = MakeSampleMovie(folder.path(), "sound.mov", SampleMovie().in("mov").video(""));
  ASSERT_FALSE(soundOnly.empty());

  enum Expected { fails, converts, either };
  struct BadSource {
    std::string name, bytes;
    Expected expected;
  };
  std::vector<BadSource> sources = {
      {"empty.mov", "", fails},
      {"text.mov", std::string(40, 'x') + "\nThis is not a movie.\n", fails},
      {"huge.mov", HugePicture(sample), either},
      {"zero.mov", ZeroDuration(sample), either},
      {"no-frames.mov", NoVideoFrames(sample), either},
      {"sound-only.mov", ReadWholeFile(soundOnly), converts},
      // A damaged stretch costs its frames, not the movie.
      {"noise-1.mov", NoiseInVideoData(sample, 1), converts},
      {"noise-2.mov", NoiseInVideoData(sample, 2), converts},
  };
  for (int percent : {10, 50, 90}) {
    // With its index at the end, a cut movie has none.
    const auto cut = [percent](const std::string& movie) { return movie.substr(0, movie.size() * percent / 100); };
    sources.push_back({"cut-" + std::to_string(percent) + ".mov", cut(sample), fails});
    sources.push_back({"cut-index-first-" + std::to_string(percent) + ".mov", cut(indexFirst), either});
  }
  std::filesystem::remove(folder.file("index-first.mov"));
  std::filesystem::remove(soundOnly);

  for (const BadSource& source : sources) {
    SCOPED_TRACE(source.name);
    const std::string path = folder.write(source.name, source.bytes);
    const ProgramRun run = sandbox.run({path});
    ExpectCleanOutcome(run, path + ".mp4");
    if (source.expected != either) {
      EXPECT_EQ(run.status, source.expected == fails ? 1 : 0);
    }
    if (run.status == 0 && source.expected == converts) {
      // Sound alone stays sound alone; damaged video data still gives a picture.
      const ProbedMovie output = ProbeMovie(path + ".mp4");
      const bool noPicture = source.name == "sound-only.mov";
      EXPECT_EQ(output.stream("video") == nullptr, noPicture);
      EXPECT_TRUE(!noPicture || output.stream("audio"));
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".mp4");
  }

  // Paths that hold no movie, or cannot take the output, say what they are before any export.
  ASSERT_EQ(mkfifo(folder.file("pipe.mov").c_str(), 0644), 0);
  std::filesystem::create_symlink("loop-b.mov", folder.file("loop-a.mov"));
  std::filesystem::create_symlink("loop-a.mov", folder.file("loop-b.mov"));
  std::filesystem::create_symlink("nowhere", folder.write("linked.mov", sample) + ".mp4");
  std::filesystem::create_directory(folder.write("boxed.mov", sample) + ".mp4");
  // The longest name a file system takes, once the extension is added, and one byte more.
  const std::string longest = folder.write(std::string(247, 'n') + ".mov", sample);
  const std::string tooLong = folder.write(std::string(248, 'n') + ".mov", sample);

  const std::vector<std::pair<std::string, std::string>> paths = {
      {folder.file("pipe.mov"), "not a regular file (a named pipe): " + folder.file("pipe.mov")},
      {"/dev/zero", "not a regular file (a device): /dev/zero"},
      {folder.file("loop-a.mov"), "the links go round in a loop: " + folder.file("loop-a.mov")},
      {folder.file("linked.mov"), "the output is a link to a missing file: " + folder.file("linked.mov.mp4")},
      {folder.file("boxed.mov"), "the output is a folder: " + folder.file("boxed.mov.mp4")},
      {tooLong, "the output's name is too long for the file system: " + tooLong + ".mp4"},
  };
  for (const auto& [path, reason] : paths) {
    SCOPED_TRACE(path);
    const ProgramRun run = sandbox.run({path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ResultLines(run.errors), std::vector<std::string>{"pocketmovie: " + reason});
    EXPECT_EQ(run.errors.find("10%"), std::string::npos) << "the export started";
    EXPECT_TRUE(HiddenEntries(folder.path()).empty());
  }
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("linked.mov.mp4")));
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("boxed.mov.mp4")));

  ExpectCleanOutcome(sandbox.run({longest}), longest + ".mp4");
  EXPECT_TRUE(PlaysAsMovie(longest + ".mp4"));
}

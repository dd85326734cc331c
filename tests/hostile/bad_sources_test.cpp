// Damaged, empty and strange sources from a Movies folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/hostile/CleanOutcome.h"
#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace {

struct Box {
  std::string type;
  size_t offset;
  size_t size;
  int track;  // 1 for the first track's boxes, 0 outside any track
};

uint32_t ReadU32(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
         uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

void WriteU32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = char(value >> (24 - 8 * i));
}

void WriteU16(std::string* bytes, size_t at, uint16_t value) {
  (*bytes)[at] = char(value >> 8);
  (*bytes)[at + 1] = char(value);
}

// Every box of a QuickTime movie, the containers' contents included.
void WalkBoxes(const std::string& bytes, size_t from, size_t to, int* tracks, int track, std::vector<Box>* boxes) {
  while (from + 8 <= to) {
    size_t size = ReadU32(bytes, from);
    std::string type = bytes.substr(from + 4, 4);
    if (size < 8 || from + size > to) return;
    if (type == "trak") track = ++*tracks;
    boxes->push_back({type, from, size, track});
    for (const char* container : {"moov", "trak", "mdia", "minf", "stbl", "edts"}) {
      if (type == container) WalkBoxes(bytes, from + 8, from + size, tracks, track, boxes);
    }
    from += size;
  }
}

std::vector<Box> BoxesOf(const std::string& bytes) {
  std::vector<Box> boxes;
  int tracks = 0;
  WalkBoxes(bytes, 0, bytes.size(), &tracks, 0, &boxes);
  return boxes;
}

// The picture claims 65535 x 65535 in the track header and the sample description.
std::string HugePicture(std::string movie) {
  for (const Box& box : BoxesOf(movie)) {
    if (box.track != 1) continue;
    if (box.type == "tkhd") {
      WriteU32(&movie, box.offset + box.size - 8, 65535u << 16);
      WriteU32(&movie, box.offset + box.size - 4, 65535u << 16);
    }
    if (box.type == "stsd") {
      const size_t entry = box.offset + 16;
      WriteU16(&movie, entry + 32, 65535);
      WriteU16(&movie, entry + 34, 65535);
    }
  }
  return movie;
}

// Every duration in the headers and every sample's length set to zero.
std::string ZeroDuration(std::string movie) {
  for (const Box& box : BoxesOf(movie)) {
    if (box.type == "mvhd" || box.type == "mdhd") WriteU32(&movie, box.offset + 24, 0);
    if (box.type == "tkhd") WriteU32(&movie, box.offset + 28, 0);
    if (box.type == "elst") WriteU32(&movie, box.offset + 16, 0);
    if (box.type == "stts") {
      for (uint32_t i = 0, n = ReadU32(movie, box.offset + 12); i < n; ++i) {
        WriteU32(&movie, box.offset + 20 + 8 * i, 0);
      }
    }
  }
  return movie;
}

// The video track keeps its description but lists no samples.
std::string NoVideoFrames(std::string movie) {
  for (const Box& box : BoxesOf(movie)) {
    if (box.track != 1) continue;
    for (const char* table : {"stts", "stss", "ctts", "stsc", "stco"}) {
      if (box.type == table) WriteU32(&movie, box.offset + 12, 0);
    }
    if (box.type == "stsz") WriteU32(&movie, box.offset + 16, 0);
  }
  return movie;
}

std::string NoiseInVideoData(std::string movie, unsigned seed) {
  for (const Box& box : BoxesOf(movie)) {
    if (box.type != "mdat") continue;
    std::mt19937 random(seed);
    const size_t from = box.offset + box.size / 4, length = box.size / 8;
    for (size_t i = from; i < from + length; ++i) movie[i] = char(random());
  }
  return movie;
}

std::string Truncated(const std::string& movie, int percent) { return movie.substr(0, movie.size() * percent / 100); }

bool RunFfmpeg(const std::string& arguments) {
  return std::system(("ffmpeg -nostdin -v error -y " + arguments).c_str()) == 0;
}

struct BadSource {
  std::string name;
  std::string bytes;
  enum { fails, converts, either } expected;
};

}  // namespace

TEST(BadSources, EachConvertsWhatItCanOrFailsCleanly) {
  ProgramSandbox sandbox;
  const TempDir& folder = sandbox.folder();
  const std::string sample = ReadWholeFile(POCKETMOVIE_SAMPLE);
  ASSERT_FALSE(sample.empty());
  ASSERT_TRUE(RunFfmpeg("-i " + std::string(POCKETMOVIE_SAMPLE) + " -c copy -movflags +faststart " +
                        folder.file("index-first.mov")));
  ASSERT_TRUE(RunFfmpeg("-i " + std::string(POCKETMOVIE_SAMPLE) + " -vn -c copy " + folder.file("sound.mov")));
  const std::string indexFirst = ReadWholeFile(folder.file("index-first.mov"));

  std::vector<BadSource> sources = {
      {"empty.mov", "", BadSource::fails},
      {"text.mov", std::string(40, 'x') + "\nThis is not a movie.\n", BadSource::fails},
      {"huge.mov", HugePicture(sample), BadSource::either},
      {"zero.mov", ZeroDuration(sample), BadSource::either},
      {"no-frames.mov", NoVideoFrames(sample), BadSource::either},
      {"sound-only.mov", ReadWholeFile(folder.file("sound.mov")), BadSource::converts},
      // A damaged stretch costs its frames, not the movie.
      {"noise-1.mov", NoiseInVideoData(sample, 1), BadSource::converts},
      {"noise-2.mov", NoiseInVideoData(sample, 2), BadSource::converts},
  };
  for (int percent : {10, 50, 90}) {
    // With its index at the end, a cut movie has none.
    sources.push_back({"cut-" + std::to_string(percent) + ".mov", Truncated(sample, percent), BadSource::fails});
    sources.push_back({"cut-index-first-" + std::to_string(percent) + ".mov", Truncated(indexFirst, percent),
                       BadSource::either});
  }
  std::filesystem::remove(folder.file("index-first.mov"));
  std::filesystem::remove(folder.file("sound.mov"));

  for (const BadSource& source : sources) {
    SCOPED_TRACE(source.name);
    const std::string path = folder.write(source.name, source.bytes);
    const ProgramRun run = sandbox.run({path});
    ExpectCleanOutcome(run, path + ".mp4");
    if (source.expected != BadSource::either) {
      EXPECT_EQ(run.status, source.expected == BadSource::fails ? 1 : 0);
    }
    if (source.name == "sound-only.mov" && run.status == 0) {
      const ProbedMovie output = ProbeMovie(path + ".mp4");
      EXPECT_NE(output.stream("audio"), nullptr);
      EXPECT_EQ(output.stream("video"), nullptr);
    }
    if (source.name.rfind("noise", 0) == 0 && run.status == 0) {
      EXPECT_NE(ProbeMovie(path + ".mp4").stream("video"), nullptr);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".mp4");
  }

  SCOPED_TRACE("a folder named x.mov");
  std::filesystem::create_directory(folder.file("x.mov"));
  const ProgramRun run = sandbox.run({folder.file("x.mov")});
  ExpectCleanOutcome(run, folder.file("x.mov.mp4"));
  EXPECT_EQ(run.status, 1);
}

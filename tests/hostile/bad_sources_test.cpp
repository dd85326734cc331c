// Damaged, empty and strange sources from a Movies folder, and outputs that cannot be put beside them.
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <random>

#include "tests/hostile/ProgramRun.h"

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

// The media data zeroed, or moved behind the index without the index following it.
std::string ZeroedMediaData(std::string movie) {
  const size_t data = Boxes(movie, "mdat").at(0);
  std::fill(movie.begin() + long(data) + 8, movie.begin() + long(data + ReadU32(movie, data)), '\0');
  return movie;
}
std::string MediaDataAfterIndex(const std::string& movie) {
  const size_t data = Boxes(movie, "mdat").at(0), index = Boxes(movie, "moov").at(0);
  return movie.substr(0, data) + movie.substr(index) + movie.substr(data, index - data);
}

std::string NoiseInVideoData(std::string movie, unsigned seed) {
  const size_t data = Boxes(movie, "mdat").at(0), size = ReadU32(movie, data);
  std::mt19937 random(seed);
  for (size_t i = data + size / 4; i < data + size / 4 + size / 8; ++i) movie[i] = char(random());
  return movie;
}

// Headers that say less than the data holds: an AVI whose RIFF size gained a high bit (which reads
// as a file cut short), a Matroska file whose Segment Duration says 1 s (in its milliseconds).
std::string RiffSizeGrown(std::string avi) {
  avi[6] = char(avi[6] | 0x10);
  return avi;
}
std::string SegmentDurationOneSecond(std::string matroska) {
  const size_t duration = matroska.find("\x44\x89\x88") + 3;
  const double milliseconds = 1000;
  uint64_t bits = 0;
  std::memcpy(&bits, &milliseconds, sizeof bits);
  for (int i = 0; i < 8; ++i) matroska[duration + i] = char(bits >> (56 - 8 * i));
  return matroska;
}

}  // namespace

TEST(BadSources, EachConvertsWhatItCanOrFailsCleanly) {
  ProgramSandbox sandbox;
  const TempDir& folder = sandbox.folder();
  const std::string sample = ReadWholeFile(POCKETMOVIE_SAMPLE);
  ASSERT_FALSE(sample.empty());
  // Made with the ffmpeg tool, as recorders and editors write them.
  const auto made = [&](const std::string& name, const std::string& arguments) {
    const std::string path = folder.file("made-" + name);
    EXPECT_TRUE(RunFfmpeg(arguments + " '" + path + "'")) << name;
    const std::string bytes = ReadWholeFile(path);
    std::filesystem::remove(path);
    return bytes;
  };
  const std::string indexFirst =
      made("index-first.mov", "-i " + std::string(POCKETMOVIE_SAMPLE) + " -c copy -movflags +faststart");
  const std::string picture = "-f lavfi -i testsrc2=size=160x120:rate=25:duration=3 ";
  const std::string stereo = made("stereo.ts", picture + "-f lavfi -i sine=d=3 -ac 2 -c:a aac");
  const std::string surround48k = made("surround.ts", picture + "-f lavfi -i sine=d=3:r=48000 -ac 6 -c:a aac");
  const std::string matroska = made("full.mkv", picture + "-f lavfi -i sine=d=3 -c:v mpeg4");

  enum Expected { fails, converts, either };
  struct BadSource {
    std::string name, bytes;
    Expected expected;
    std::vector<std::string> options = {};
    double seconds = 0;    // the output's length when it converts; 0: not checked
    std::string says = {};  // in the line of a failure
  };
  // The percentages printed between 10% and 90%: where no header gives the length, the bytes read move them.
  const auto stepsOnTheWay = [](const std::string& errors) {
    int steps = 0;
    for (int percent = 11; percent < 90; ++percent) steps += errors.find(std::to_string(percent) + "%\n") != errors.npos;
    return steps;
  };
  const std::vector<std::string> to3gp = {"--format", "3gp"};
  const std::string nothingReadable = "nothing in this movie could be read";
  const std::vector<BadSource> sources = {
      {"empty.mov", "", fails},
      {"text.mov", std::string(40, 'x') + "\nThis is not a movie.\n", fails},
      {"huge.mov", HugePicture(sample), either},
      {"zero.mov", ZeroDuration(sample), either},
      {"no-frames.mov", NoVideoFrames(sample), either},
      {"sound-only.mov", made("sound.mov", "-f lavfi -i sine=d=2 -c:a aac"), converts},
      // A damaged stretch costs its frames, not the movie.
      {"noise.mov", NoiseInVideoData(sample, 1), converts},
      // Nothing decodable: AMR-NB would still write one 20 ms frame of silence.
      {"zeroed.mov", ZeroedMediaData(sample), fails, to3gp, 0, nothingReadable},
      {"data-after-index.mov", MediaDataAfterIndex(sample), fails, to3gp, 0, nothingReadable},
      {"cut-after-headers.mkv", matroska.substr(0, matroska.find("\x1f\x43\xb6\x75") + 40), fails, to3gp, 0,
       nothingReadable},
      {"photo.jpg", made("photo.jpg", "-f lavfi -i testsrc2 -frames:v 1"), fails, {}, 0,
       "not a movie: a single picture"},
      // Whole, though no header tells their length, or their clock starts again at each seam.
      {"piped.webm",
       made("piped.webm", picture + "-f lavfi -i sine=d=3 -c:v libvpx -c:a libopus -f webm pipe:1 | cat >"), converts,
       {}, 3},
      {"joined.ts", stereo + stereo, converts, {}, 6},
      {"riff-size-grown.avi", RiffSizeGrown(made("full.avi", picture + "-f lavfi -i sine=d=3 -c:v mpeg4")), converts, {}, 3},
      {"duration-1s.mkv", SegmentDurationOneSecond(matroska), converts, {}, 3},
      {"stereo-then-surround-48k.ts", stereo + surround48k, converts, to3gp, 6},
      // A sound track at 2 Hz; a slide show below the lowest rate FFmpeg's MPEG-4 takes.
      {"2-hz-sound.mkv", made("2hz.mkv", picture + "-f lavfi -i sine=r=8000:d=0.00075,asetrate=2 -c:a pcm_s16le"),
       converts, {}, 3},
      {"slides.mp4", made("slides.mp4", "-f lavfi -i testsrc2=size=160x120:rate=1/4:duration=12 -f lavfi -i sine=d=12"),
       converts, to3gp, 12},
      {"slow.mov", sample, converts, {"--format", "3g2", "--fps", "0.4"}},
      // A still picture whose source spends less than x264's least rate on it.
      {"still.mp4", made("still.mp4", "-f lavfi -i color=c=gray:s=160x120:r=2:d=10 -f lavfi -i sine=d=10 -c:v libx264"),
       converts, {}, 10},
      // Cut at 90%: with its index at the end the movie has none; with its index first, the index
      // is whole but points past the end, and is checked against it.
      {"cut.mov", sample.substr(0, sample.size() * 9 / 10), fails},
      {"cut-index-first.mov", indexFirst.substr(0, indexFirst.size() * 9 / 10), fails, {}, 0, "not a movie"},
  };

  for (const BadSource& source : sources) {
    SCOPED_TRACE(source.name);
    const std::string path = folder.write(source.name, source.bytes);
    std::vector<std::string> arguments = source.options;
    arguments.push_back(path);
    const std::string output = path + (source.options.empty() ? ".mp4" : "." + source.options[1]);
    const ProgramRun run = sandbox.run(arguments);
    ExpectCleanOutcome(run, output);
    if (source.expected != either) {
      EXPECT_EQ(run.status, source.expected == fails ? 1 : 0);
    }
    EXPECT_NE(run.errors.find(source.says), std::string::npos) << run.errors;
    if (run.status == 0 && source.expected == converts) {
      // Sound alone stays sound alone; damaged video data still gives a picture; sound is kept.
      const ProbedMovie movie = ProbeMovie(output);
      const bool noPicture = source.name == "sound-only.mov";
      EXPECT_EQ(movie.stream("video") == nullptr, noPicture);
      EXPECT_TRUE(movie.stream("audio"));
      if (source.seconds > 0) {
        EXPECT_NEAR(movie.seconds, source.seconds, 0.3);
      }
      if (source.name.ends_with(".webm") || source.name.ends_with(".ts")) {
        EXPECT_GE(stepsOnTheWay(run.errors), 20) << run.errors;
      }
    }
    std::filesystem::remove(path);
    std::filesystem::remove(output);
  }

  // Paths that hold no movie, or cannot take the output, say what they are before any export.
  ASSERT_EQ(mkfifo(folder.file("pipe.mov").c_str(), 0644), 0);
  std::filesystem::create_symlink("loop-b.mov", folder.file("loop-a.mov"));
  std::filesystem::create_symlink("loop-a.mov", folder.file("loop-b.mov"));
  std::filesystem::create_symlink("nowhere", folder.write("linked.mov", sample) + ".mp4");
  std::filesystem::create_directory(folder.write("boxed.mov", sample) + ".mp4");
  std::filesystem::create_symlink("nowhere", folder.file("dangling.mov"));
  const std::string locked = folder.write("locked.mov", sample);
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  // What the user keeps in the output's place: a movie renamed over it would destroy it.
  ASSERT_EQ(mkfifo((folder.write("to-pipe.mov", sample) + ".mp4").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/null", folder.write("to-null.mov", sample) + ".mp4");
  // The longest name a file system takes, once the extension is added, and one byte more.
  const std::string longest = folder.write(std::string(247, 'n') + ".mov", sample);
  const std::string tooLong = folder.write(std::string(248, 'n') + ".mov", sample);

  const std::vector<std::pair<std::string, std::string>> paths = {
      {folder.file("pipe.mov"), "not a regular file (a named pipe): " + folder.file("pipe.mov")},
      {"/dev/zero", "not a regular file (a device): /dev/zero"},
      {folder.file("loop-a.mov"), "the links go round in a loop: " + folder.file("loop-a.mov")},
      {folder.file("linked.mov"), "the output is a link to a missing file: " + folder.file("linked.mov.mp4")},
      {folder.file("boxed.mov"), "the output is a folder: " + folder.file("boxed.mov.mp4")},
      {folder.file("dangling.mov"), "a link to a missing file: " + folder.file("dangling.mov")},
      {locked, "permission denied: " + locked},
      {folder.file("to-pipe.mov"), "the output is not a regular file: " + folder.file("to-pipe.mov.mp4")},
      {folder.file("to-null.mov"), "the output is not a regular file: " + folder.file("to-null.mov.mp4")},
      {tooLong, "the output's name is too long for the file system: " + tooLong + ".mp4"},
  };
  for (const auto& [path, reason] : paths) {
    SCOPED_TRACE(path);
    const ProgramRun run = sandbox.run({path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ResultLines(run.errors), std::vector<std::string>{"pocketmovie: " + reason});
    EXPECT_EQ(run.errors.find("10%"), std::string::npos) << "the export started";
    EXPECT_TRUE(EntryNames(folder.path(), ".").empty());
  }
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("linked.mov.mp4")));
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("boxed.mov.mp4")));
  // A batch puts its outputs in place itself, and must refuse them the same way.
  const ProgramRun batch = sandbox.run({folder.file("to-pipe.mov"), folder.file("to-null.mov")});
  EXPECT_EQ(batch.status, 1);
  EXPECT_EQ(ResultLines(batch.errors),
            (std::vector<std::string>{
                "pocketmovie: the output is not a regular file: " + folder.file("to-pipe.mov.mp4"),
                "pocketmovie: the output is not a regular file: " + folder.file("to-null.mov.mp4"),
                "pocketmovie: 0 written, 2 failed"}))
      << batch.errors;
  EXPECT_TRUE(std::filesystem::is_fifo(folder.file("to-pipe.mov.mp4")));
  std::error_code notALink;
  EXPECT_EQ(std::filesystem::read_symlink(folder.file("to-null.mov.mp4"), notALink), "/dev/null");

  ExpectCleanOutcome(sandbox.run({longest}), longest + ".mp4");
  EXPECT_TRUE(ProbeMovie(longest + ".mp4").plays());
}

// Sources of common kinds opened and measured through the movie calls, and real exports through
// the component calls: a generated movie into every output format, checked with ffprobe, and the
// progress routine's messages.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/files/Files.h"
#include "platform/media/exporters/ExporterSettings.h"
#include "platform/movies/FixMath.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/Movies.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

constexpr double kSourceSeconds = 10;
constexpr double kOneFrame = 1.0 / 12;

// What the progress routine saw. It closes the component at the close message, as the
// application does when it ends inside the routine.
struct ProgressLog {
  Movie movie = nullptr;
  std::string output;
  MovieExportComponent exporter = nullptr;
  std::vector<SInt16> messages;
  std::vector<Fixed> fractions;
  double secondsAtClose = 0;  // of the output, when the close message came
  bool finishedAtClose = false;
};

OSErr RecordProgress(Movie, SInt16 message, SInt16, Fixed fraction, long refcon) {
  auto* log = reinterpret_cast<ProgressLog*>(refcon);
  log->messages.push_back(message);
  log->fractions.push_back(fraction);
  if (message == movieProgressClose) {
    log->secondsAtClose = ProbeMovie(log->output).seconds;
    log->finishedAtClose = LastMovieExportReport().finished;
    CloseComponent(log->exporter);
  }
  return noErr;
}

// Gives a new component 176x144 (or the size given) at 12 fps and 8 KB/s (or the rate given) through
// its settings and exports the whole movie into the log's output.
ComponentResult Export(OSType subtype, OSType videoCodec, ProgressLog* log, long bytesPerSecond = 8 * 1024,
                       int width = 176, int height = 144) {
  log->exporter = OpenDefaultComponent(MovieExportType, subtype);
  const ExporterKind kind = subtype == kQTFileTypeMP4 ? ExporterKind::mpeg4 : ExporterKind::threeGPP;
  QTAtomContainer c = nullptr;
  ExporterSettings s = DefaultExporterSettings(kind);
  EXPECT_EQ(noErr, MovieExportGetSettingsAsAtomContainer(log->exporter, &c));
  EXPECT_EQ(noErr, ReadExporterSettings(c, kind, &s));
  QTDisposeAtomContainer(c);
  s.width = X2Fix(width);
  s.height = X2Fix(height);
  s.temporal.frameRate = X2Fix(12);
  s.dataRate.dataRate = bytesPerSecond;
  if (videoCodec) s.spatial.codecType = videoCodec;
  EXPECT_EQ(noErr, ExporterSettingsToAtomContainer(s, kind, &c));
  EXPECT_EQ(noErr, MovieExportSetSettingsFromAtomContainer(log->exporter, c));
  QTDisposeAtomContainer(c);
  MovieExportSetProgressProc(log->exporter, RecordProgress, reinterpret_cast<long>(log));
  FSSpec spec{};
  EXPECT_EQ(noErr, FSMakeFSSpecFromPath(log->output.c_str(), &spec));
  return MovieExportToFile(log->exporter, &spec, log->movie, nullptr, 0, GetMovieDuration(log->movie));
}

Movie OpenedMovie(const std::string& path) {
  FSSpec spec{};
  SInt16 file = 0;
  Movie movie = nullptr;
  EXPECT_EQ(noErr, FSMakeFSSpecFromPath(path.c_str(), &spec));
  EXPECT_EQ(noErr, OpenMovieFile(&spec, &file, fsRdPerm));
  EXPECT_EQ(noErr, NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr));
  EXPECT_EQ(noErr, CloseMovieFile(file));
  EXPECT_NE(noErr, CloseMovieFile(file));  // closed once only
  return movie;
}

TEST(MoviesOpen, MeasuresCommonKinds) {
  ASSERT_EQ(noErr, EnterMovies());
  TempDir folder;
  // The size as seen: turned upright, pixels made square.
  for (const auto& [name, sample, width, height] :
       {std::tuple{"mpeg4.avi", SampleMovie().in("avi").video("mpeg4").audio("libmp3lame"), 320, 240},
        {"vp9.mkv", SampleMovie().in("mkv").video("libvpx-vp9").audio("ac3").size(96, 64).lasting(1), 96, 64},
        {"cinepak.mov", SampleMovie().in("mov").video("cinepak").audio("pcm_s16le").size(96, 64).lasting(1), 96, 64},
        {"turned.mp4", SampleMovie().turned(90), 240, 320},
        {"wide-pixels.mp4", SampleMovie().audio("").pixels("2/1"), 640, 240}}) {
    SCOPED_TRACE(name);
    Movie movie = OpenedMovie(MakeSampleMovie(folder.path(), name, sample));
    ASSERT_NE(nullptr, movie);
    Rect bounds;
    GetMovieNaturalBoundsRect(movie, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, width);
    EXPECT_EQ(bounds.bottom - bounds.top, height);
    EXPECT_EQ(GetMovieTimeScale(movie), 600);
    EXPECT_NEAR(GetMovieDuration(movie), sample.seconds * 600, 600 / 10);
    DisposeMovie(movie);
  }
  // Measured once while the file stays as it was; another movie put in its place is measured anew.
  Movie replaced = OpenedMovie(MakeSampleMovie(folder.path(), "turned.mp4", SampleMovie().size(96, 64).lasting(1)));
  Rect bounds;
  GetMovieNaturalBoundsRect(replaced, &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 96);
  DisposeMovie(replaced);
  ExitMovies();
}

TEST(ExporterExport, WritesEveryFormatAsAskedForAndReportsProgressToTheEnd) {
  ASSERT_EQ(noErr, EnterMovies());
  TempDir folder;
  // A busy picture, so that the encoder has to hold its data rate.
  Movie movie = OpenedMovie(
      MakeSampleMovie(folder.path(), "clip.mov", SampleMovie().in("mov").lasting(kSourceSeconds).busy()));
  ASSERT_NE(nullptr, movie);

  struct Case {
    OSType subtype, videoCodec;
    std::string extension, brands, video, profile, audio;  // brands: any of these
  };
  const Case cases[] = {
      {kQTFileTypeMP4, 0, ".mp4", "isom mp42", "h264", "High", "aac"},
      {kQTFileType3GPP, 0, ".3gp", "3gp4 3gp5", "mpeg4", "Simple Profile", "amr_nb"},
      {kQTFileType3GPP, 0, ".3g2", "3g2a", "mpeg4", "Simple Profile", "aac"},
      {kQTFileType3GPP, 0, ".amc", "3g2a", "mpeg4", "Simple Profile", "aac"},
      {kQTFileType3GPP, kH263CodecType, ".h263.3gp", "3gp4 3gp5", "h263", "", "amr_nb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extension);
    ProgressLog log;
    log.movie = movie;
    log.output = folder.write("clip" + c.extension, "older and longer bytes that the export must replace");
    EXPECT_EQ(noErr, Export(c.subtype, c.videoCodec, &log));
    // 0 first, then rising updates up to 1, then one close, last; complete before the close.
    ASSERT_GE(log.messages.size(), 10u);
    EXPECT_EQ(movieProgressOpen, log.messages.front());
    EXPECT_EQ(movieProgressClose, log.messages.back());
    for (size_t i = 1; i < log.messages.size(); ++i) {
      EXPECT_TRUE(i + 1 == log.messages.size() || log.messages[i] == movieProgressUpdatePercent) << i;
      EXPECT_GE(log.fractions[i], log.fractions[i - 1]);
    }
    EXPECT_EQ(fixed1, log.fractions.back());
    EXPECT_TRUE(log.finishedAtClose);
    EXPECT_NEAR(kSourceSeconds, log.secondsAtClose, kOneFrame);
    // Closed from inside its own call, it goes once the call returns; then every call on it is refused.
    EXPECT_EQ(nullptr, ComponentImplementationOf(log.exporter));
    EXPECT_EQ(badComponentInstance, MovieExportToFile(log.exporter, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_NE(noErr, CloseComponent(log.exporter));
    EXPECT_FALSE(LastMovieExportReport().notice) << "the rates asked for were kept";

    const ProbedMovie probed = ProbeMovie(log.output);
    const ProbedStream* video = probed.stream("video");
    const ProbedStream* audio = probed.stream("audio");
    ASSERT_TRUE(video && audio);
    EXPECT_TRUE(probed.majorBrand.size() == 4 && c.brands.find(probed.majorBrand) != std::string::npos)
        << probed.majorBrand;
    EXPECT_EQ(c.video, video->codec);
    EXPECT_TRUE(c.profile.empty() || c.profile == video->profile) << video->profile;
    EXPECT_EQ(c.audio, audio->codec);
    EXPECT_EQ(176, video->width);
    EXPECT_EQ(144, video->height);
    EXPECT_EQ("smpte170m", video->colourMatrix);  // the matrix players assume at this size, said
    EXPECT_NEAR(12.0, video->frameRate, 0.01);
    EXPECT_NEAR(kSourceSeconds, video->seconds, kOneFrame);
    EXPECT_NEAR(kSourceSeconds, audio->seconds, kOneFrame);
    EXPECT_NEAR(8 * 1024 * 8, video->bitRate, 0.10 * 8 * 1024 * 8);
    EXPECT_TRUE(c.audio != "amr_nb" || (audio->sampleRate == 8000 && audio->channels == 1));
  }
  DisposeMovie(movie);
  ExitMovies();
}

// A movie that is already small, at the rates a phone format would give it, keeps its own:
// neither its picture nor its sound is given more bytes than it had, nor the whole file, so it never grows.
TEST(ExporterExport, NeverMakesASmallSourceBigger) {
  ASSERT_EQ(noErr, EnterMovies());
  TempDir folder;
  const std::string source = folder.file("small.mp4");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc2=size=320x240:rate=12:duration=" + std::to_string(kSourceSeconds) +
                        " -f lavfi -i sine=duration=" + std::to_string(kSourceSeconds) +
                        " -c:v libx264 -b:v 150k -c:a aac -b:a 24k -ac 1 '" + source + "'"));
  Movie movie = OpenedMovie(source);
  ASSERT_NE(nullptr, movie);
  // The last at the program's first-run choices: half the picture leaves x264 more rate than it
  // can spend, and its miss and the file's own bytes grew the movie.
  for (const auto& [subtype, extension, bytesPerSecond, width] :
       {std::tuple{kQTFileTypeMP4, ".mp4", 32 * 1024, 320}, std::tuple{kQTFileType3GPP, ".3gp", 64 * 1024, 320},
        std::tuple{kQTFileTypeMP4, ".mp4", 64 * 1024, 160}}) {
    SCOPED_TRACE(extension + std::to_string(width));
    ProgressLog log;
    log.movie = movie;
    log.output = folder.file(std::string("out") + extension);
    EXPECT_EQ(noErr, Export(subtype, 0, &log, bytesPerSecond, width, width * 3 / 4));
    EXPECT_LE(std::filesystem::file_size(log.output), std::filesystem::file_size(source));
  }
  DisposeMovie(movie);
  ExitMovies();
}

}  // namespace

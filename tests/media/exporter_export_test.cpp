// Real exports through the component calls: a generated movie into every output format, checked
// with ffprobe; the progress routine's messages, a stop from it, and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/files/Files.h"
#include "platform/media/ExporterSettings.h"
#include "platform/movies/FixMath.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/Movies.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

constexpr double kSourceSeconds = 10;
constexpr double kOneFrame = 1.0 / 12;

// What the progress routine saw, reached through its reference value. It closes the component
// when the close message comes, as the application does when it ends inside the routine.
struct ProgressLog {
  Movie movie = nullptr;
  std::string output;
  MovieExportComponent exporter = nullptr;
  double stopAbove = 2;  // answer -128 to updates past this fraction
  std::vector<SInt16> messages;
  std::vector<Fixed> fractions;
  bool wrongArguments = false;
  double secondsAtClose = 0;  // of the output, when the close message came
  bool finishedAtClose = false;

  // 0 first, then rising updates (none after a stop), then one close, last.
  void expectInOrder() const {
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(movieProgressOpen, messages.front());
    EXPECT_EQ(movieProgressClose, messages.back());
    for (size_t i = 1; i + 1 < messages.size(); ++i) {
      EXPECT_EQ(movieProgressUpdatePercent, messages[i]);
      EXPECT_GE(fractions[i], fractions[i - 1]);
      EXPECT_LE(fractions[i], fixed1);
      EXPECT_TRUE(i + 2 == messages.size() || Fix2X(fractions[i]) <= stopAbove) << "an update after the stop";
    }
    EXPECT_FALSE(wrongArguments);
    EXPECT_TRUE(finishedAtClose);
    EXPECT_EQ(nullptr, ComponentImplementationOf(exporter));  // closed from inside, safely
  }
};

OSErr RecordProgress(Movie movie, SInt16 message, SInt16 operation, Fixed fraction, long refcon) {
  auto* log = reinterpret_cast<ProgressLog*>(refcon);
  log->messages.push_back(message);
  log->fractions.push_back(fraction);
  log->wrongArguments |= operation != progressOpExportMovie || movie != log->movie;
  if (message == movieProgressClose) {
    log->secondsAtClose = ProbeMovie(log->output).seconds;
    log->finishedAtClose = LastMovieExportReport().finished;
    CloseComponent(log->exporter);
  }
  return message == movieProgressUpdatePercent && Fix2X(fraction) > log->stopAbove ? userCanceledErr : noErr;
}

using OpenMovie = std::unique_ptr<std::remove_pointer_t<Movie>, void (*)(Movie)>;

OpenMovie OpenSource(const std::string& path) {
  FSSpec spec{};
  SInt16 file = 0;
  Movie movie = nullptr;
  EXPECT_EQ(noErr, FSMakeFSSpecFromPath(path.c_str(), &spec));
  EXPECT_EQ(noErr, OpenMovieFile(&spec, &file, fsRdPerm));
  EXPECT_EQ(noErr, NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr));
  CloseMovieFile(file);
  return OpenMovie(movie, DisposeMovie);
}

class ExporterExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(noErr, EnterMovies());
    folder_ = std::make_unique<TempDir>();
    // A busy picture, so that the encoder has to hold its data rate.
    source_ = MakeSampleMovie(folder_->path(), "clip.mov", SampleMovie().in("mov").lasting(kSourceSeconds).busy());
  }
  static void TearDownTestSuite() {
    folder_.reset();
    ExitMovies();
  }
  void SetUp() override { ASSERT_FALSE(source_.empty()); }

  // Gives a new component 176x144 at 12 fps and 8 KB/s through its settings and exports the whole
  // movie into the log's output, reporting to the log.
  static ComponentResult Export(OSType subtype, Movie movie, ProgressLog* log, OSType videoCodec = 0) {
    log->exporter = OpenDefaultComponent(MovieExportType, subtype);
    log->movie = movie;
    const ExporterKind kind = subtype == kQTFileTypeMP4 ? ExporterKind::mpeg4 : ExporterKind::threeGPP;
    QTAtomContainer c = nullptr;
    ExporterSettings s = DefaultExporterSettings(kind);
    EXPECT_EQ(noErr, MovieExportGetSettingsAsAtomContainer(log->exporter, &c));
    EXPECT_EQ(noErr, ReadExporterSettings(c, kind, &s));
    QTDisposeAtomContainer(c);
    s.width = X2Fix(176);
    s.height = X2Fix(144);
    s.temporal.frameRate = X2Fix(12);
    s.dataRate.dataRate = 8 * 1024;
    if (videoCodec) s.spatial.codecType = videoCodec;
    EXPECT_EQ(noErr, ExporterSettingsToAtomContainer(s, kind, &c));
    EXPECT_EQ(noErr, MovieExportSetSettingsFromAtomContainer(log->exporter, c));
    QTDisposeAtomContainer(c);
    MovieExportSetProgressProc(log->exporter, RecordProgress, reinterpret_cast<long>(log));
    FSSpec spec{};
    EXPECT_EQ(noErr, FSMakeFSSpecFromPath(log->output.c_str(), &spec));
    return MovieExportToFile(log->exporter, &spec, movie, nullptr, 0, movie ? GetMovieDuration(movie) : 600);
  }

  static inline std::unique_ptr<TempDir> folder_;
  static inline std::string source_;
};

TEST_F(ExporterExportTest, WritesEveryFormatAsAskedForAndReportsProgressToTheEnd) {
  struct Case {
    OSType subtype, videoCodec;
    std::string extension, brands, video, profile, audio;  // brands: any of these
  };
  const Case cases[] = {
      {kQTFileTypeMP4, 0, ".mp4", "isom mp42", "h264", "Constrained Baseline", "aac"},
      {kQTFileType3GPP, 0, ".3gp", "3gp4 3gp5", "mpeg4", "Simple Profile", "amr_nb"},
      {kQTFileType3GPP, 0, ".3g2", "3g2a", "mpeg4", "Simple Profile", "aac"},
      {kQTFileType3GPP, 0, ".amc", "3g2a", "mpeg4", "Simple Profile", "aac"},
      {kQTFileType3GPP, kH263CodecType, ".h263.3gp", "3gp4 3gp5", "h263", "", "amr_nb"},
  };
  OpenMovie movie = OpenSource(source_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extension);
    ProgressLog log;
    log.output = folder_->write("clip" + c.extension, "older and longer bytes that the export must replace");
    EXPECT_EQ(noErr, Export(c.subtype, movie.get(), &log, c.videoCodec));
    log.expectInOrder();
    EXPECT_GE(log.messages.size(), 10u);
    EXPECT_EQ(fixed1, log.fractions.back());
    EXPECT_NEAR(kSourceSeconds, log.secondsAtClose, kOneFrame);  // complete before the close message
    EXPECT_EQ(noErr, LastMovieExportReport().status);
    EXPECT_EQ(log.output, LastMovieExportReport().outputPath);

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
    EXPECT_NEAR(12.0, video->frameRate, 0.01);
    EXPECT_NEAR(kSourceSeconds, video->seconds, kOneFrame);
    EXPECT_NEAR(kSourceSeconds, audio->seconds, kOneFrame);
    EXPECT_NEAR(8 * 1024 * 8, video->bitRate, 0.15 * 8 * 1024 * 8);
    EXPECT_TRUE(c.audio != "amr_nb" || (audio->sampleRate == 8000 && audio->channels == 1));
  }
}

TEST_F(ExporterExportTest, AStopOrAFailureStillEndsWithTheCloseMessage) {
  OpenMovie movie = OpenSource(source_);
  ProgressLog stopped;
  stopped.output = folder_->file("clip.stopped.mp4");
  stopped.stopAbove = 0.3;
  EXPECT_EQ(userCanceledErr, Export(kQTFileTypeMP4, movie.get(), &stopped));
  stopped.expectInOrder();
  EXPECT_EQ(userCanceledErr, LastMovieExportReport().status);
  const ProbedMovie shorter = ProbeMovie(stopped.output);  // and playable
  ASSERT_NE(nullptr, shorter.stream("video"));
  EXPECT_GT(shorter.seconds, 0.1 * kSourceSeconds);
  EXPECT_LT(shorter.seconds, 0.6 * kSourceSeconds);

  // A source that goes bad after it was opened (the file under the movie is cut short), and none.
  const std::string doomed = MakeSampleMovie(folder_->path(), "doomed.mp4", SampleMovie().lasting(1));
  movie = OpenSource(doomed);
  std::filesystem::resize_file(doomed, 40);
  for (Movie source : {movie.get(), Movie(nullptr)}) {
    ProgressLog log;
    log.output = folder_->write("doomed.3g2", "older bytes");
    EXPECT_NE(noErr, Export(kQTFileType3GPP, source, &log));
    log.expectInOrder();
    EXPECT_NE(noErr, LastMovieExportReport().status);
    EXPECT_FALSE(LastMovieExportReport().failureReason.empty());
    const std::string kept = ReadWholeFile(log.output);
    EXPECT_TRUE(kept == "older bytes" || kept.empty()) << "a broken file was left";
  }
}

}  // namespace

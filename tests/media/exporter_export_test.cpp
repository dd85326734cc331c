// Real exports through the component calls: a generated movie into every output format, checked
// with ffprobe; the progress routine's messages, a stop from it, and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
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

// Everything the progress routine saw, reached through its reference value.
struct ProgressLog {
  Movie movie = nullptr;
  std::string output;
  double stopAbove = 2;  // answer -128 once the fraction passes this
  MovieExportComponent closeInside = nullptr;
  std::vector<SInt16> messages;
  std::vector<Fixed> fractions;
  bool wrongArguments = false;
  int updatesAfterStop = -1;
  ProbedMovie atClose;  // the output as it was when the close message came
  bool reportedAtClose = false;

  // 0 first, then rising updates, then one close, last.
  void expectInOrder() const {
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(movieProgressOpen, messages.front());
    EXPECT_EQ(movieProgressClose, messages.back());
    for (size_t i = 1; i + 1 < messages.size(); ++i) {
      EXPECT_EQ(movieProgressUpdatePercent, messages[i]);
      EXPECT_GE(fractions[i], fractions[i - 1]);
      EXPECT_LE(fractions[i], fixed1);
    }
    EXPECT_FALSE(wrongArguments);
    EXPECT_TRUE(reportedAtClose);
  }
};

OSErr RecordProgress(Movie movie, SInt16 message, SInt16 operation, Fixed fraction, long refcon) {
  auto* log = reinterpret_cast<ProgressLog*>(refcon);
  log->messages.push_back(message);
  log->fractions.push_back(fraction);
  log->wrongArguments |= operation != progressOpExportMovie || movie != log->movie;
  if (message == movieProgressClose) {
    log->atClose = ProbeMovie(log->output);
    log->reportedAtClose = LastMovieExportReport().finished;
    if (log->closeInside) CloseComponent(log->closeInside);  // as the application ends inside it
  } else if (message == movieProgressUpdatePercent && log->updatesAfterStop >= 0) {
    ++log->updatesAfterStop;
  } else if (message == movieProgressUpdatePercent && Fix2X(fraction) > log->stopAbove) {
    log->updatesAfterStop = 0;
    return userCanceledErr;
  }
  return noErr;
}

class OpenMovie {
 public:
  explicit OpenMovie(const std::string& path) {
    FSSpec spec{};
    EXPECT_EQ(noErr, FSMakeFSSpecFromPath(path.c_str(), &spec));
    EXPECT_EQ(noErr, OpenMovieFile(&spec, &file_, fsRdPerm));
    EXPECT_EQ(noErr, NewMovieFromFile(&movie_, file_, nullptr, nullptr, newMovieActive, nullptr));
  }
  ~OpenMovie() {
    DisposeMovie(movie_);
    CloseMovieFile(file_);
  }
  Movie get() const { return movie_; }

 private:
  SInt16 file_ = 0;
  Movie movie_ = nullptr;
};

class ExporterExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(noErr, EnterMovies());
    folder_ = new TempDir;
    SampleMovie sample;
    sample.container = "mov";
    sample.seconds = kSourceSeconds;
    sample.busyPicture = true;  // so that the encoder has to hold its data rate
    source_ = MakeSampleMovie(folder_->path(), "clip.mov", sample);
  }
  static void TearDownTestSuite() {
    delete folder_;
    ExitMovies();
  }
  void SetUp() override { ASSERT_FALSE(source_.empty()); }

  // Opens the component, gives it the run's size, frame rate and data rate, and exports the whole
  // movie into `output` with the log's routine attached.
  static ComponentResult Export(OSType subtype, Movie movie, const std::string& output, ProgressLog* log,
                                OSType videoCodec = 0) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subtype);
    const ExporterKind kind = subtype == kQTFileTypeMP4 ? ExporterKind::mpeg4 : ExporterKind::threeGPP;
    QTAtomContainer c = nullptr;
    ExporterSettings s = DefaultExporterSettings(kind);
    EXPECT_EQ(noErr, MovieExportGetSettingsAsAtomContainer(exporter, &c));
    EXPECT_EQ(noErr, ReadExporterSettings(c, kind, &s));
    QTDisposeAtomContainer(c);
    s.width = X2Fix(176);
    s.height = X2Fix(144);
    s.temporal.frameRate = X2Fix(12);
    s.dataRate.dataRate = 8 * 1024;
    if (videoCodec) s.spatial.codecType = videoCodec;
    EXPECT_EQ(noErr, ExporterSettingsToAtomContainer(s, kind, &c));
    EXPECT_EQ(noErr, MovieExportSetSettingsFromAtomContainer(exporter, c));
    QTDisposeAtomContainer(c);
    if (log) {
      log->movie = movie;
      log->output = output;
      MovieExportSetProgressProc(exporter, RecordProgress, reinterpret_cast<long>(log));
      if (log->stopAbove > 1) log->closeInside = exporter;
    }
    FSSpec spec{};
    EXPECT_EQ(noErr, FSMakeFSSpecFromPath(output.c_str(), &spec));
    ComponentResult status =
        MovieExportToFile(exporter, &spec, movie, nullptr, 0, movie ? GetMovieDuration(movie) : 600);
    if (!log || !log->closeInside) CloseComponent(exporter);
    return status;
  }

  static TempDir* folder_;
  static std::string source_;
};

TempDir* ExporterExportTest::folder_ = nullptr;
std::string ExporterExportTest::source_;

TEST_F(ExporterExportTest, WritesEveryFormatAsAskedFor) {
  struct Case {
    OSType subtype;
    OSType videoCodec;
    std::string extension;
    std::vector<std::string> brands;
    std::string video;
    std::string audio;
  };
  const std::vector<Case> cases{
      {kQTFileTypeMP4, 0, ".mp4", {"isom", "mp42"}, "h264", "aac"},
      {kQTFileType3GPP, 0, ".3gp", {"3gp4", "3gp5"}, "mpeg4", "amr_nb"},
      {kQTFileType3GPP, 0, ".3g2", {"3g2a"}, "mpeg4", "aac"},
      {kQTFileType3GPP, 0, ".amc", {"3g2a"}, "mpeg4", "aac"},
      {kQTFileType3GPP, kH263CodecType, ".h263.3gp", {"3gp4", "3gp5"}, "h263", "amr_nb"},
  };
  OpenMovie movie(source_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extension);
    const std::string output = source_ + c.extension;
    std::ofstream(output) << "older and longer bytes that the export must replace completely";
    EXPECT_EQ(noErr, Export(c.subtype, movie.get(), output, nullptr, c.videoCodec));
    ProbedMovie probed = ProbeMovie(output);
    const ProbedStream* video = probed.stream("video");
    const ProbedStream* audio = probed.stream("audio");
    ASSERT_TRUE(video && audio);
    EXPECT_NE(c.brands.end(), std::find(c.brands.begin(), c.brands.end(), probed.majorBrand)) << probed.majorBrand;
    EXPECT_EQ(c.video, video->codec);
    EXPECT_EQ(c.audio, audio->codec);
    EXPECT_EQ(176, video->width);
    EXPECT_EQ(144, video->height);
    EXPECT_NEAR(12.0, video->frameRate, 0.01);
    EXPECT_NEAR(kSourceSeconds, probed.seconds, kOneFrame);
    if (c.audio == "amr_nb") {
      EXPECT_EQ(8000, audio->sampleRate);
      EXPECT_EQ(1, audio->channels);
    }
    if (c.extension == ".3gp") {
      EXPECT_NEAR(8 * 1024 * 8, video->bitRate, 0.15 * 8 * 1024 * 8);
    }
  }
}

TEST_F(ExporterExportTest, ReportsProgressAndClosesOnlyOnceTheFileIsComplete) {
  OpenMovie movie(source_);
  ProgressLog log;
  EXPECT_EQ(noErr, Export(kQTFileType3GPP, movie.get(), source_ + ".progress.3gp", &log));
  log.expectInOrder();
  EXPECT_GE(log.messages.size(), 10u);
  EXPECT_EQ(fixed1, log.fractions.back());
  EXPECT_NEAR(kSourceSeconds, log.atClose.seconds, kOneFrame);
  EXPECT_EQ(nullptr, ComponentImplementationOf(log.closeInside));  // closed from inside, safely
  EXPECT_EQ(noErr, LastMovieExportReport().status);
  EXPECT_EQ(log.output, LastMovieExportReport().outputPath);
}

TEST_F(ExporterExportTest, AStopFromTheRoutineLeavesAShorterPlayableMovie) {
  OpenMovie movie(source_);
  ProgressLog log;
  log.stopAbove = 0.3;
  EXPECT_EQ(userCanceledErr, Export(kQTFileTypeMP4, movie.get(), source_ + ".stopped.mp4", &log));
  log.expectInOrder();
  EXPECT_EQ(0, log.updatesAfterStop);
  EXPECT_EQ(userCanceledErr, LastMovieExportReport().status);
  ProbedMovie probed = ProbeMovie(log.output);
  ASSERT_NE(nullptr, probed.stream("video"));
  EXPECT_GT(probed.seconds, 0.1 * kSourceSeconds);
  EXPECT_LT(probed.seconds, 0.6 * kSourceSeconds);
}

TEST_F(ExporterExportTest, AFailedExportClosesAllTheSameAndLeavesNoBrokenFile) {
  // A source that goes bad after it was opened: the file under the movie is cut short.
  SampleMovie sample;
  sample.seconds = 1;
  const std::string doomed = MakeSampleMovie(folder_->path(), "doomed.mp4", sample);
  OpenMovie movie(doomed);
  std::filesystem::resize_file(doomed, 40);
  const std::string output = doomed + ".3g2";
  std::ofstream(output) << "older bytes";

  for (Movie source : {movie.get(), Movie(nullptr)}) {
    ProgressLog log;
    EXPECT_NE(noErr, Export(kQTFileType3GPP, source, output, &log));
    log.expectInOrder();
    EXPECT_NE(noErr, LastMovieExportReport().status);
    EXPECT_FALSE(LastMovieExportReport().failureReason.empty());
    std::ifstream file(output);
    const std::string kept(std::istreambuf_iterator<char>(file), {});
    EXPECT_TRUE(kept == "older bytes" || kept.empty()) << "a broken file was left";
  }
}

}  // namespace

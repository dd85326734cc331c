// Progress, abort, failures and the data rate of an export.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/media/ExportJob.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

ExportJob QcifJob(const std::string& source, const std::string& output) {
  ExportJob job;
  job.sourcePath = source;
  job.outputPath = output;
  job.container = OutputContainer::threeGPP;
  job.videoCodec = VideoCodecChoice::mpeg4Visual;
  job.audioCodec = AudioCodecChoice::amrNB;
  job.width = 176;
  job.height = 144;
  job.frameRate = 12;
  job.videoBitRate = 64000;
  return job;
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PipelineProgress, RisesToTheEndOrStopsWhenAsked) {
  TempDir folder;
  std::string source = MakeSampleMovie(folder.path(), "clip.mp4", SampleMovie().lasting(4));
  ASSERT_FALSE(source.empty());
  ExportJob job = QcifJob(source, folder.file("clip.mp4.3gp"));

  std::vector<double> fractions;
  std::string reason;
  auto record = [&](double fraction) {
    fractions.push_back(fraction);
    return noErr;
  };
  ASSERT_EQ(RunExportJob(job, record, &reason), noErr) << reason;
  ASSERT_GE(fractions.size(), 50u);
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_GE(fractions.front(), 0.0);
  EXPECT_EQ(fractions.back(), 1.0);
  for (size_t i = 1; i + 1 < fractions.size(); ++i) EXPECT_LE(fractions[i] - fractions[i - 1], 0.03);

  // Stopped halfway: a playable movie of about the first half, and a cancelled status.
  int callsAfterStop = -1;
  auto stopHalfway = [&](double fraction) -> OSErr {
    if (callsAfterStop >= 0) ++callsAfterStop;
    if (fraction >= 0.5 && callsAfterStop < 0) callsAfterStop = 0;
    return fraction >= 0.5 ? userCanceledErr : noErr;
  };
  EXPECT_EQ(RunExportJob(job, stopHalfway, &reason), userCanceledErr);
  EXPECT_EQ(callsAfterStop, 0);
  ProbedMovie shorter = ProbeMovie(job.outputPath);
  ASSERT_TRUE(shorter.stream("video") && shorter.stream("audio"));
  EXPECT_NEAR(shorter.stream("video")->seconds, 2.0, 0.25);
  EXPECT_EQ(FileNames(folder.path()), (std::vector<std::string>{"clip.mp4", "clip.mp4.3gp"}));
}

TEST(PipelineFailures, ReportFailureAndLeaveTheOutputAsItWas) {
  TempDir folder;
  std::ofstream(folder.file("old.3gp")) << "older bytes";
  std::ofstream(folder.file("letter.mov")) << "not a movie";
  std::string reason;

  ExportJob job = QcifJob(folder.file("missing.mov"), folder.file("old.3gp"));
  EXPECT_EQ(RunExportJob(job, nullptr, &reason), fnfErr);
  EXPECT_NE(reason.find("no such file"), std::string::npos);
  job.sourcePath = folder.file("letter.mov");
  EXPECT_NE(RunExportJob(job, nullptr, &reason), noErr);
  EXPECT_FALSE(reason.empty());
  job.videoCodec = VideoCodecChoice::h263;  // a size H.263 cannot write
  job.width = 320;
  job.sourcePath = MakeSampleMovie(folder.path(), "clip.mp4", SampleMovie());
  EXPECT_EQ(RunExportJob(job, nullptr, &reason), paramErr);
  EXPECT_EQ(Contents(folder.file("old.3gp")), "older bytes");
  EXPECT_EQ(FileNames(folder.path()), (std::vector<std::string>{"clip.mp4", "letter.mov", "old.3gp"}));

  SmallTmpfs full(16);
  if (!full.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  job = QcifJob(folder.file("clip.mp4"), full.file("clip.3gp"));
  EXPECT_EQ(RunExportJob(job, nullptr, &reason), dskFulErr) << reason;
  EXPECT_TRUE(FileNames(full.path()).empty());

  SmallTmpfs readOnly(16, true);
  job.outputPath = readOnly.file("clip.3gp");
  EXPECT_NE(RunExportJob(job, nullptr, &reason), noErr);
  EXPECT_NE(reason.find("output folder"), std::string::npos);
}

TEST(PipelineRate, HoldsTheVideoDataRateOnABusyPicture) {
  TempDir folder;
  std::string source = MakeSampleMovie(folder.path(), "busy.mp4", SampleMovie().lasting(10).busy());
  ASSERT_FALSE(source.empty());
  for (VideoCodecChoice codec : {VideoCodecChoice::mpeg4Visual, VideoCodecChoice::h264Baseline}) {
    ExportJob job = QcifJob(source, folder.file("busy.3gp"));
    job.videoCodec = codec;
    std::string reason;
    ASSERT_EQ(RunExportJob(job, nullptr, &reason), noErr) << reason;
    ProbedMovie movie = ProbeMovie(job.outputPath);
    const ProbedStream* video = movie.stream("video");
    ASSERT_TRUE(video);
    EXPECT_NEAR(video->bitRate, 64000, 64000 * 0.15) << video->codec;
  }
}

}  // namespace

// Exports into each output format, checked with ffprobe: brand, codecs, size, rate, duration.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/media/ExportJob.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace {

ExportJob SmallJob(const std::string& source, const std::string& output, OutputContainer container,
                   VideoCodecChoice video, AudioCodecChoice audio) {
  ExportJob job;
  job.sourcePath = source;
  job.outputPath = output;
  job.container = container;
  job.videoCodec = video;
  job.audioCodec = audio;
  job.width = 176;
  job.height = 144;
  job.frameRate = 12;
  job.videoBitRate = 64000;
  return job;
}

ComponentResult Export(const ExportJob& job) {
  std::string reason;
  ComponentResult result = RunExportJob(job, nullptr, &reason);
  EXPECT_EQ(result, noErr) << reason;
  return result;
}

TEST(PipelineFormats, WritesEachFormatWithItsCodecs) {
  TempDir folder;
  std::string source = MakeSampleMovie(folder.path(), "clip.mov", SampleMovie().in("mov"));
  ASSERT_FALSE(source.empty());
  struct Case {
    OutputContainer container;
    VideoCodecChoice video;
    AudioCodecChoice audio;
    const char* brand;
    const char* videoCodec;
    const char* audioCodec;
    int width, height, sampleRate;
  };
  const Case cases[] = {
      {OutputContainer::mp4, VideoCodecChoice::h264Baseline, AudioCodecChoice::aacLC, "isom", "h264", "aac", 176, 144,
       44100},
      {OutputContainer::threeGPP, VideoCodecChoice::mpeg4Visual, AudioCodecChoice::amrNB, "3gp4", "mpeg4", "amr_nb",
       176, 144, 8000},
      {OutputContainer::threeGPP2, VideoCodecChoice::h264Baseline, AudioCodecChoice::aacLC, "3g2a", "h264", "aac", 320,
       240, 44100},
      {OutputContainer::amc, VideoCodecChoice::h263, AudioCodecChoice::aacLC, "3g2a", "h263", "aac", 128, 96, 44100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.videoCodec) + " in " + c.brand);
    ExportJob job = SmallJob(source, folder.file("out"), c.container, c.video, c.audio);
    job.width = c.width;
    job.height = c.height;
    if (Export(job) != noErr) continue;
    ProbedMovie movie = ProbeMovie(job.outputPath);
    ASSERT_TRUE(movie.readable);
    EXPECT_EQ(movie.majorBrand, c.brand);
    const ProbedStream* video = movie.stream("video");
    const ProbedStream* audio = movie.stream("audio");
    ASSERT_TRUE(video && audio);
    EXPECT_EQ(video->codec, c.videoCodec);
    EXPECT_EQ(video->width, c.width);
    EXPECT_EQ(video->height, c.height);
    EXPECT_NEAR(video->frameRate, 12, 0.01);
    EXPECT_NEAR(video->seconds, 2.0, 1.0 / 12);
    EXPECT_EQ(video->frames, 24);
    EXPECT_EQ(audio->codec, c.audioCodec);
    EXPECT_EQ(audio->sampleRate, c.sampleRate);
    EXPECT_NEAR(audio->seconds, 2.0, 0.05);
    if (c.video == VideoCodecChoice::h264Baseline) {
      EXPECT_EQ(video->profile, "Constrained Baseline");
    }
    if (c.video == VideoCodecChoice::mpeg4Visual) {
      EXPECT_EQ(video->profile, "Simple Profile");
    }
    if (c.audio == AudioCodecChoice::amrNB) {
      EXPECT_EQ(audio->channels, 1);
    }
  }
}

TEST(PipelineFormats, KeepsOnlyWhatTheSourceHasAndItsSpan) {
  TempDir folder;
  std::string silent =
      MakeSampleMovie(folder.path(), "silent.avi", SampleMovie().in("avi").video("mjpeg").audio("").lasting(3));
  std::string sound =
      MakeSampleMovie(folder.path(), "sound.mp3", SampleMovie().in("mp3").video("").audio("libmp3lame"));
  ASSERT_FALSE(silent.empty() || sound.empty());

  ExportJob job = SmallJob(silent, folder.file("silent.3gp"), OutputContainer::threeGPP, VideoCodecChoice::mpeg4Visual,
                           AudioCodecChoice::amrNB);
  job.frameRate = 50;  // never above the source's 25
  job.startSeconds = 1;
  job.durationSeconds = 1.5;
  Export(job);
  ProbedMovie pictures = ProbeMovie(job.outputPath);
  EXPECT_EQ(pictures.streams.size(), 1u);
  ASSERT_TRUE(pictures.stream("video"));
  EXPECT_NEAR(pictures.stream("video")->frameRate, 25, 0.01);
  EXPECT_NEAR(pictures.stream("video")->seconds, 1.5, 1.0 / 25);

  job = SmallJob(sound, folder.file("sound.3g2"), OutputContainer::threeGPP2, VideoCodecChoice::mpeg4Visual,
                 AudioCodecChoice::aacLC);
  Export(job);
  ProbedMovie sounds = ProbeMovie(job.outputPath);
  EXPECT_EQ(sounds.streams.size(), 1u);
  ASSERT_TRUE(sounds.stream("audio"));
  EXPECT_NEAR(sounds.seconds, 2.0, 0.05);
}

double MeanOfRows(const std::vector<uint8_t>& picture, int width, int firstRow, int rows) {
  auto begin = picture.begin() + long(firstRow) * width;
  return std::accumulate(begin, begin + long(rows) * width, 0.0) / (double(rows) * width);
}

TEST(PipelinePicture, TurnsUprightAndKeepsTheShapeUnlessStretched) {
  TempDir folder;
  std::string turned = MakeSampleMovie(folder.path(), "turned.mp4", SampleMovie().audio("").turned(90));
  std::string wide = MakeSampleMovie(folder.path(), "wide.mp4", SampleMovie().audio("").pixels("2/1"));
  ASSERT_FALSE(turned.empty() || wide.empty());
  constexpr int kBlack = 30;  // black bars are luma 16

  // Upright 240x320 fills a 240x320 frame; unturned it would leave bars above and below.
  ExportJob job = SmallJob(turned, folder.file("turned.mp4.mp4"), OutputContainer::mp4, VideoCodecChoice::h264Baseline,
                           AudioCodecChoice::aacLC);
  job.width = 240;
  job.height = 320;
  Export(job);
  auto picture = GrayPicture(job.outputPath, 1, 240, 320);
  ASSERT_FALSE(picture.empty());
  EXPECT_GT(MeanOfRows(picture, 240, 0, 8), kBlack);

  // 640x240 as seen: inside 352x288 it is 352x132, with 78 rows of black above.
  job = SmallJob(wide, folder.file("wide.mp4.mp4"), OutputContainer::mp4, VideoCodecChoice::h264Baseline,
                 AudioCodecChoice::aacLC);
  job.width = 352;
  job.height = 288;
  Export(job);
  picture = GrayPicture(job.outputPath, 1, 352, 288);
  ASSERT_FALSE(picture.empty());
  EXPECT_LT(MeanOfRows(picture, 352, 0, 74), kBlack);
  EXPECT_GT(MeanOfRows(picture, 352, 82, 8), kBlack);
  EXPECT_LT(MeanOfRows(picture, 352, 288 - 74, 74), kBlack);

  job.fit = PictureFit::stretch;
  Export(job);
  picture = GrayPicture(job.outputPath, 1, 352, 288);
  ASSERT_FALSE(picture.empty());
  EXPECT_GT(MeanOfRows(picture, 352, 0, 8), kBlack);
}

}  // namespace

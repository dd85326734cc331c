// A source joined from two recordings without re-encoding, as editors and phones write them:
// its sound overlaps at the seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <tuple>

#include "platform/media/ExportJob.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

TEST(PipelineJoinedSource, ExportsAcrossTheSeamWithItsSound) {
  TempDir folder;
  std::string piece = MakeSampleMovie(folder.path(), "piece.mp4", SampleMovie().lasting(3));
  ASSERT_FALSE(piece.empty());
  std::string list = folder.file("list.txt");
  std::ofstream(list) << "file '" << piece << "'\nfile '" << piece << "'\n";
  std::string joined = folder.file("joined.mp4");
  std::string join = "ffmpeg -v error -y -f concat -safe 0 -i '" + list + "' -c copy '" + joined + "'";
  ASSERT_EQ(std::system(join.c_str()), 0);

  for (auto [container, audio, name] : {std::tuple{OutputContainer::threeGPP, AudioCodecChoice::amrNB, "out.3gp"},
                                        std::tuple{OutputContainer::mp4, AudioCodecChoice::aacLC, "out.mp4"}}) {
    ExportJob job;
    job.sourcePath = joined;
    job.outputPath = folder.file(name);
    job.container = container;
    job.videoCodec = VideoCodecChoice::mpeg4Visual;
    job.audioCodec = audio;
    job.width = 176;
    job.height = 144;
    job.frameRate = 12;
    std::string reason;
    EXPECT_EQ(RunExportJob(job, nullptr, &reason), noErr) << name << ": " << reason;
    ProbedMovie movie = ProbeMovie(job.outputPath);
    ASSERT_TRUE(movie.stream("video") && movie.stream("audio")) << name;
    EXPECT_NEAR(movie.stream("video")->seconds, 6, 0.2) << name;
    EXPECT_NEAR(movie.stream("audio")->seconds, 6, 0.2) << name;
  }
}

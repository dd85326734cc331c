// What the transcoding pipeline makes of sources the component tests do not reach:
// no sound, a lower frame rate, turned and non-square pictures, joined recordings, and leftovers.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <numeric>
#include <tuple>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
}

#include "platform/media/pipeline/ExportPipeline.h"
#include "platform/media/stages/ExportJob.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

// Each of FFmpeg's MPEG-4 and H.263 encoders the export opens, as it is opened (observed on FFmpeg's
// own call, which the export reaches through this definition): its flags, whether it has every
// quality tool (rate-distortion decisions, trellis quantisation, SATD motion comparison, a motion
// search that weighs a still vector and the last picture's, four vectors a macroblock in MPEG-4, and
// key frames finer than FFmpeg's own ratio to the pictures before them),
// and whether the encodes made while the source decodes opened it. Those can be refused. Pictures
// given to such an encoder at a fixed quantiser elsewhere are counted.
struct OpenedEncoder {
  int flags = 0;
  bool tools = false;
  bool early = false;
};
std::mutex openedLock;
std::vector<OpenedEncoder> opened;
std::atomic<bool> refuseEarlyEncoders = false;
std::atomic<long> picturesAtQuantiserAfter = 0;

bool OnEarlyEncodesThread() {
  char thread[16] = {};
  pthread_getname_np(pthread_self(), thread, sizeof thread);
  return std::string(thread) == "early-encodes";
}

extern "C" int avcodec_send_frame(AVCodecContext* context, const AVFrame* frame) {
  static const auto real =
      reinterpret_cast<int (*)(AVCodecContext*, const AVFrame*)>(dlsym(RTLD_NEXT, "avcodec_send_frame"));
  if (frame && context->codec_type == AVMEDIA_TYPE_VIDEO && (context->flags & AV_CODEC_FLAG_QSCALE) &&
      !OnEarlyEncodesThread()) {
    ++picturesAtQuantiserAfter;
  }
  return real(context, frame);
}

extern "C" int avcodec_open2(AVCodecContext* context, const AVCodec* codec, AVDictionary** options) {
  static const auto real = reinterpret_cast<int (*)(AVCodecContext*, const AVCodec*, AVDictionary**)>(
      dlsym(RTLD_NEXT, "avcodec_open2"));
  if (codec && av_codec_is_encoder(codec) && (codec->id == AV_CODEC_ID_MPEG4 || codec->id == AV_CODEC_ID_H263)) {
    const bool early = OnEarlyEncodesThread();
    const AVDictionaryEntry* trellis = options ? av_dict_get(*options, "trellis", nullptr, 0) : nullptr;
    const AVDictionaryEntry* search = options ? av_dict_get(*options, "mpv_flags", nullptr, 0) : nullptr;
    const bool tools = context->mb_decision == FF_MB_DECISION_RD && context->me_cmp == FF_CMP_SATD &&
                       context->me_sub_cmp == FF_CMP_SATD && trellis && std::string(trellis->value) == "1" &&
                       search && std::string(search->value) == "+mv0" && context->last_predictor_count == 3 &&
                       bool(context->flags & AV_CODEC_FLAG_4MV) == (codec->id == AV_CODEC_ID_MPEG4) &&
                       context->i_quant_factor < 0 && context->i_quant_factor > -0.8f;
    std::lock_guard hold(openedLock);
    opened.push_back({context->flags, tools, early});
    if (early && refuseEarlyEncoders) return AVERROR(EINVAL);
  }
  return real(context, codec, options);
}

namespace {

// The quality tools in every encoder opened since the last look, first and second passes among them.
void ExpectQualityToolsInEveryPass() {
  std::lock_guard hold(openedLock);
  int passes = 0;
  for (const OpenedEncoder& encoder : opened) {
    EXPECT_TRUE(encoder.tools) << "flags " << encoder.flags;
    passes |= encoder.flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2);
  }
  EXPECT_EQ(passes, AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2);
  opened.clear();
}

ExportJob SmallJob(const std::string& source, const std::string& output,
                   OutputContainer container = OutputContainer::threeGPP) {
  const bool phone = container == OutputContainer::threeGPP;
  return {.sourcePath = source, .outputPath = output, .container = container,
          .videoCodec = phone ? VideoCodecChoice::mpeg4Visual : VideoCodecChoice::h264,
          .width = 176, .height = 144, .frameRate = 12, .videoBitRate = 64000,
          .audioCodec = phone ? AudioCodecChoice::amrNB : AudioCodecChoice::aacLC};
}

void Export(const ExportJob& job) {
  Failure failure;
  EXPECT_EQ(RunExportJob(job, nullptr, &failure), noErr) << int(failure.code) << " " << failure.detail;
}

// The sources are silent, and stay so; no frame rate goes above the source's.
TEST(Pipeline, TurnsUprightAndKeepsTheShapeUnlessStretched) {
  TempDir folder;
  const std::string turned = MakeSampleMovie(folder.path(), "turned.mp4", SampleMovie().audio("").turned(90));
  const std::string wide = MakeSampleMovie(folder.path(), "wide.mp4", SampleMovie().audio("").pixels("2/1"));
  // Upright, 240x320 fills 240x320, where unturned it would leave 70 rows of bars above and below.
  // 640x240 as seen fits 352x288 as 352x132, with 78 rows of bars above and below, unless stretched.
  for (const auto& [source, width, height, fit, bars, container] :
       {std::tuple{turned, 240, 320, PictureFit::keepShape, false, OutputContainer::threeGPP},
        {wide, 352, 288, PictureFit::keepShape, true, OutputContainer::mp4},
        {wide, 352, 288, PictureFit::stretch, false, OutputContainer::mp4}}) {
    SCOPED_TRACE(source + (bars ? " with bars" : ""));
    const std::string extension = container == OutputContainer::mp4 ? ".mp4" : ".3gp";
    ExportJob job = SmallJob(source, source + (bars ? ".bars" : "") + extension, container);
    job.width = width;
    job.height = height;
    job.fit = fit;
    job.frameRate = 50;
    Export(job);
    const ProbedMovie probed = ProbeMovie(job.outputPath);
    ASSERT_EQ(probed.streams.size(), 1u);
    EXPECT_NEAR(probed.streams[0].frameRate, 25, 0.01);
    const std::vector<uint8_t> picture = GrayPicture(job.outputPath, 1, width, height);
    ASSERT_FALSE(picture.empty());
    const int band = height / 5;
    auto lit = [&](int firstRow) {  // brighter than bars, which are luma 16
      auto begin = picture.begin() + long(firstRow) * width;
      return std::accumulate(begin, begin + long(band) * width, 0.0) / (band * width) > 30;
    };
    EXPECT_EQ(lit(0), !bars);
    EXPECT_EQ(lit(height - band), !bars);
    EXPECT_TRUE(lit(2 * band));
  }
}

// A lower frame rate shows, for each of its slots, the source picture a frame rate filter picks;
// a picture one source frame off scores under 30 dB here, a right one over 55. From a quarter
// down the picture is area-averaged and the pictures no other refers to go undeblocked.
// Pictures held a second each after a first second at 25 fps (a screen recording, an edited
// clip) are each shown for the whole second, wherever they fall between the output's slots.
TEST(Pipeline, ALowerRateShowsTheRightSourcePictures) {
  TempDir folder;
  struct Case {
    std::string source, scaling;
    size_t slots;
  };
  std::vector<Case> cases;
  for (auto [width, height, scaling] : {std::tuple{320, 240, "bicubic"}, std::tuple{800, 600, "area"}}) {
    cases.push_back({MakeSampleMovie(folder.path(), std::to_string(width) + ".mp4",
                                     SampleMovie().size(width, height).rate(30).audio("").lasting(2)),
                     scaling, 24});
  }
  for (int phase : {0, 7}) {  // source frames past the second: 1.0 s or 1.28 s into a 1/12 s slot
    const std::string held = folder.file("held-" + std::to_string(phase) + ".mp4");
    const std::string select = "\"select='lt(n,25)+not(mod(n-" + std::to_string(phase) + ",25))'\"";
    const bool made = RunFfmpeg("-f lavfi -i testsrc2=size=320x240:rate=25:duration=4 -vf " + select +
                                " -fps_mode passthrough -crf 10 '" + held + "'");
    cases.push_back({made ? held : "", "bicubic", size_t(std::lround(12 * (3.04 + phase / 25.0)))});
  }
  for (const Case& c : cases) {
    ASSERT_FALSE(c.source.empty());
    SCOPED_TRACE(c.source);
    ExportJob job = SmallJob(c.source, c.source + ".mp4", OutputContainer::mp4);
    job.frameRate = 12;
    job.videoBitRate = 1600000;
    job.fit = PictureFit::stretch;
    Export(job);
    const std::vector<double> psnr = PicturePsnr(job.outputPath, c.source, "fps=12,scale=176:144:flags=" + c.scaling);
    ASSERT_EQ(psnr.size(), c.slots);
    // The rate is held to the source's own; a neighbouring picture scores below 29 dB.
    EXPECT_GT(*std::min_element(psnr.begin(), psnr.end()), 40);
  }
}

// SMPTE HD bars, tagged BT.709 or in RGB (a screen recording), shrunk to a phone's size: players
// read such a movie by BT.601, and its green and cyan read as the source's do by its own matrix.
// Untouched BT.709 values come out some 20 levels brighter in green; converted through RGB by the
// scaler, the whole picture a code and a half darker. The output says so: BT.601's matrix, with the
// HD primaries and transfer it keeps. (The export test checks every format's tag.)
TEST(Pipeline, HDColoursLookTheSameAtAPhoneSize) {
  TempDir folder;
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i smptehdbars=size=1280x720:duration=1 -c:v png '" + folder.file("rgb.mov") + "'"));
  ASSERT_TRUE(RunFfmpeg("-i '" + folder.file("rgb.mov") +
                        "' -vf scale=out_color_matrix=bt709:flags=accurate_rnd,format=yuv420p -crf 0 -colorspace bt709 "
                        "-color_primaries bt709 -color_trc bt709 '" + folder.file("bt709.mp4") + "'"));
  const std::vector<uint8_t> meant = RgbPicture(folder.file("rgb.mov"), 0, 1280, 720, "bt709");
  ASSERT_FALSE(meant.empty());
  for (const std::string& source : {folder.file("bt709.mp4"), folder.file("rgb.mov")}) {
    SCOPED_TRACE(source);
    ExportJob job = SmallJob(source, source + ".3gp");
    job.videoBitRate = 1600000;
    job.fit = PictureFit::stretch;
    Export(job);
    const ProbedMovie probed = ProbeMovie(job.outputPath);
    ASSERT_TRUE(probed.stream("video"));
    EXPECT_EQ(probed.stream("video")->colourPrimaries, "bt709");
    EXPECT_EQ(probed.stream("video")->colourTransfer, "bt709");
    EXPECT_EQ(probed.stream("video")->colourMatrix, "smpte170m");
    const std::vector<uint8_t> seen = RgbPicture(job.outputPath, 0, 176, 144, "bt601");
    ASSERT_FALSE(seen.empty());
    // The cyan and green bars at a third of the height, clear of the colour ringing at their edges.
    for (double across : {0.375, 0.5}) {
      for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(seen[(48 * 176 + int(across * 176)) * 3 + channel],
                    meant[(240 * 1280 + int(across * 1280)) * 3 + channel], 6)
            << "bar at " << across << ", channel " << channel;
      }
    }
    // Mean luma against BT.601's of the source's colours, both full range here, in limited-range codes.
    double exactLuma = 0;
    for (size_t at = 0; at < meant.size(); at += 3) {
      exactLuma += 0.299 * meant[at] + 0.587 * meant[at + 1] + 0.114 * meant[at + 2];
    }
    const std::vector<uint8_t> luma = GrayPicture(job.outputPath, 0, 176, 144);
    const double meanLuma = std::accumulate(luma.begin(), luma.end(), 0.0) / luma.size();
    EXPECT_NEAR((meanLuma - exactLuma / (meant.size() / 3)) * 219 / 255, 0, 0.5);
  }
}

// Joined from two recordings without re-encoding, as editors and phones write them: the sound
// overlaps at the seam.
TEST(Pipeline, ExportsAJoinedSourceAcrossTheSeamWithItsSound) {
  TempDir folder;
  const std::string piece = MakeSampleMovie(folder.path(), "piece.mp4", SampleMovie().lasting(3));
  const std::string list = folder.write("list.txt", "file '" + piece + "'\nfile '" + piece + "'\n");
  const std::string joined = folder.file("joined.mp4");
  ASSERT_TRUE(RunFfmpeg("-f concat -safe 0 -i '" + list + "' -c copy '" + joined + "'"));

  ExportJob lowestMode = SmallJob(joined, folder.file("out.3gp"));
  lowestMode.audioBitRate = 4750;  // AMR-NB's lowest mode, which the settings dialog offers
  for (ExportJob job : {lowestMode, SmallJob(joined, folder.file("out.mp4"), OutputContainer::mp4)}) {
    SCOPED_TRACE(job.outputPath);
    Export(job);
    const ProbedMovie movie = ProbeMovie(job.outputPath);
    ASSERT_TRUE(movie.stream("video") && movie.stream("audio"));
    EXPECT_NEAR(movie.stream("video")->seconds, 6, 0.2);
    EXPECT_NEAR(movie.stream("audio")->seconds, 6, 0.2);
    if (job.audioCodec == AudioCodecChoice::amrNB) {
      EXPECT_LT(movie.stream("audio")->bitRate, 6000);
    }
  }
}

TEST(Pipeline, AFailureOrAStopLeavesNoWorkingFileBehind) {
  TempDir folder;
  // 352x288 at 25 fps keeps more frames than memory holds: they go to a file beside the output.
  const std::string source = MakeSampleMovie(folder.path(), "clip.mp4", SampleMovie().lasting(4));
  folder.write("old.3gp", "older bytes");
  Failure failure;
  ExportJob job = SmallJob(source, folder.file("old.3gp"));
  job.videoCodec = VideoCodecChoice::h263;  // a size H.263 cannot write
  job.width = 320;
  EXPECT_EQ(RunExportJob(job, nullptr, &failure), paramErr);
  EXPECT_EQ(failure.code, FailureCode::h263PictureSizes);
  EXPECT_EQ(ReadWholeFile(folder.file("old.3gp")), "older bytes");

  // Stopped while decoding, or in its second pass over an earlier output, a two-pass export leaves
  // that as it was; stopped in its second pass over no earlier output, it keeps what that pass
  // wrote; stopped in the look at the frames that follows the decoding (a third of the way) where
  // the rate cannot keep them all, it has written nothing. Each stop is taken at once, and none
  // leaves a working file.
  job = SmallJob(source, folder.file("old.3gp"));
  job.width = 352;
  job.height = 288;
  job.frameRate = 25;
  double stoppedAt = 0;
  // 200 kbit/s keeps every frame: no look at the frames before the second pass; 8 kbit/s does not.
  for (const auto& [stopAt, output, rate] : {std::tuple{0.05, "old.3gp", 200000L}, std::tuple{0.9, "old.3gp", 200000L},
                                              std::tuple{0.3, "thin.3gp", 8000L}, std::tuple{0.9, "new.3gp", 200000L}}) {
    SCOPED_TRACE(std::to_string(stopAt) + " " + output);
    job.outputPath = folder.file(output);
    job.videoBitRate = rate;
    EXPECT_EQ(RunExportJob(job, [&](double done) { return done > stopAt ? (stoppedAt = done, userCanceledErr) : noErr; },
                           &failure),
              userCanceledErr);
    EXPECT_LT(stoppedAt, stopAt + 0.05);
    EXPECT_EQ(ReadWholeFile(folder.file("old.3gp")), "older bytes");
    if (std::string(output) == "new.3gp") {
      const ProbedMovie kept = ProbeMovie(job.outputPath);
      ASSERT_TRUE(kept.stream("video"));
      EXPECT_GT(kept.stream("video")->seconds, 1);
      EXPECT_LT(kept.stream("video")->seconds, 3.9);
    }
    // The source, the old output and the new one once written.
    EXPECT_EQ(EntryNames(folder.path()).size(), std::string(output) == "new.3gp" ? 3u : 2u);
  }
}

// Where even the coarsest picture would spend more than the data rate allows, the video drops
// frames to land within 10% of it, and says so; in one pass it says what it took instead. (The export test holds the rate where it fits.)
TEST(Pipeline, HoldsTheDataRateAndSaysWhenItDropsFrames) {
  TempDir folder;
  const std::string source = MakeSampleMovie(folder.path(), "busy.mp4", SampleMovie().busy().lasting(11));
  ExportJob job = SmallJob(source, folder.file("busy.amc"));  // MPEG-4 Visual, with AAC as AMC holds it
  job.container = OutputContainer::amc;
  job.audioCodec = AudioCodecChoice::aacLC;
  job.width = 352;
  job.height = 288;
  job.videoBitRate = 4096 * 8;
  Failure failure;
  Failure notice;
  opened.clear();
  ASSERT_EQ(RunExportJob(job, nullptr, &failure, &notice), noErr) << int(failure.code) << " " << failure.detail;
  ExpectQualityToolsInEveryPass();
  const ProbedMovie written = ProbeMovie(job.outputPath);
  ASSERT_TRUE(written.stream("video"));
  EXPECT_NEAR(double(written.stream("video")->bitRate) / job.videoBitRate, 1.0, 0.10);
  EXPECT_LT(written.stream("video")->frameRate, 11.9);
  EXPECT_EQ(notice.code, FailureCode::framesDroppedForRate);

  // Encoded as it is decoded, the picture keeps every frame and overshoots: it says so, and
  // nothing where the rate holds.
  job.onePass = true;
  notice = {};
  ASSERT_EQ(RunExportJob(job, nullptr, &failure, &notice), noErr) << int(failure.code) << " " << failure.detail;
  EXPECT_EQ(notice.code, FailureCode::rateExceededByPicture);
  EXPECT_GT(double(ProbeMovie(job.outputPath).stream("video")->bitRate) / job.videoBitRate, 1.25);
  job.videoBitRate *= 64;
  notice = {};
  ASSERT_EQ(RunExportJob(job, nullptr, &failure, &notice), noErr) << int(failure.code) << " " << failure.detail;
  EXPECT_FALSE(notice) << int(notice.code);
}

// Players seek to key frames: a hard cut gets one at once, whatever the encoder, and a long take
// without one gets one every 10 s at least. The quality tools stay on at the rate that writes
// finest quantisers too.
TEST(Pipeline, KeyFramesFollowCutsAndComeEveryTenSeconds) {
  TempDir folder;
  const std::string cut = folder.file("cut.mp4");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc2=size=176x144:rate=12:duration=3 -f lavfi -i "
                        "smptebars=size=176x144:rate=12:duration=12 -filter_complex '[0:v][1:v]concat=n=2,"
                        "format=yuv420p' -c:v libx264 -preset veryfast '" + cut + "'"));
  opened.clear();
  for (const auto& [codec, container] : {std::pair{VideoCodecChoice::mpeg4Visual, OutputContainer::threeGPP},
                                         std::pair{VideoCodecChoice::h263, OutputContainer::threeGPP},
                                         std::pair{VideoCodecChoice::h264, OutputContainer::mp4}}) {
    ExportJob job = SmallJob(cut, folder.file("cut." + std::to_string(int(codec))), container);
    SCOPED_TRACE(job.outputPath);
    job.videoCodec = codec;
    job.videoBitRate = 8192 * 8;
    // H.264 in one pass too, as a picture too large to keep is written; High's B-frames in both.
    for (bool onePass : {false, true}) {
      if (onePass && codec != VideoCodecChoice::h264) continue;
      job.onePass = onePass;
      Export(job);
      bool reordered = false;
      std::vector<double> keys = KeyFrameTimes(job.outputPath, &reordered);
      ASSERT_FALSE(keys.empty());
      EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [](double at) { return at >= 3 && at <= 3 + 2 / 12.0; }));
      keys.push_back(ProbeMovie(job.outputPath).seconds);
      for (size_t next = 1; next < keys.size(); ++next) EXPECT_LE(keys[next] - keys[next - 1], 10 + 1 / 12.0);
      EXPECT_EQ(reordered, codec == VideoCodecChoice::h264) << onePass;
    }
  }
  ExpectQualityToolsInEveryPass();
}

// The encodes made while the source decodes (statistics at the quantiser a low rate needs, what a
// high rate's pictures take at the finest, which are then written as they are) change nothing but
// the time: the movie is the very one made where they fail and the second half makes them itself.
// Where it takes them, the finest is not encoded again.
TEST(Pipeline, EncodingWhileDecodingChangesNothingButTheTime) {
  TempDir folder;
  const std::string source = MakeSampleMovie(folder.path(), "busy.mp4", SampleMovie().lasting(6));
  for (long rate : {24000L, 600000L}) {
    SCOPED_TRACE(rate);
    std::string written[2];
    long picturesAfter[2] = {};
    for (bool refuse : {false, true}) {
      ExportJob job = SmallJob(source, folder.file(std::to_string(refuse) + ".3gp"));
      job.width = 128;  // small enough for the finest quantiser to fit the highest rate
      job.height = 96;
      job.videoBitRate = rate;
      opened.clear();  // the export's threads have all ended before and after it
      picturesAtQuantiserAfter = 0;
      refuseEarlyEncoders = refuse;
      Export(job);
      refuseEarlyEncoders = false;
      EXPECT_TRUE(std::any_of(opened.begin(), opened.end(), [](const OpenedEncoder& encoder) { return encoder.early; }));
      picturesAfter[refuse] = picturesAtQuantiserAfter;
      written[refuse] = ReadWholeFile(job.outputPath);
    }
    EXPECT_TRUE(!written[0].empty() && written[0] == written[1]);
    EXPECT_GT(picturesAfter[1], 0);
    if (rate > 100000) {
      EXPECT_EQ(picturesAfter[0], 0);
    }
  }
}

}  // namespace

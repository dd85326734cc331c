#include "platform/media/stages/EncoderSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "platform/media/stages/AmrNbModes.h"
#include "platform/media/stages/FfmpegErrors.h"

namespace {

// A key frame at least this often, so that a player seeking lands near where it was asked; the
// encoders put more where the picture changes (FFmpeg's own and x264 detect scene cuts by default),
// and a stretch without a cut spends little on key frames.
constexpr double kDefaultKeyFrameSeconds = 10.0;
// At phone sizes x264 costs little next to decoding the source, which happens once here: this is
// the slowest preset that keeps a two-pass ".mp4" well within half the time of HandBrake's two passes,
// which decode the source for each (bench/run.sh mp4phone); "veryslow" would cost far more for little.
constexpr const char* kX264Preset = "slower";
// A picture too large to keep is encoded once, as it is decoded, and there the encoder's time counts:
// "medium" with its B-frames (1080p30 to 960x540 at 64 KB/s: 0.85x the time of x264 "slow" in
// ffmpeg, with 0.2 dB more PSNR for 1% fewer bytes); "fast" without B-frames took 0.78x but 0.4 dB less.
constexpr const char* kX264OnePassPreset = "medium";
constexpr long kLeastX264BitRate = 1000;
constexpr long kDefaultAacBitRatePerChannel = 64000;

// Rate control holds this many seconds of data, the second pass this many at its ceiling; see
// OpenVideoEncoder.
constexpr int kRateBufferSeconds = 2;
constexpr int kPeakBufferSeconds = 4;
// A key frame's quantiser against the pictures' before it: finer than FFmpeg's 0.8, as x264's
// ratio of 1.4 is, since every picture up to the next key frame is built on it (a still street
// scene at 8 KB/s: 0.27 dB, and its SSIM from below ffmpeg's to above).
constexpr float kKeyFrameQuantiserFactor = -1 / 1.4f;
// MPEG-4's finest quantiser, whose decisions the finest pictures are made with.
constexpr int kFinestDecisions = 1;
constexpr AVRational kLowestBufferedRate = {1, kRateBufferSeconds};

OSErr OpenEncoder(const AVCodec* codec, FfmpegOptions* options, CodecContextPtr context, CodecContextPtr* encoder,
                  Failure* failure) {
  int result = avcodec_open2(context.get(), codec, options->get());
  if (result < 0) {
    *failure = {FailureCode::cannotStartEncoder, {}, std::string(codec->name) + ": " + AVErrorText(result)};
    return OSErrFromAVError(result);
  }
  *encoder = std::move(context);
  return noErr;
}

const char* VideoEncoderName(VideoCodecChoice choice) {
  switch (choice) {
    case VideoCodecChoice::mpeg4Visual:
      return "mpeg4";
    case VideoCodecChoice::h263:
      return "h263";
    case VideoCodecChoice::h264:
      return "libx264";
    case VideoCodecChoice::none:
      break;
  }
  return nullptr;
}

int NearestSupportedRate(const AVCodec* codec, int wanted) {
  if (!codec->supported_samplerates) return wanted;
  int best = codec->supported_samplerates[0];
  for (const int* rate = codec->supported_samplerates; *rate; ++rate) {
    if (std::abs(*rate - wanted) < std::abs(best - wanted)) best = *rate;
  }
  return best;
}

// The quality tools phones' Simple profile and baseline H.263 allow (no B-frames, quarter-pel or
// global motion compensation, which stay off): rate-distortion macroblock decisions, trellis
// quantisation and SATD motion comparison. Four vectors per macroblock are MPEG-4's own; in H.263
// they need an annex baseline players lack. At a phone's picture size they cost little next to
// decoding the source, so every pass uses them: statistics gathered without them would misjudge
// what the second pass spends.
void UseQualityTools(AVCodecContext* context, FfmpegOptions* options, VideoCodecChoice codec) {
  context->mb_decision = FF_MB_DECISION_RD;
  context->me_cmp = FF_CMP_SATD;
  context->me_sub_cmp = FF_CMP_SATD;
  options->set("trellis", "1");
  // The motion search also weighs standing still and starts from three of the last picture's
  // vectors: a tenth of a dB on camera footage for a few percent more encoding.
  options->set("mpv_flags", "+mv0");
  context->last_predictor_count = 3;
  if (codec == VideoCodecChoice::mpeg4Visual) context->flags |= AV_CODEC_FLAG_4MV;
  // Negative: of the last predicted picture's quantiser, wherever the rate control sets them.
  context->i_quant_factor = kKeyFrameQuantiserFactor;
  // The quantiser stops at FFmpeg's least (2), but a rate that affords it may go on buying picture
  // by deciding as at MPEG-4's finest (1): a terminal recording at 64 KB/s, 1.2 dB for 15% more
  // bytes, still 4% of the rate.
  options->set("lmin", std::to_string(kFinestDecisions * FF_QP2LAMBDA).c_str());
}

}  // namespace

bool HasTwoPassRateControl(VideoCodecChoice codec) {
  return codec == VideoCodecChoice::mpeg4Visual || codec == VideoCodecChoice::h263;
}

bool CanEncodeInTwoPasses(VideoCodecChoice codec) {
  return HasTwoPassRateControl(codec) || codec == VideoCodecChoice::h264;
}

AVRational OutputFrameRate(const ExportJob& job, AVRational sourceRate) {
  if (sourceRate.num <= 0 || sourceRate.den <= 0) sourceRate = {kGuessedFrameRate, 1};
  AVRational rate = sourceRate;
  if (job.frameRate > 0 && job.frameRate < av_q2d(sourceRate)) rate = av_d2q(job.frameRate, 65535);
  // MPEG-4 and H.263 time bases must fit in 16 bits.
  if (rate.num > 65535 || rate.den > 65535) rate = av_d2q(av_q2d(rate), 65535);
  // FFmpeg's own encoders refuse a frame longer than their rate control's buffer; a slower slide
  // show repeats each picture at the lowest rate they take, and the repeats cost next to nothing.
  if (job.videoCodec != VideoCodecChoice::h264 && av_cmp_q(rate, kLowestBufferedRate) < 0) {
    rate = kLowestBufferedRate;
  }
  return rate;
}

OSErr OpenVideoEncoder(const ExportJob& job, AVRational frameRate, const ColourDescription& colours, bool globalHeader,
                       CodecContextPtr* encoder, Failure* failure, const EncoderPass& pass) {
  const char* name = VideoEncoderName(job.videoCodec);
  const AVCodec* codec = name ? avcodec_find_encoder_by_name(name) : nullptr;
  if (!codec) {
    *failure = {FailureCode::videoEncoderMissing};
    return cantFindHandler;
  }
  if (job.videoCodec == VideoCodecChoice::h263 && !IsStandardH263Size(job.width, job.height)) {
    *failure = {FailureCode::h263PictureSizes};
    return paramErr;
  }
  CodecContextPtr context(avcodec_alloc_context3(codec));
  if (!context) return memFullErr;
  context->width = job.width;
  context->height = job.height;
  context->pix_fmt = AV_PIX_FMT_YUV420P;
  context->sample_aspect_ratio = {1, 1};
  DescribeColours(colours, context.get());
  context->time_base = av_inv_q(frameRate);
  context->framerate = frameRate;
  context->gop_size = job.keyFrameInterval > 0
                          ? job.keyFrameInterval
                          : std::max(1, int(std::lround(av_q2d(frameRate) * kDefaultKeyFrameSeconds)));
  // Simple and Baseline profiles have none; in High, x264's preset chooses.
  context->max_b_frames = job.videoCodec == VideoCodecChoice::h264 && !job.baselineProfile ? -1 : 0;
  long bitRate = pass.bitRate > 0 ? pass.bitRate : job.videoBitRate;
  // x264 counts its rate in whole kilobits a second and refuses none at all (leaking what it had
  // set up): a still picture's source can spend less.
  if (job.videoCodec == VideoCodecChoice::h264 && bitRate > 0) bitRate = std::max(bitRate, kLeastX264BitRate);
  std::string statistics;
  if (pass.fixedQuantiser > 0) {
    context->flags |= AV_CODEC_FLAG_QSCALE;
    // At FFmpeg's finest quantiser, a movie written whole is decided as at MPEG-4's finest, as the
    // rate control may (see UseQualityTools). Statistics keep the quantiser's own decisions, which
    // the second pass's model of them assumes.
    const bool finest = pass.fixedQuantiser <= context->qmin && pass.number == 0;
    context->global_quality = (finest ? kFinestDecisions : pass.fixedQuantiser) * FF_QP2LAMBDA;
    // Statistics gathered at a fixed quantiser model the second pass near that quantiser.
    if (pass.number == 1 && HasTwoPassRateControl(job.videoCodec)) context->flags |= AV_CODEC_FLAG_PASS1;
  } else if (pass.number > 0 && HasTwoPassRateControl(job.videoCodec)) {
    // The second pass spends the bits where its statistics say they count; a ceiling of twice the
    // mean over four seconds keeps a phone's buffer from running dry on a busy stretch. Over two,
    // a long movie's busy stretches came out blocky at a low rate (a 79 s street scene at 8 KB/s:
    // 0.17 dB behind four).
    context->bit_rate = bitRate;
    context->rc_max_rate = bitRate * 2;
    context->rc_buffer_size = int(std::min<long>(context->rc_max_rate * kPeakBufferSeconds, INT32_MAX));
    // FFmpeg's tolerance is how far the bits spent may stray before the quantiser is pulled back;
    // its default of 4 Mbit lets a phone's rate miss by 15% and more.
    context->bit_rate_tolerance = int(std::min<long>(bitRate * 2, INT32_MAX));
    context->flags |= pass.number == 1 ? AV_CODEC_FLAG_PASS1 : AV_CODEC_FLAG_PASS2;
    // Read while the encoder opens, which writes into it as it reads: a copy of the caller's, so
    // that the same statistics serve the next try.
    if (pass.number == 2 && pass.statistics) {
      statistics = pass.statistics;
      context->stats_in = statistics.data();
    }
  } else if (pass.number > 0 && pass.statistics && job.videoCodec == VideoCodecChoice::h264) {
    context->bit_rate = bitRate;  // x264's own two-pass rate control, on its average rate
    context->flags |= pass.number == 1 ? AV_CODEC_FLAG_PASS1 : AV_CODEC_FLAG_PASS2;
  } else if (bitRate > 0) {
    context->bit_rate = bitRate;
    // A ceiling at the mean over a two-second buffer holds FFmpeg's own encoders within a few
    // percent even on pictures too busy for the rate (its MPEG-4 warns about it, needlessly).
    // x264's average-rate control lands closer without one: its ceiling overshoots by some 5%
    // and costs a tenth of the encoding time.
    if (job.videoCodec != VideoCodecChoice::h264) {
      context->rc_max_rate = bitRate;
      context->rc_buffer_size = int(std::min<long>(bitRate * kRateBufferSeconds, INT32_MAX));
    }
  }
  if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

  FfmpegOptions options;
  if (HasTwoPassRateControl(job.videoCodec)) UseQualityTools(context.get(), &options, job.videoCodec);
  if (job.videoCodec == VideoCodecChoice::mpeg4Visual) {
    context->profile = FF_PROFILE_MPEG4_SIMPLE;
  } else if (job.videoCodec == VideoCodecChoice::h264) {
    context->thread_count = 0;  // x264's own threads, one per core and a half
    options.set("profile", job.baselineProfile ? "baseline" : "high");
    const bool once = pass.number == 0 && !pass.fromStoredFrames;
    options.set("preset", once ? kX264OnePassPreset : kX264Preset);
    // At a phone's picture size and rate, x264's psychovisual tuning spends bits keeping texture the
    // small picture cannot show, and its adaptive quantisation takes too many from flat areas: a
    // third of the one and four fifths of the other gave seven real movies at 16 and 64 KB/s
    // 0.38 dB more on average, every one of them more.
    options.set("psy-rd", "0.3:0");
    options.set("aq-strength", "0.8");
    if (pass.number > 0 && pass.statistics) options.set("stats", pass.statistics);
    // Beyond HD, x264's look-ahead, reference frames and frame threads would hold gigabytes
    // (4096 x 4096: over 2 GB); one thread, no look-ahead and no B-frames keep it near half a gigabyte.
    if (long(job.width) * job.height > kLargestHDPicture) {
      context->thread_count = 1;
      context->refs = 1;
      context->max_b_frames = 0;
      options.set("rc-lookahead", "0");
    }
  }
  OSErr status = OpenEncoder(codec, &options, std::move(context), encoder, failure);
  if (status == noErr) (*encoder)->stats_in = nullptr;
  return status;
}

OSErr OpenAudioEncoder(const ExportJob& job, int sourceSampleRate, int sourceChannels, bool globalHeader,
                       CodecContextPtr* encoder, Failure* failure) {
  bool amr = job.audioCodec == AudioCodecChoice::amrNB;
  const AVCodec* codec = avcodec_find_encoder_by_name(amr ? "libopencore_amrnb" : "aac");
  if (job.audioCodec == AudioCodecChoice::none || !codec) {
    *failure = {FailureCode::soundEncoderMissing};
    return cantFindHandler;
  }
  CodecContextPtr context(avcodec_alloc_context3(codec));
  if (!context) return memFullErr;
  int channels = amr ? 1 : std::clamp(job.audioChannels > 0 ? job.audioChannels : sourceChannels, 1, 2);
  av_channel_layout_default(&context->ch_layout, channels);
  context->sample_rate =
      amr ? 8000 : NearestSupportedRate(codec, job.audioSampleRate > 0 ? job.audioSampleRate : sourceSampleRate);
  context->sample_fmt = codec->sample_fmts[0];
  long defaultBitRate = amr ? kAmrNbModes.back().bitRate : kDefaultAacBitRatePerChannel * channels;
  context->bit_rate = job.audioBitRate > 0 ? job.audioBitRate : defaultBitRate;
  context->time_base = {1, context->sample_rate};
  if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  FfmpegOptions options;
  return OpenEncoder(codec, &options, std::move(context), encoder, failure);
}

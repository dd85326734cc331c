#include "platform/media/stages/FilterChain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

#include "platform/media/stages/FfmpegErrors.h"

namespace {

constexpr int kLargeShrinkFactor = 4;
constexpr int kLowestFilteredRate = 100;  // Hz

int EvenAtLeastTwo(double value) { return std::max(2, int(std::lround(value / 2)) * 2); }

const char* RotationFilters(int rotationDegrees) {
  switch (rotationDegrees) {
    case 90:
      return ",transpose=clock";
    case 180:
      return ",hflip,vflip";
    case 270:
      return ",transpose=cclock";
    default:
      return "";
  }
}

// Joins source -> description -> sink and configures the graph.
OSErr ConnectChain(FilterChain* chain, const std::string& description, Failure* failure) {
  FilterInOutPtr outputs(avfilter_inout_alloc());
  FilterInOutPtr inputs(avfilter_inout_alloc());
  if (!outputs || !inputs) return memFullErr;
  outputs->name = av_strdup("in");
  outputs->filter_ctx = chain->source;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = chain->sink;

  AVFilterInOut* openOutputs = outputs.release();
  AVFilterInOut* openInputs = inputs.release();
  int result = avfilter_graph_parse_ptr(chain->graph.get(), description.c_str(), &openInputs, &openOutputs, nullptr);
  FilterInOutPtr leftInputs(openInputs), leftOutputs(openOutputs);
  if (result >= 0) result = avfilter_graph_config(chain->graph.get(), nullptr);
  if (result < 0) {
    *failure = {FailureCode::cannotSetUpFilters, {}, AVErrorText(result)};
    return OSErrFromAVError(result);
  }
  return noErr;
}

OSErr MakeEnds(FilterChain* chain, const char* sourceName, const std::string& sourceArgs, const char* sinkName,
               Failure* failure) {
  chain->graph.reset(avfilter_graph_alloc());
  if (!chain->graph) return memFullErr;
  int result = avfilter_graph_create_filter(&chain->source, avfilter_get_by_name(sourceName), "in", sourceArgs.c_str(),
                                            nullptr, chain->graph.get());
  if (result >= 0) {
    result = avfilter_graph_create_filter(&chain->sink, avfilter_get_by_name(sinkName), "out", nullptr, nullptr,
                                          chain->graph.get());
  }
  if (result < 0) {
    *failure = {FailureCode::cannotSetUpFilters, {}, AVErrorText(result)};
    return OSErrFromAVError(result);
  }
  return noErr;
}

}  // namespace

PictureLayout FitPicture(int codedWidth, int codedHeight, AVRational sampleAspect, int rotationDegrees, int outputWidth,
                         int outputHeight, bool stretch) {
  PictureLayout layout;
  layout.rotationDegrees = rotationDegrees;
  layout.outputWidth = outputWidth;
  layout.outputHeight = outputHeight;
  bool quarterTurn = rotationDegrees == 90 || rotationDegrees == 270;

  int fittedWidth = outputWidth, fittedHeight = outputHeight;  // upright, as shown
  if (!stretch) {
    double aspect = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    double shownWidth = codedWidth * aspect, shownHeight = codedHeight;
    if (quarterTurn) std::swap(shownWidth, shownHeight);
    double scale = std::min(outputWidth / shownWidth, outputHeight / shownHeight);
    fittedWidth = std::min(outputWidth, EvenAtLeastTwo(shownWidth * scale));
    fittedHeight = std::min(outputHeight, EvenAtLeastTwo(shownHeight * scale));
  }
  layout.padLeft = (outputWidth - fittedWidth) / 4 * 2;  // even offsets keep chroma aligned
  layout.padTop = (outputHeight - fittedHeight) / 4 * 2;
  layout.scaledWidth = quarterTurn ? fittedHeight : fittedWidth;
  layout.scaledHeight = quarterTurn ? fittedWidth : fittedHeight;
  layout.shrinksFourfold = layout.scaledWidth * kLargeShrinkFactor <= codedWidth &&
                           layout.scaledHeight * kLargeShrinkFactor <= codedHeight;
  return layout;
}

OSErr BuildVideoFilterChain(const AVFrame& firstFrame, AVRational timeBase, AVRational frameRate,
                            const PictureLayout& layout, const std::string& matrixConversion,
                            AVPixelFormat outputFormat, FilterChain* chain, Failure* failure) {
  AVRational sar = firstFrame.sample_aspect_ratio.num > 0 ? firstFrame.sample_aspect_ratio : AVRational{1, 1};
  char sourceArgs[256];
  std::snprintf(sourceArgs, sizeof sourceArgs, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                firstFrame.width, firstFrame.height, firstFrame.format, timeBase.num, timeBase.den, sar.num, sar.den);
  OSErr status = MakeEnds(chain, "buffer", sourceArgs, "buffersink", failure);
  if (status != noErr) return status;
  // Bicubic keeps a downscale as sharp as the reference tools make it. Its kernel spans four times
  // the shrink factor, though, which makes a 4K picture cost more to shrink to a phone's screen
  // than to decode; from a quarter down, averaging each output pixel's area costs a third as
  // much and leaves no aliasing either.
  chain->graph->scale_sws_opts = av_strdup(layout.shrinksFourfold ? "flags=area" : "flags=bicubic");

  char description[512];
  std::snprintf(
      description, sizeof description,
      "scale=%d:%d%s,setsar=1,pad=%d:%d:%d:%d:black,format=%s%s%s,fps=%d/%d:start_time=0",
      layout.scaledWidth, layout.scaledHeight, RotationFilters(layout.rotationDegrees), layout.outputWidth,
      layout.outputHeight, layout.padLeft, layout.padTop, av_get_pix_fmt_name(outputFormat),
      matrixConversion.empty() ? "" : ",", matrixConversion.c_str(), frameRate.num, frameRate.den);
  return ConnectChain(chain, description, failure);
}

OSErr BuildAudioFilterChain(const AVFrame& firstFrame, AVRational timeBase, double spanSeconds,
                            const AVCodecContext& encoder, FilterChain* chain, Failure* failure) {
  char inputLayout[128] = {}, outputLayout[128] = {};
  AVChannelLayout frameLayout = {};
  if (firstFrame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&frameLayout, firstFrame.ch_layout.nb_channels);
  } else {
    av_channel_layout_copy(&frameLayout, &firstFrame.ch_layout);
  }
  av_channel_layout_describe(&frameLayout, inputLayout, sizeof inputLayout);
  av_channel_layout_uninit(&frameLayout);
  av_channel_layout_describe(&encoder.ch_layout, outputLayout, sizeof outputLayout);

  char sourceArgs[512];
  std::snprintf(sourceArgs, sizeof sourceArgs, "time_base=%d/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s",
                timeBase.num, timeBase.den, firstFrame.sample_rate,
                av_get_sample_fmt_name(AVSampleFormat(firstFrame.format)), inputLayout);
  OSErr status = MakeEnds(chain, "abuffer", sourceArgs, "abuffersink", failure);
  if (status != noErr) return status;

  // async: a joined or edited source's sound overlaps or skips at the seams; dropping and filling
  // samples there keeps the output's timestamps rising, as its muxer requires.
  // The resampler's filter spans 32 input samples, seconds of a track recorded at a few hertz, and
  // a short such track never fills it: below kLowestFilteredRate each sample is simply held.
  char description[512];
  int frameSize = encoder.frame_size > 0 ? encoder.frame_size : 1024;
  const char* shortFilter = firstFrame.sample_rate < kLowestFilteredRate ? ":filter_size=1:phase_shift=0" : "";
  std::snprintf(description, sizeof description,
                "atrim=start=0:end=%.6f,aresample=%d:async=1%s,"
                "aformat=sample_fmts=%s:sample_rates=%d:channel_layouts=%s,asetnsamples=n=%d:p=0",
                spanSeconds, encoder.sample_rate, shortFilter, av_get_sample_fmt_name(encoder.sample_fmt),
                encoder.sample_rate, outputLayout, frameSize);
  return ConnectChain(chain, description, failure);
}

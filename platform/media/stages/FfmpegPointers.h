// Every FFmpeg object the media code holds lives in one of these, so that no path can leak one.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

struct InputFormatCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
// An output context owns its I/O context only once the file has been opened.
struct OutputFormatCloser {
  void operator()(AVFormatContext* context) const {
    if (context->pb && !(context->oformat->flags & AVFMT_NOFILE)) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};
struct CodecContextFreer {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FilterGraphFreer {
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct FilterInOutFreer {
  void operator()(AVFilterInOut* inOut) const { avfilter_inout_free(&inOut); }
};

using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatCloser>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphFreer>;
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, FilterInOutFreer>;

// Options for one FFmpeg open call, which takes out those it uses.
class FfmpegOptions {
 public:
  FfmpegOptions() = default;
  ~FfmpegOptions() { av_dict_free(&dictionary_); }
  FfmpegOptions(const FfmpegOptions&) = delete;
  FfmpegOptions& operator=(const FfmpegOptions&) = delete;

  void set(const char* key, const char* value) { av_dict_set(&dictionary_, key, value, 0); }
  AVDictionary** get() { return &dictionary_; }

 private:
  AVDictionary* dictionary_ = nullptr;
};

inline FramePtr MakeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr MakePacket() { return PacketPtr(av_packet_alloc()); }
// A packet of its own holding what `from` held (which is left empty); nullptr without memory.
inline PacketPtr MovedPacket(AVPacket* from) {
  PacketPtr kept = MakePacket();
  if (kept) av_packet_move_ref(kept.get(), from);
  return kept;
}

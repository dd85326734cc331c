// The sample rate, sample format and channel layout a sound filter chain was built for. Joined
// recordings change them at a seam (stereo, then 5.1; 44.1 kHz, then 48), and a chain takes only
// the shape it was built for.
#pragma once

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

class SoundShape {
 public:
  SoundShape() = default;
  ~SoundShape() { av_channel_layout_uninit(&layout_); }
  SoundShape(const SoundShape&) = delete;
  SoundShape& operator=(const SoundShape&) = delete;

  void takeFrom(const AVFrame& frame) {
    sampleRate_ = frame.sample_rate;
    format_ = frame.format;
    av_channel_layout_uninit(&layout_);
    av_channel_layout_copy(&layout_, &frame.ch_layout);
  }

  bool matches(const AVFrame& frame) const {
    return frame.sample_rate == sampleRate_ && frame.format == format_ &&
           av_channel_layout_compare(&frame.ch_layout, &layout_) == 0;
  }

 private:
  int sampleRate_ = 0;
  int format_ = -1;
  AVChannelLayout layout_ = {};
};

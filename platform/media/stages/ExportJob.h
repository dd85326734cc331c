// One export, fully resolved: what the transcoding pipeline is asked to write. The export
// components turn their settings and the output file's name into one of these.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "platform/MacTypes.h"
#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"

enum class VideoCodecChoice { none, mpeg4Visual, h263, h264 };
enum class AudioCodecChoice { none, aacLC, amrNB };
enum class PictureFit { keepShape, stretch };

// The only picture sizes H.263 can write.
inline constexpr std::array<std::pair<int, int>, 5> kH263Sizes{
    {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}}};
inline bool IsStandardH263Size(int width, int height) {
  return std::find(kH263Sizes.begin(), kH263Sizes.end(), std::pair{width, height}) != kH263Sizes.end();
}

// A picture side as the encoders write it: 4:2:0 pictures halve both sides for their colour, so
// an odd side becomes the next even one (a fraction the nearest), within kPictureSideRange.
inline int EvenPictureSide(double pixels) {
  const long even = 2 * std::lround(pixels / 2);
  return int(std::clamp<long>(even, long(kPictureSideRange.least), long(kPictureSideRange.most)));
}

// A source that tells no frame rate of its own is taken to show this many pictures a second, as
// FFmpeg's raw video readers take a stream that tells none.
inline constexpr int kGuessedFrameRate = 25;

// Beyond this many pixels a picture is larger than HD, and its buffers count.
inline constexpr long kLargestHDPicture = 1920L * 1088;

struct ExportJob {
  std::string sourcePath;
  std::string outputPath;  // replaced as a whole, never left half-written
  OutputContainer container = OutputContainer::mp4;

  // The span of the source to export, in seconds.
  double startSeconds = 0;
  double durationSeconds = 0;

  VideoCodecChoice videoCodec = VideoCodecChoice::h264;
  bool baselineProfile = false;  // H.264 that older phones play: no B-frames, CABAC or 8x8 transforms
  int width = 0;            // whole even pixels within kPictureSideRange
  int height = 0;
  double frameRate = 0;     // 0: the source's rate; never above it
  int keyFrameInterval = 0; // frames; 0: the pipeline picks one
  long videoBitRate = 0;    // bits per second; 0: the codec's quality default
  PictureFit fit = PictureFit::keepShape;
  long sizeLimitBytes = 0;  // the most the whole file may take; 0: no limit
  bool onePass = false;     // encode frames as they come, never keeping them for a second pass

  AudioCodecChoice audioCodec = AudioCodecChoice::aacLC;
  long audioBitRate = 0;    // bits per second
  int audioSampleRate = 0;  // Hz
  int audioChannels = 0;
};

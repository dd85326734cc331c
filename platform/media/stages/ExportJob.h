// One export, fully resolved: what the transcoding pipeline is asked to write. The export
// components turn their settings and the output file's name into one of these.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/MacTypes.h"

enum class OutputContainer { mp4, threeGPP, threeGPP2, amc };

enum class VideoCodecChoice { none, mpeg4Visual, h263, h264Baseline };
enum class AudioCodecChoice { none, aacLC, amrNB };
enum class PictureFit { keepShape, stretch };

// The only picture sizes H.263 can write.
inline constexpr std::array<std::pair<int, int>, 5> kH263Sizes{
    {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}}};
inline bool IsStandardH263Size(int width, int height) {
  return std::find(kH263Sizes.begin(), kH263Sizes.end(), std::pair{width, height}) != kH263Sizes.end();
}

// The picture sides the encoders write, in pixels; options and fields are held to these.
inline constexpr int kSmallestPictureSide = 16;
inline constexpr int kLargestPictureSide = 4096;

// Beyond this many pixels a picture is larger than HD, and its buffers count.
inline constexpr long kLargestHDPicture = 1920L * 1088;

struct ExportJob {
  std::string sourcePath;
  std::string outputPath;  // replaced as a whole, never left half-written
  OutputContainer container = OutputContainer::mp4;

  // The span of the source to export, in seconds.
  double startSeconds = 0;
  double durationSeconds = 0;

  VideoCodecChoice videoCodec = VideoCodecChoice::h264Baseline;
  int width = 0;            // whole even pixels, 16..4096
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

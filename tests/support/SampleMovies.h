// Sample movies made with the ffmpeg tool for tests, and what ffprobe finds in a movie.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SampleMovie {
  std::string container = "mp4";       // the file's extension, which picks the muxer
  std::string videoCodec = "libx264";  // an ffmpeg encoder; empty for no picture
  std::string audioCodec = "aac";      // empty for no sound
  int width = 320, height = 240;
  double frameRate = 25, seconds = 2;
  int rotationDegrees = 0;   // clockwise turn recorded in the metadata
  std::string sampleAspect;  // pixel aspect ratio such as "2/1"; empty for square pixels
  bool busyPicture = false;  // noise that keeps an encoder at its data rate

  SampleMovie& in(std::string format) { return container = std::move(format), *this; }
  SampleMovie& video(std::string codec) { return videoCodec = std::move(codec), *this; }
  SampleMovie& audio(std::string codec) { return audioCodec = std::move(codec), *this; }
  SampleMovie& size(int w, int h) { return width = w, height = h, *this; }
  SampleMovie& lasting(double s) { return seconds = s, *this; }
  SampleMovie& rate(double fps) { return frameRate = fps, *this; }
  SampleMovie& turned(int degrees) { return rotationDegrees = degrees, *this; }
  SampleMovie& pixels(std::string aspect) { return sampleAspect = std::move(aspect), *this; }
  SampleMovie& busy() { return busyPicture = true, *this; }
};

// Makes the movie as folder/name and returns its path; throws when ffmpeg failed, which ends the test.
std::string MakeSampleMovie(const std::string& folder, const std::string& name, const SampleMovie& sample);

// Runs the ffmpeg tool with these arguments (paths quoted within); true when it said nothing wrong.
bool RunFfmpeg(const std::string& arguments);

// One picture at that time as 8-bit gray, row by row; empty when it is not width x height.
std::vector<uint8_t> GrayPicture(const std::string& path, double seconds, int width, int height);
// The same as 8-bit RGB, read with the named YUV matrix ("bt601", "bt709").
std::vector<uint8_t> RgbPicture(const std::string& path, double seconds, int width, int height,
                                const std::string& matrix);

// The PSNR in dB of each of the movie's pictures against the source's taken through the
// reference filters; empty when ffmpeg could not compare them.
std::vector<double> PicturePsnr(const std::string& movie, const std::string& source, const std::string& filters);

// The times in seconds of the video's key frames, in order; `outOfOrder`: whether pictures are stored
// before ones they follow, as B-frames are.
std::vector<double> KeyFrameTimes(const std::string& path, bool* outOfOrder = nullptr);

struct ProbedStream {
  std::string type, codec, profile;  // type: "video" or "audio"
  std::string colourMatrix;          // as tagged: "bt709", "smpte170m", "unknown"...
  std::string colourPrimaries, colourTransfer;
  int width = 0, height = 0, sampleRate = 0, channels = 0;
  double frameRate = 0, seconds = 0;
  long bitRate = 0, frames = 0;
};

struct ProbedMovie {
  bool readable = false;
  std::string majorBrand;
  double seconds = 0;
  std::vector<ProbedStream> streams;

  bool plays() const { return readable && !streams.empty(); }

  const ProbedStream* stream(const std::string& type) const {  // the first of that type
    for (const ProbedStream& found : streams) if (found.type == type) return &found;
    return nullptr;
  }
};

ProbedMovie ProbeMovie(const std::string& path);

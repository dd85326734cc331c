#include "tests/support/SampleMovies.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string RunAndRead(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return output;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, got);
  return output;
}

double Rational(const std::string& text) {
  size_t slash = text.find('/');
  if (slash == std::string::npos) return std::atof(text.c_str());
  double den = std::atof(text.c_str() + slash + 1);
  return den != 0 ? std::atof(text.substr(0, slash).c_str()) / den : 0;
}

}  // namespace

namespace {

bool RunFfmpeg(const std::string& arguments) {
  std::string errors = RunAndRead("ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments + " 2>&1");
  if (!errors.empty()) std::fprintf(stderr, "ffmpeg: %s\n", errors.c_str());
  return errors.empty();
}

}  // namespace

std::string MakeSampleMovie(const std::string& folder, const std::string& name, const SampleMovie& sample) {
  std::string path = folder + "/" + name;
  // The encoders drop a rotation asked for while encoding; a copy keeps it.
  std::string encodedPath = sample.rotationDegrees ? folder + "/unturned-" + name : path;
  std::ostringstream command;
  if (!sample.videoCodec.empty()) {
    command << " -f lavfi -i testsrc2=size=" << sample.width << "x" << sample.height << ":rate=" << sample.frameRate
            << ":duration=" << sample.seconds;
  }
  if (!sample.audioCodec.empty()) {
    command << " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" << sample.seconds;
  }
  if (!sample.videoCodec.empty()) {
    std::string filters = sample.videoCodec == "mjpeg" ? "format=yuvj420p" : "format=yuv420p";
    if (sample.busyPicture) filters += ",noise=alls=40:allf=t+u";
    if (!sample.sampleAspect.empty()) filters += ",setsar=" + sample.sampleAspect;
    command << " -vf " << filters << " -c:v " << sample.videoCodec;
  }
  if (!sample.audioCodec.empty()) command << " -c:a " << sample.audioCodec << " -ac 2";
  command << " " << Quoted(encodedPath);
  if (!RunFfmpeg(command.str())) return "";
  if (sample.rotationDegrees) {
    bool turned = RunFfmpeg("-i " + Quoted(encodedPath) + " -c copy -metadata:s:v:0 rotate=" +
                            std::to_string(sample.rotationDegrees) + " " + Quoted(path));
    std::remove(encodedPath.c_str());
    if (!turned) return "";
  }
  return path;
}

std::vector<uint8_t> GrayPicture(const std::string& path, double seconds, int width, int height) {
  std::string raw = RunAndRead("ffmpeg -nostdin -loglevel error -ss " + std::to_string(seconds) + " -i " +
                               Quoted(path) + " -frames:v 1 -vf format=gray -f rawvideo - 2>/dev/null");
  if (raw.size() != size_t(width) * height) return {};
  return std::vector<uint8_t>(raw.begin(), raw.end());
}

const ProbedStream* ProbedMovie::stream(const std::string& type) const {
  for (const ProbedStream& found : streams) {
    if (found.type == type) return &found;
  }
  return nullptr;
}

ProbedMovie ProbeMovie(const std::string& path) {
  std::string output = RunAndRead(
      "ffprobe -v error -show_entries "
      "format=duration:format_tags=major_brand:stream=codec_type,codec_name,profile,width,height,avg_frame_rate,"
      "duration,bit_rate,sample_rate,channels,nb_frames -of default " +
      Quoted(path) + " 2>/dev/null");
  ProbedMovie movie;
  std::istringstream lines(output);
  std::string line;
  ProbedStream* current = nullptr;
  bool inFormat = false;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    if (line == "[STREAM]") {
      movie.streams.emplace_back();
      current = &movie.streams.back();
      continue;
    }
    if (line == "[FORMAT]") {
      inFormat = movie.readable = true;
      continue;
    }
    if (line.front() == '[') {
      current = nullptr;
      inFormat = false;
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    if (inFormat) {
      if (key == "duration") movie.seconds = std::atof(value.c_str());
      if (key == "TAG:major_brand") movie.majorBrand = value;
    } else if (current) {
      if (key == "codec_type") current->type = value;
      if (key == "codec_name") current->codec = value;
      if (key == "profile") current->profile = value;
      if (key == "width") current->width = std::atoi(value.c_str());
      if (key == "height") current->height = std::atoi(value.c_str());
      if (key == "avg_frame_rate") current->frameRate = Rational(value);
      if (key == "duration") current->seconds = std::atof(value.c_str());
      if (key == "bit_rate") current->bitRate = std::atol(value.c_str());
      if (key == "sample_rate") current->sampleRate = std::atoi(value.c_str());
      if (key == "channels") current->channels = std::atoi(value.c_str());
      if (key == "nb_frames") current->frames = std::atol(value.c_str());
    }
  }
  return movie;
}

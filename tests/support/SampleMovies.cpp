#include "tests/support/SampleMovies.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }  // test paths hold no quotes

std::string RunAndRead(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  char buffer[4096];
  size_t got;
  while (pipe && (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, got);
  return output;
}

std::vector<uint8_t> Picture(const std::string& path, double seconds, const std::string& filters, size_t bytes) {
  std::string raw = RunAndRead("ffmpeg -nostdin -loglevel error -ss " + std::to_string(seconds) + " -i " +
                               Quoted(path) + " -frames:v 1 -vf " + filters + " -f rawvideo - 2>/dev/null");
  return raw.size() == bytes ? std::vector<uint8_t>(raw.begin(), raw.end()) : std::vector<uint8_t>();
}

}  // namespace

bool RunFfmpeg(const std::string& arguments) {
  std::string errors = RunAndRead("ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments + " 2>&1");
  if (!errors.empty()) std::fprintf(stderr, "ffmpeg: %s\n", errors.c_str());
  return errors.empty();
}

std::string MakeSampleMovie(const std::string& folder, const std::string& name, const SampleMovie& sample) {
  const std::string path = folder + "/" + name;
  // The encoders drop a rotation asked for while encoding; a copy keeps it.
  const std::string encodedPath = sample.rotationDegrees ? folder + "/unturned-" + name : path;
  const std::string seconds = std::to_string(sample.seconds);
  std::ostringstream command;  // inputs first: options before an input belong to it
  if (!sample.videoCodec.empty()) {
    command << " -f lavfi -i testsrc2=size=" << sample.width << "x" << sample.height << ":rate=" << sample.frameRate
            << ":duration=" << seconds;
  }
  if (!sample.audioCodec.empty()) {
    command << " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" << seconds << " -c:a "
            << sample.audioCodec << " -ac 2";
  }
  if (!sample.videoCodec.empty()) {
    command << " -c:v " << sample.videoCodec << " -vf "
            << (sample.videoCodec == "mjpeg" ? "format=yuvj420p" : "format=yuv420p")
            << (sample.busyPicture ? ",noise=alls=40:allf=t+u" : "")
            << (sample.sampleAspect.empty() ? "" : ",setsar=" + sample.sampleAspect);
  }
  const std::string turn = " -c copy -metadata:s:v:0 rotate=" + std::to_string(sample.rotationDegrees) + " ";
  const bool made = RunFfmpeg(command.str() + " " + Quoted(encodedPath)) &&
                    (!sample.rotationDegrees || RunFfmpeg("-i " + Quoted(encodedPath) + turn + Quoted(path)));
  if (sample.rotationDegrees) std::remove(encodedPath.c_str());
  if (!made) throw std::runtime_error("ffmpeg could not make " + path);
  return path;
}

std::vector<uint8_t> GrayPicture(const std::string& path, double seconds, int width, int height) {
  return Picture(path, seconds, "format=gray", size_t(width) * height);
}

std::vector<uint8_t> RgbPicture(const std::string& path, double seconds, int width, int height,
                                const std::string& matrix) {
  return Picture(path, seconds, "scale=in_color_matrix=" + matrix + ",format=rgb24", size_t(width) * height * 3);
}

std::vector<double> PicturePsnr(const std::string& movie, const std::string& source, const std::string& filters) {
  // One line per picture: "n:1 mse_avg:... psnr_avg:61.5 ...".
  std::istringstream lines(RunAndRead("ffmpeg -nostdin -loglevel error -i " + Quoted(movie) + " -i " + Quoted(source) +
                                      " -lavfi '[1:v]" + filters + "[ref];[0:v][ref]psnr=stats_file=-' -f null -"));
  std::vector<double> psnr;
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find("psnr_avg:");
    if (at != std::string::npos) psnr.push_back(std::atof(line.c_str() + at + 9));  // "inf" reads as infinity
  }
  return psnr;
}

std::vector<double> KeyFrameTimes(const std::string& path, bool* outOfOrder) {
  // One line per packet, in the order stored: "0.083333,K_" for a key frame.
  std::istringstream lines(RunAndRead("ffprobe -v error -select_streams v:0 -show_entries packet=pts_time,flags "
                                      "-of csv=p=0 " + Quoted(path) + " 2>/dev/null"));
  std::vector<double> times;
  double latest = -1e9;
  if (outOfOrder) *outOfOrder = false;
  for (std::string line; std::getline(lines, line);) {
    const double at = std::atof(line.c_str());
    if (outOfOrder && at < latest) *outOfOrder = true;
    latest = std::max(latest, at);
    if (line.find(",K") != std::string::npos) times.push_back(at);
  }
  return times;
}

ProbedMovie ProbeMovie(const std::string& path) {
  // One line per stream, then one for the whole file: "codec_type=video|width=176|...".
  std::istringstream lines(RunAndRead(
      "ffprobe -v error -of compact=p=0 -show_entries format=duration:format_tags=major_brand:stream=codec_type,"
      "codec_name,profile,width,height,avg_frame_rate,duration,bit_rate,sample_rate,channels,nb_frames,color_space,color_primaries,color_transfer " +
      Quoted(path) + " 2>/dev/null"));
  ProbedMovie movie;
  for (std::string line; std::getline(lines, line);) {
    std::map<std::string, std::string> value;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '|');) {
      const size_t equals = field.find('=');
      if (equals != std::string::npos) value[field.substr(0, equals)] = field.substr(equals + 1);
    }
    auto number = [&](const char* key) { return std::atof(value[key].c_str()); };
    if (!value.count("codec_type")) {
      movie.readable = true;
      movie.seconds = number("duration");
      movie.majorBrand = value["tag:major_brand"];
      continue;
    }
    unsigned above = 0, below = 0;
    std::sscanf(value["avg_frame_rate"].c_str(), "%u/%u", &above, &below);
    movie.streams.push_back({value["codec_type"], value["codec_name"], value["profile"], value["color_space"],
                             value["color_primaries"], value["color_transfer"], int(number("width")),
                             int(number("height")), int(number("sample_rate")), int(number("channels")),
                             below ? double(above) / below : 0, number("duration"), long(number("bit_rate")),
                             long(number("nb_frames"))});
  }
  return movie;
}

#include "platform/terminal/CommandLine.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <string_view>

#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"
#include "platform/desktop/Translation.h"
#include "platform/desktop/NumberText.h"
#include "platform/media/stages/ExportJob.h"

namespace framework {

namespace {

const std::map<std::string_view, long> kSizeTags = {{"natural", 1}, {"half", 2}, {"third", 3}, {"quarter", 4},
                                                     {"qcif", 11}, {"sqcif", 12}, {"96x80", 13}};

// "mp4, 3gp, 3g2 or amc" in the user's language.
std::string FormatNames() {
  std::string names;
  for (const OutputFormat& format : kOutputFormats) {
    if (names.empty()) {
      names = format.name;
    } else if (&format != std::end(kOutputFormats) - 1) {
      names = Fill(Tr("CommandLine", "%1, %2"), names, format.name);
    } else {
      names = Fill(Tr("CommandLine", "%1 or %2"), names, format.name);
    }
  }
  return names;
}

template <typename Number>
std::optional<Number> wholeText(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// 300K, 600KB, 1M, 1.5M or a plain number of kilobytes (a kilobyte is 1024 bytes); none or 0: no limit.
std::optional<long> fitKilobytes(std::string_view text) {
  if (text == "none") return 0;
  size_t unit = text.find_first_not_of("0123456789.");
  std::string_view number = text.substr(0, unit);
  std::string_view suffix = unit == std::string_view::npos ? std::string_view() : text.substr(unit);
  double scale = 1;
  if (suffix == "M" || suffix == "m" || suffix == "MB" || suffix == "mb") {
    scale = 1024;
  } else if (!suffix.empty() && suffix != "K" && suffix != "k" && suffix != "KB" && suffix != "kb") {
    return std::nullopt;
  }
  const std::optional<double> value = wholeText<double>(number);
  if (!value || !std::isfinite(*value) || *value < 0) return std::nullopt;
  const double kilobytes = std::round(*value * scale);
  if (kilobytes > kFitKilobytesRange.most || (kilobytes < kFitKilobytesRange.least && *value > 0)) return std::nullopt;
  return long(kilobytes);
}

// A size name or WxH within the sides the encoders write; false with options.error set otherwise.
bool parseSize(std::string_view text, RunOptions& options) {
  if (const auto named = kSizeTags.find(text); named != kSizeTags.end()) {
    options.sizeTag = named->second;
    options.notice.clear();
    options.customWidth.reset();  // a later option wins whole: an earlier WxH would still be typed in
    options.customHeight.reset();
    return true;
  }
  const std::string shown(text);
  const size_t x = text.find_first_of("xX");
  const std::optional<long> width = wholeText<long>(text.substr(0, x));
  const std::optional<long> height = wholeText<long>(text.substr(x == std::string_view::npos ? text.size() : x + 1));
  if (!width || !height) {
    options.error = {FailureCode::unknownSize, shown};
    return false;
  }
  const long w = *width;
  const long h = *height;
  if (w > kPictureSideRange.most || h > kPictureSideRange.most) {
    const std::string most = FormatDouble(kPictureSideRange.most);
    options.error = {FailureCode::sizeTooLarge, shown, most + "x" + most};
    return false;
  }
  if (w < kPictureSideRange.least || h < kPictureSideRange.least) {
    const std::string least = FormatDouble(kPictureSideRange.least);
    options.error = {FailureCode::sizeTooSmall, shown, least + "x" + least};
    return false;
  }
  options.notice.clear();
  if (w % 2 || h % 2) {
    const auto even = [](long side) { return std::to_string(EvenPictureSide(double(side))); };
    options.notice = Fill(Tr("CommandLine", "size %1 is written as %2: pictures have even sides"), shown,
                          even(w) + "x" + even(h));
  }
  options.sizeTag = 0;
  options.customWidth = double(w);
  options.customHeight = double(h);
  return true;
}

// One option with its value; false with options.error set when the value is unusable.
bool applyOption(std::string_view name, std::string_view value, RunOptions& options) {
  const std::string shown = std::string(value);
  if (name == "--format") {
    const OutputFormat* format = OutputFormatNamed(value);
    if (!format) {
      options.error = {FailureCode::unknownFormat, shown, FormatNames()};
      return false;
    }
    options.formatTag = format->tag;
  } else if (name == "--size") {
    if (!parseSize(value, options)) return false;
  } else if (name == "--fps") {
    const std::optional<double> fps = wholeText<double>(value);
    if (!fps || !InRange(kFramesPerSecondRange, *fps)) {
      options.error = {FailureCode::badFrameRate, shown, FormatDouble(kFramesPerSecondRange.least),
                       FormatDouble(kFramesPerSecondRange.most)};
      return false;
    }
    options.framesPerSecond = *fps;
  } else if (name == "--rate") {
    const std::optional<int> rate = wholeText<int>(value);
    if (!rate || !InRange(kKilobytesPerSecondRange, *rate)) {
      options.error = {FailureCode::badDataRate, shown, FormatDouble(kKilobytesPerSecondRange.least),
                       FormatDouble(kKilobytesPerSecondRange.most)};
      return false;
    }
    options.kilobytesPerSecond = *rate;
  } else if (name == "--fit") {
    const std::optional<long> kilobytes = fitKilobytes(value);
    if (!kilobytes) {
      options.error = {FailureCode::badSizeLimit, shown};
      return false;
    }
    options.fitKilobytes = *kilobytes;
  } else if (name == "--jobs") {
    const std::optional<int> jobs = wholeText<int>(value);
    if (!jobs || !InRange(kJobsRange, *jobs)) {
      options.error = {FailureCode::badJobs, shown, FormatDouble(kJobsRange.least), FormatDouble(kJobsRange.most)};
      return false;
    }
    options.jobs = *jobs;
    return true;
  } else if (name == "--output-dir") {
    if (value.empty()) {
      options.error = {FailureCode::outputFolderNeedsName};
      return false;
    }
    options.outputFolder = shown;
    return true;
  } else {
    options.error = {FailureCode::unknownOption, std::string(name)};
    return false;
  }
  options.conversionArguments.push_back(std::string(name) + "=" + shown);
  return true;
}

bool takesValue(std::string_view name) {
  return name == "--format" || name == "--size" || name == "--fps" || name == "--rate" || name == "--fit" ||
         name == "--jobs" || name == "--output-dir";
}

}  // namespace

RunOptions ParseCommandLine(int argc, const char* const* argv) {
  RunOptions options;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      options.movies.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--headless") {
      options.headless = true;
    } else if (argument == "--skip-existing") {
      options.skipExisting = true;
    } else if (argument == "--recursive") {
      options.recursive = true;
    } else if (argument == "--verbose") {
      options.verbose = true;
      options.conversionArguments.emplace_back(argument);
    } else if (argument == "--baseline") {
      options.baseline = true;
      options.conversionArguments.emplace_back(argument);
    } else {
      const size_t equals = argument.find('=');
      const std::string_view name = argument.substr(0, equals);
      if (!takesValue(name)) {
        options.error = {FailureCode::unknownOption, std::string(argument)};
        return options;
      }
      std::string_view value;
      if (equals != std::string_view::npos) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        options.error = {FailureCode::optionNeedsValue, std::string(name)};
        return options;
      }
      if (!applyOption(name, value, options)) return options;
    }
  }
  return options;
}

const char* FormatName(long formatTag) { return OutputFormatOfTag(formatTag).name; }

std::string UsageText() {
  const std::string usage = Tr("CommandLine",
            "Usage: pocketmovie [options] [MOVIE_OR_FOLDER...]\n"
            "Converts each MOVIE into a small movie for mobile phones, written beside it with the format's\n"
            "extension appended (clip.mov becomes clip.mov.3gp), and the movies in each FOLDER. Without\n"
            "a movie the window opens; several are converted one after another.\n"
            "\n"
            "  --headless        convert without a window (also when there is no display);\n"
            "                    progress goes to standard error; Ctrl-C, SIGTERM and SIGHUP abort\n"
            "  --format FORMAT   %1\n"
            "  --size SIZE       natural, half, third, quarter, qcif (176x144), sqcif (128x96),\n"
            "                    96x80, or WxH in pixels (%2 to %3 each)\n"
            "  --fps N           frames per second, %4 to %5; fractions allowed (7.5)\n"
            "  --rate N          data rate in kilobytes per second, %6 to %7\n"
            "  --fit SIZE        keep the whole file within SIZE: 300K, 600K, 1M (K = 1024 bytes),\n"
            "                    or none\n"
            "  --baseline        for older phones: .mp4 in H.264's Baseline profile rather than High\n"
            "  --output-dir DIR  write the movies into DIR instead of beside their sources; a second\n"
            "                    movie of the same name gets \" (2)\" before the extension\n"
            "  --skip-existing   leave alone an output that is already a complete movie\n"
            "  --recursive       search the folders' folders too\n"
            "  --jobs N          movies converted at once in the terminal, %8 to %9 (default: one\n"
            "                    per core, fewer when memory is short)\n"
            "  -h, --help        show this text\n"
            "  --version         show the version\n"
            "  --verbose         say what confinement of the conversions this system cannot give\n"
            "\n"
            "Options apply to every movie of this run only: the remembered settings stay as they are.\n"
            "In the terminal each movie gets one line as it ends, and several a summary at the end.\n"
            "Exit status: 0 when every movie was completely written (or already was, with\n"
            "--skip-existing), 1 when a conversion failed or was aborted, 2 for unusable arguments.\n"
            "The manual page tells more: man pocketmovie\n");
  // QString::arg fills the lowest-numbered markers first, so the markers go three at a time.
  const std::string formats =
      Fill(usage, FormatNames(), FormatDouble(kPictureSideRange.least), FormatDouble(kPictureSideRange.most));
  const std::string rates =
      Fill(formats, FormatDouble(kFramesPerSecondRange.least), FormatDouble(kFramesPerSecondRange.most),
           FormatDouble(kKilobytesPerSecondRange.least));
  return Fill(rates, FormatDouble(kKilobytesPerSecondRange.most), FormatDouble(kJobsRange.least),
              FormatDouble(kJobsRange.most));
}

}  // namespace framework

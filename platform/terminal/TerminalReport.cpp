#include "platform/terminal/TerminalReport.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/desktop/FailureText.h"
#include "platform/desktop/TimeLeft.h"
#include "platform/desktop/Translation.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/framework/RunFailure.h"
#include "platform/terminal/RunResultChannel.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

struct ProgressLine {
  bool drawn = false;  // a bar is on the line and needs a newline before anything else
  int lastWholePercent = -1;
  TimeLeft left;
};
ProgressLine line;

void drawBar(double percent) {
  constexpr int kWidth = 30;
  const int filled = int(std::lround(percent / 100.0 * kWidth));
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kWidth - filled), '-');
  const std::string left = line.left.after(percent);
  const std::string output = ShownInTerminal(LastOutputPath());
  std::fprintf(stderr, "\r[%s] %3d%%  %s  %s\x1b[K", bar.c_str(), int(percent), output.c_str(), left.c_str());
  std::fflush(stderr);
  line.drawn = true;
}

void endBar() {
  if (line.drawn) std::fputc('\n', stderr);
  line.drawn = false;
}

}  // namespace

std::string ShownInTerminal(const std::string& text) {
  static constexpr char kNamed[] = "\a\b\t\n\v\f\r";
  static constexpr char kLetters[] = "abtnvfr";
  std::string shown;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const char* named = byte != 0 ? std::strchr(kNamed, c) : nullptr;
    if (c == '\\') {
      shown += "\\\\";
    } else if (named) {
      shown += {'\\', kLetters[named - kNamed]};
    } else if (byte < 0x20 || byte == 0x7f) {
      char octal[5];
      std::snprintf(octal, sizeof octal, "\\%03o", byte);
      shown += octal;
    } else {
      shown += c;
    }
  }
  return shown;
}

void ReportLine(const std::string& text) {
  std::fprintf(stderr, "pocketmovie: %s\n", ShownInTerminal(text).c_str());
  std::fflush(stderr);
}

void ShowTerminalProgress(double percent) {
  if (std::isnan(percent)) return;
  percent = std::fmin(std::fmax(percent, 0.0), 100.0);
  if (isatty(STDERR_FILENO)) {
    drawBar(percent);
    return;
  }
  const int whole = int(percent);
  if (whole == line.lastWholePercent) return;
  line.lastWholePercent = whole;
  std::fprintf(stderr, "%d%%\n", whole);
}

int FinishRunReport() {
  endBar();
  if (LastRunWritten()) {
    const MovieExportReport report = LastMovieExportReport();
    const std::string& output = report.outputPath.empty() ? LastOutputPath() : report.outputPath;
    if (report.notice) ReportLine(FailureText(report.notice));
    ReportLine(Fill(Tr("Terminal", "wrote %1"), output));
    SendRunResult({{}, output, report.notice});
    return 0;
  }
  const Failure failure = LastRunFailure();
  ReportLine(FailureText(failure));
  SendRunResult({failure, {}, {}});
  RemoveEmptyOutputs();
  return 1;
}

}  // namespace framework

#include "platform/terminal/TerminalReport.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/desktop/FailureText.h"
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
  bool timing = false;
  std::chrono::steady_clock::time_point start;
  double startPercent = 0;
};
ProgressLine line;

// The export's own share of the scale starts above 5 (the preparation's last step).
constexpr double kExportShareStart = 5.0;

std::string timeLeft(double percent) {
  const auto now = std::chrono::steady_clock::now();
  if (!line.timing) {
    if (percent <= kExportShareStart) return {};
    line.timing = true;
    line.start = now;
    line.startPercent = percent;
    return {};
  }
  const double done = percent - line.startPercent;
  const double elapsed = std::chrono::duration<double>(now - line.start).count();
  if (done <= 0 || elapsed < 0.5) return {};
  const long seconds = std::lround(elapsed * (100.0 - percent) / done);
  char minutes[32];
  std::snprintf(minutes, sizeof minutes, "%ld:%02ld", seconds / 60, seconds % 60);
  return Fill(Tr("Terminal", "%1 left"), minutes);
}

void drawBar(double percent) {
  constexpr int kWidth = 30;
  const int filled = int(std::lround(percent / 100.0 * kWidth));
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kWidth - filled), '-');
  const std::string left = timeLeft(percent);
  std::fprintf(stderr, "\r[%s] %3d%%  %s  %s\x1b[K", bar.c_str(), int(percent), LastOutputPath().c_str(),
               left.c_str());
  std::fflush(stderr);
  line.drawn = true;
}

void endBar() {
  if (line.drawn) std::fputc('\n', stderr);
  line.drawn = false;
}

}  // namespace

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
    if (report.notice) std::fprintf(stderr, "pocketmovie: %s\n", FailureText(report.notice).c_str());
    std::fprintf(stderr, "pocketmovie: %s\n", Fill(Tr("Terminal", "wrote %1"), output).c_str());
    SendRunResult({{}, output});
    return 0;
  }
  const Failure failure = LastRunFailure();
  std::fprintf(stderr, "pocketmovie: %s\n", FailureText(failure).c_str());
  SendRunResult({failure, {}});
  RemoveEmptyOutputs();
  return 1;
}

}  // namespace framework

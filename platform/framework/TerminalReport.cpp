#include "platform/framework/TerminalReport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/Translation.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

bool terminalMode = false;
std::string firstFailure;

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

std::string describeStatus(long status) {
  switch (status) {
    case userCanceledErr:
    case -1:
      return Tr("Terminal", "aborted");
    case dskFulErr:
      return Tr("Terminal", "disk full");
    case fnfErr:
      return Tr("Terminal", "no such file");
    case permErr:
    case wrPermErr:
      return Tr("Terminal", "permission denied");
    default:
      return Fill(Tr("Terminal", "the export failed (status %1)"), std::to_string(status));
  }
}

// A run that failed leaves no empty output behind: only files this process made and nobody wrote.
void removeEmptyOutputs() {
  for (const std::string& path : FilesCreated()) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0) unlink(path.c_str());
  }
}

}  // namespace

bool TerminalMode() { return terminalMode; }
void SetTerminalMode(bool on) { terminalMode = on; }

void NoteFailure(const std::string& reason) {
  if (firstFailure.empty()) firstFailure = reason;
}
void ForgetFailures() { firstFailure.clear(); }

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
  const MovieExportReport& report = LastMovieExportReport();
  std::string reason;
  if (report.started) {
    if (report.finished && report.status == 0) {
      if (terminalMode) {
        endBar();
        const std::string& output = report.outputPath.empty() ? LastOutputPath() : report.outputPath;
        std::fprintf(stderr, "pocketmovie: %s\n", Fill(Tr("Terminal", "wrote %1"), output).c_str());
      }
      return 0;
    }
    reason = !report.failureReason.empty() ? TranslatedReason(report.failureReason) : describeStatus(report.status);
  } else {
    if (!terminalMode) return 0;  // the user quit the window without converting anything
    reason = !firstFailure.empty() ? firstFailure : Tr("Terminal", "the conversion did not start");
  }
  if (terminalMode) {
    endBar();
    std::fprintf(stderr, "pocketmovie: %s\n", reason.c_str());
    removeEmptyOutputs();
  }
  return 1;
}

}  // namespace framework

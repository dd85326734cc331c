#include "platform/desktop/TimeLeft.h"

#include <cmath>
#include <cstdio>

#include "platform/desktop/Translation.h"

namespace framework {

namespace {

// The export's own share of the scale starts above 5 (the preparation's last step).
constexpr double kExportShareStart = 5.0;

}  // namespace

std::string TimeLeft::after(double percent) {
  const auto now = std::chrono::steady_clock::now();
  if (percent < lastPercent_) timing_ = false;
  lastPercent_ = percent;
  if (!timing_) {
    if (percent <= kExportShareStart) return {};
    timing_ = true;
    start_ = now;
    startPercent_ = percent;
    return {};
  }
  const double done = percent - startPercent_;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  if (done <= 0 || elapsed < 0.5) return {};
  const long seconds = std::lround(elapsed * (100.0 - percent) / done);
  char minutes[32];
  std::snprintf(minutes, sizeof minutes, "%ld:%02ld", seconds / 60, seconds % 60);
  // The terminal's words, which the window shares.
  return Fill(Tr("Terminal", "%1 left"), minutes);
}

}  // namespace framework

// How long a run still needs, in the user's words ("1:05 left"), reckoned from how fast its
// progress has moved since the export's share of the scale began. The terminal's progress line and
// the window show the same estimate.
#pragma once

#include <chrono>
#include <string>

namespace framework {

class TimeLeft {
 public:
  // Takes the percentage shown now and gives the time left; empty until half a second of the
  // export has been seen. A percentage lower than the last starts a new run.
  std::string after(double percent);

 private:
  bool timing_ = false;
  std::chrono::steady_clock::time_point start_;
  double startPercent_ = 0;
  double lastPercent_ = 0;
};

}  // namespace framework

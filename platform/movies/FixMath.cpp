#include "platform/movies/FixMath.h"

#include <cmath>
#include <limits>

Fixed X2Fix(double x) {
  if (std::isnan(x)) return 0;
  const double scaled = std::round(x * fixed1);
  if (scaled >= double(std::numeric_limits<Fixed>::max())) return std::numeric_limits<Fixed>::max();
  if (scaled <= double(std::numeric_limits<Fixed>::min())) return std::numeric_limits<Fixed>::min();
  return Fixed(scaled);
}

double Fix2X(Fixed x) { return double(x) / fixed1; }

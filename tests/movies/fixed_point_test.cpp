#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/movies/FixMath.h"

TEST(FixedPoint, ConvertsRoundsAndSaturates) {
  constexpr Fixed kMax = std::numeric_limits<Fixed>::max(), kMin = std::numeric_limits<Fixed>::min();
  const double step = 1.0 / 65536;  // nearest step, halves away from zero
  const std::pair<double, Fixed> cases[] = {
      {144.0, 0x00900000}, {12.5, 0x000C8000}, {-1.5, -0x00018000}, {29.97, 0x001DF852}, {0.4 * step, 0},
      {0.6 * step, 1},     {0.5 * step, 1},    {-0.5 * step, -1},   {32767.99999, kMax}, {40000.0, kMax},
      {HUGE_VAL, kMax},    {-32768.0, kMin},   {-1e300, kMin},      {std::nan(""), 0}};
  for (const auto& [value, fixed] : cases) EXPECT_EQ(X2Fix(value), fixed) << value;
  EXPECT_DOUBLE_EQ(Fix2X(0x00018000), 1.5);
  EXPECT_DOUBLE_EQ(Fix2X(kMin), -32768.0);
}

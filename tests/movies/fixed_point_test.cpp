#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/movies/FixMath.h"

TEST(FixedPoint, ConvertsRoundsAndSaturates) {
  EXPECT_EQ(X2Fix(144.0), 0x00900000);
  EXPECT_EQ(X2Fix(12.5), 0x000C8000);
  EXPECT_EQ(X2Fix(-1.5), -0x00018000);

  // Nearest step of 1/65536, halves away from zero.
  const double step = 1.0 / 65536;
  EXPECT_EQ(X2Fix(0.4 * step), 0);
  EXPECT_EQ(X2Fix(0.6 * step), 1);
  EXPECT_EQ(X2Fix(0.5 * step), 1);
  EXPECT_EQ(X2Fix(-0.5 * step), -1);
  EXPECT_EQ(X2Fix(29.97), 0x001DF852);

  EXPECT_EQ(X2Fix(32767.99999), std::numeric_limits<Fixed>::max());
  EXPECT_EQ(X2Fix(40000.0), std::numeric_limits<Fixed>::max());
  EXPECT_EQ(X2Fix(HUGE_VAL), std::numeric_limits<Fixed>::max());
  EXPECT_EQ(X2Fix(-32768.0), std::numeric_limits<Fixed>::min());
  EXPECT_EQ(X2Fix(-1e300), std::numeric_limits<Fixed>::min());
  EXPECT_EQ(X2Fix(std::nan("")), 0);

  EXPECT_DOUBLE_EQ(Fix2X(0x00018000), 1.5);
  EXPECT_DOUBLE_EQ(Fix2X(std::numeric_limits<Fixed>::min()), -32768.0);
  EXPECT_DOUBLE_EQ(Fix2X(X2Fix(12.5)), 12.5);
}

// Signed 16.16 fixed point.
#pragma once

#include "platform/MacTypes.h"

constexpr Fixed fixed1 = 0x00010000;

// Rounds to nearest, saturates at the limits of Fixed; NaN gives 0.
Fixed X2Fix(double x);
double Fix2X(Fixed x);

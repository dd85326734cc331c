// AMR-NB codes speech in eight fixed modes, each a bit rate whose 20 ms frames all take one size.
#pragma once

#include <algorithm>
#include <array>
#include <iterator>

struct AmrNbMode {
  long bitRate;    // bits per second
  int frameBytes;  // what one 20 ms frame takes, its header included
};

inline constexpr std::array<AmrNbMode, 8> kAmrNbModes{
    {{4750, 13}, {5150, 14}, {5900, 16}, {6700, 18}, {7400, 20}, {7950, 21}, {10200, 27}, {12200, 32}}};

// The mode a rate between two takes: the highest not above it, and at least the lowest.
inline const AmrNbMode& AmrNbModeAtMost(long bitRate) {
  auto above = std::upper_bound(kAmrNbModes.begin(), kAmrNbModes.end(), bitRate,
                                [](long rate, const AmrNbMode& mode) { return rate < mode.bitRate; });
  return above == kAmrNbModes.begin() ? kAmrNbModes.front() : *std::prev(above);
}

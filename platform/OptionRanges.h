// The range of every number the user gives, kept once: the command line holds its options to them,
// the window its sliders and fields, the encoders their pictures, and the messages, --help and the
// manual page say them.
#pragma once

#include <string_view>

struct OptionRange {
  const char* name;  // how the window description names the range of a slider or field
  double least;
  double most;
  bool fractions;    // 7.5 frames per second; otherwise whole numbers only
};

// The picture sides the encoders write, in pixels, in the window and in the terminal alike.
inline constexpr OptionRange kPictureSideRange{"pictureSide", 16, 4096, false};
// The terminal's options: limits that keep a typo from reaching the encoder as an absurd setting.
// The slowest rate is a picture every 2.8 hours, still clear of the settings' fixed-point
// resolution (1/65536), where a smaller value would read as 0, "the source's rate".
inline constexpr OptionRange kFramesPerSecondRange{"fps", 0.0001, 120, true};
inline constexpr OptionRange kKilobytesPerSecondRange{"rate", 1, 100000, false};
inline constexpr OptionRange kJobsRange{"jobs", 1, 64, false};
// A size limit in kilobytes, typed into the window or given as --fit: the settings keep it in
// bytes as a signed 32-bit number.
inline constexpr OptionRange kFitKilobytesRange{"fitKilobytes", 1, 2097151, false};
// The window's sliders offer what a phone's movie uses; a run's options may still go beyond.
inline constexpr OptionRange kWindowFramesPerSecondRange{"windowFps", 1, 30, true};
inline constexpr OptionRange kWindowKilobytesPerSecondRange{"windowRate", 1, 256, false};

inline constexpr const OptionRange* kOptionRanges[] = {
    &kPictureSideRange, &kFramesPerSecondRange, &kKilobytesPerSecondRange, &kJobsRange,
    &kFitKilobytesRange, &kWindowFramesPerSecondRange, &kWindowKilobytesPerSecondRange};

// The "Fit into" menu's item whose limit is typed into the field beside it.
inline constexpr long kFitCustomTag = -1;

constexpr const OptionRange* OptionRangeNamed(std::string_view name) {
  for (const OptionRange* range : kOptionRanges) {
    if (name == range->name) return range;
  }
  return nullptr;
}

constexpr bool InRange(const OptionRange& range, double value) { return value >= range.least && value <= range.most; }

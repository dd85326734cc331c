// What every run must come to, whatever it was fed: converted, or failed with one line, in bounded
// time and memory, leaving no file that claims to be a movie and is not.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/hostile/ProgramRun.h"

constexpr long kMemoryBoundKilobytes = 600 * 1024;

inline void ExpectCleanOutcome(const ProgramRun& run, const std::string& output) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_LT(run.peakKilobytes, kMemoryBoundKilobytes);
  ASSERT_TRUE(run.status == 0 || run.status == 1) << "status " << run.status << "\n" << run.errors;
  const auto lines = run.messageLines();
  ASSERT_EQ(lines.size(), 1u) << run.errors;
  EXPECT_EQ(lines[0].rfind("pocketmovie: ", 0), 0u) << lines[0];
  if (run.status == 0) {
    EXPECT_TRUE(PlaysAsMovie(output)) << output;
  } else {
    if (std::filesystem::exists(output)) {
      EXPECT_EQ(std::filesystem::file_size(output), 0u) << output;
    }
  }
  EXPECT_TRUE(HiddenEntries(std::filesystem::path(output).parent_path()).empty());
}

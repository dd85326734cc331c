#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/memory/Memory.h"

TEST(Handles, ResizingKeepsLeadingBytesZeroFillsNewOnesAndRefusesWhatItCannot) {
  Handle h = NewHandleClear(16);
  ASSERT_NE(h, nullptr);
  std::memcpy(*h, "0123456789abcdef", 16);
  ASSERT_EQ(SetHandleSize(h, 4096), noErr);
  EXPECT_EQ(std::string(*h, 4096), "0123456789abcdef" + std::string(4080, '\0'));
  ASSERT_EQ(SetHandleSize(h, 3), noErr);
  EXPECT_EQ(std::string(*h, GetHandleSize(h)), "012");
  EXPECT_EQ(SetHandleSize(h, -5), memFullErr);
  EXPECT_EQ(SetHandleSize(h, LONG_MAX), memFullErr);
  EXPECT_EQ(GetHandleSize(h), 3);
  HLock(h);
  HLock(h);
  EXPECT_EQ(SetHandleSize(h, 1 << 20), memLockedErr);
  HUnlock(h);
  EXPECT_EQ(SetHandleSize(h, 1 << 20), memLockedErr) << "locks nest";
  HUnlock(h);
  EXPECT_EQ(SetHandleSize(h, 0), noErr);
  EXPECT_NE(*h, nullptr);
  DisposeHandle(h);

  EXPECT_EQ(NewHandle(-1), nullptr);
  EXPECT_EQ(NewHandleClear(LONG_MAX), nullptr);
  EXPECT_EQ(SetHandleSize(nullptr, 4), nilHandleErr);
}

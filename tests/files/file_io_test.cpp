#include <gtest/gtest.h>

#include "platform/files/Files.h"
#include "tests/support/TempDir.h"

namespace {

constexpr OSType kType = FOUR_CHAR_CODE("Pref");
constexpr OSType kCreator = FOUR_CHAR_CODE("Zvok");

FSSpec CreatedFile(const std::string& path) {
  FSSpec spec{};
  EXPECT_EQ(FSMakeFSSpecFromPath(path.c_str(), &spec), noErr);
  EXPECT_EQ(FSpCreate(&spec, kCreator, kType, smSystemScript), noErr);
  return spec;
}

}  // namespace

TEST(ForkIO, CreateReadWritePositionLengthAndDelete) {
  TempDir dir;
  FSSpec spec = CreatedFile(dir.file("data"));
  EXPECT_EQ(FSpCreate(&spec, kCreator, kType, smSystemScript), dupFNErr);
  SInt16 refNum = 0, readOnly = 0;
  ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &refNum), noErr);
  SInt32 count = 10, value = -1;
  ASSERT_EQ(FSWrite(refNum, &count, "0123456789"), noErr);
  char buffer[100] = {};
  ASSERT_EQ(SetFPos(refNum, fsFromStart, 2), noErr);
  count = 100;
  EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
  EXPECT_EQ(std::string(buffer, count), "23456789");

  // A move before the start is refused, one past the end stops there.
  EXPECT_EQ(SetFPos(refNum, fsFromStart, -1), posErr);
  EXPECT_EQ(SetFPos(refNum, fsFromStart, 11), eofErr);
  EXPECT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 10);
  ASSERT_EQ(SetEOF(refNum, 3), noErr);
  ASSERT_EQ(SetEOF(refNum, 6), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("data")), std::string("012\0\0\0", 6));

  ASSERT_EQ(FSpOpenDF(&spec, fsRdPerm, &readOnly), noErr);
  count = 1;
  EXPECT_EQ(FSWrite(readOnly, &count, "x"), wrPermErr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(FSClose(readOnly), noErr);
  EXPECT_EQ(FSClose(refNum), noErr);
  EXPECT_EQ(FSClose(refNum), rfNumErr);
  EXPECT_EQ(FSRead(refNum, &count, buffer), rfNumErr);

  EXPECT_EQ(FSpDelete(&spec), noErr);
  EXPECT_EQ(FSpDelete(&spec), fnfErr);
  refNum = 7;
  EXPECT_EQ(FSpOpenDF(&spec, fsRdPerm, &refNum), fnfErr);
  EXPECT_EQ(refNum, 0);
}

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST(FileEntries, CreateRefusesAnExistingNameAndKeepsTheCodes) {
  TempDir dir;
  FSSpec spec = CreatedFile(dir.file("settings.atom"));
  EXPECT_EQ(FSpCreate(&spec, kCreator, kType, smSystemScript), dupFNErr);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, kType);
  EXPECT_EQ(info.fdCreator, kCreator);
  EXPECT_EQ(FSpDelete(&spec), noErr);
  EXPECT_EQ(FSpDelete(&spec), fnfErr);
  SInt16 refNum = 7;
  EXPECT_EQ(FSpOpenDF(&spec, fsRdPerm, &refNum), fnfErr);
  EXPECT_EQ(refNum, 0);
}

TEST(ForkIO, ReadWritePositionAndLength) {
  TempDir dir;
  FSSpec spec = CreatedFile(dir.file("data"));
  SInt16 refNum = 0, readOnly = 0;
  ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &refNum), noErr);
  SInt32 count = 10, value = -1;
  ASSERT_EQ(FSWrite(refNum, &count, "0123456789"), noErr);
  char buffer[100] = {};
  ASSERT_EQ(SetFPos(refNum, fsFromStart, 2), noErr);
  count = 100;
  EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
  EXPECT_EQ(std::string(buffer, count), "23456789");

  // Each move, and where the mark ends up.
  const std::tuple<SInt16, SInt32, OSErr, SInt32> moves[] = {{fsFromLEOF, -3, noErr, 7},
                                                             {fsFromMark, 1, noErr, 8},
                                                             {fsFromStart, -1, posErr, 8},
                                                             {fsFromStart, 11, eofErr, 10}};
  for (const auto& [mode, offset, status, mark] : moves) {
    EXPECT_EQ(SetFPos(refNum, mode, offset), status) << mode << " " << offset;
    EXPECT_EQ(GetFPos(refNum, &value), noErr);
    EXPECT_EQ(value, mark) << mode << " " << offset;
  }
  ASSERT_EQ(SetEOF(refNum, 3), noErr);
  EXPECT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 3);
  ASSERT_EQ(SetEOF(refNum, 6), noErr);
  EXPECT_EQ(GetEOF(refNum, &value), noErr);
  EXPECT_EQ(value, 6);
  EXPECT_EQ(ReadWholeFile(dir.file("data")), std::string("012\0\0\0", 6));

  ASSERT_EQ(FSpOpenDF(&spec, fsRdPerm, &readOnly), noErr);
  count = 1;
  EXPECT_EQ(FSWrite(readOnly, &count, "x"), wrPermErr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(FSClose(readOnly), noErr);
  EXPECT_EQ(FSClose(refNum), noErr);
  EXPECT_EQ(FSClose(refNum), rfNumErr);
  EXPECT_EQ(FSRead(refNum, &count, buffer), rfNumErr);
}

TEST(ForkIO, FullOrReadOnlyVolumesGiveTheirStatus) {
  SmallTmpfs volume(16), readOnly(16, true);
  if (!volume.mounted() || !readOnly.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  FSSpec spec = CreatedFile(volume.file("big"));
  SInt16 refNum = 0;
  ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &refNum), noErr);
  std::string block(64 * 1024, 'x');
  SInt32 count = SInt32(block.size()), length = 0;
  EXPECT_EQ(FSWrite(refNum, &count, block.data()), dskFulErr);
  EXPECT_GT(count, 0);
  EXPECT_EQ(GetEOF(refNum, &length), noErr);
  EXPECT_EQ(length, count) << "the count says what was written";
  EXPECT_EQ(SetEOF(refNum, SInt32(block.size())), dskFulErr) << "growing reserves the space";
  EXPECT_EQ(FSClose(refNum), noErr);

  ASSERT_EQ(FSMakeFSSpecFromPath(readOnly.file("x").c_str(), &spec), noErr);
  EXPECT_EQ(FSpCreate(&spec, kCreator, kType, smSystemScript), wPrErr);
}

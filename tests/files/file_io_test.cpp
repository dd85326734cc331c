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

  std::filesystem::create_directory(dir.file("folder"));
  FSSpec folder = CreatedFile(dir.file("folder/x"));
  folder.name[0] = 0;  // the folder itself
  EXPECT_EQ(FSpOpenDF(&folder, fsRdWrPerm, &refNum), fnfErr);
}

TEST(ForkIO, ReadWritePositionAndLength) {
  TempDir dir;
  FSSpec spec = CreatedFile(dir.file("data"));
  SInt16 refNum = 0, readOnly = 0, volume = 0;
  ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &refNum), noErr);
  SInt32 count = 10, value = -1;
  ASSERT_EQ(FSWrite(refNum, &count, "0123456789"), noErr);
  EXPECT_EQ(GetEOF(refNum, &value), noErr);
  EXPECT_EQ(value, 10);

  char buffer[100] = {};
  ASSERT_EQ(SetFPos(refNum, fsFromStart, 2), noErr);
  count = 100;
  EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
  EXPECT_EQ(std::string(buffer, count), "23456789");
  EXPECT_EQ(SetFPos(refNum, fsFromLEOF, -3), noErr);
  EXPECT_EQ(SetFPos(refNum, fsFromMark, 1), noErr);
  EXPECT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 8);
  EXPECT_EQ(SetFPos(refNum, fsFromStart, -1), posErr);
  EXPECT_EQ(SetFPos(refNum, fsFromStart, 11), eofErr);
  EXPECT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 10) << "the mark stops at the end";

  ASSERT_EQ(SetEOF(refNum, 3), noErr);
  EXPECT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 3);
  ASSERT_EQ(SetEOF(refNum, 6), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("data")), std::string("012\0\0\0", 6));

  EXPECT_EQ(GetVRefNum(refNum, &volume), noErr);
  EXPECT_EQ(volume, spec.vRefNum);
  EXPECT_EQ(FlushVol(nullptr, volume), noErr);
  ASSERT_EQ(FSpOpenDF(&spec, fsRdPerm, &readOnly), noErr);
  EXPECT_NE(readOnly, refNum);
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

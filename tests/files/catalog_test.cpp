#include <gtest/gtest.h>

#include "platform/files/Files.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

OSErr SpecOfExisting(const std::string& path, FSSpec* spec) {
  FSRef ref;
  OSErr status = FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr);
  return status != noErr ? status : FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, spec, nullptr);
}

std::string NameOf(const FSSpec& spec) {
  return std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
}

std::string PathOf(const FSSpec& spec) {
  std::string path;
  EXPECT_EQ(FSpGetPOSIXPath(&spec, &path), noErr);
  return path;
}

}  // namespace

// Every run maps paths to specs and back; here the ones that must be refused.
TEST(Catalog, MissingFoldersAndMalformedSpecsAreRefused) {
  TempDir dir;
  const std::string path = dir.write("clip.mov", "movie");
  FSSpec spec{}, other{};
  ASSERT_EQ(SpecOfExisting(path, &spec), noErr);
  EXPECT_EQ(SpecOfExisting(dir.file("none.mov"), &other), fnfErr);
  EXPECT_EQ(FSMakeFSSpecFromPath(dir.file("nofolder/x").c_str(), &other), dirNFErr);
  EXPECT_EQ(FSMakeFSSpecFromPath((path + "/x").c_str(), &other), dirNFErr);

  // Past the end of a name's 63 bytes, or a folder nobody named.
  std::string out;
  FSSpec bad = spec;
  bad.name[0] = 64;
  EXPECT_EQ(FSpGetPOSIXPath(&bad, &out), bdNamErr);
  bad = spec;
  bad.parID = 0x7FFFFFF0;
  EXPECT_EQ(FSpGetPOSIXPath(&bad, &out), dirNFErr);
}

TEST(Catalog, LongAndUnusualNamesReachTheRealFile) {
  TempDir dir;
  std::string stem;  // two-byte characters: a split one would show as an odd prefix length
  for (int i = 0; i < 50; ++i) stem += "é";
  const std::string first = dir.write(stem + " one.mov", "first"), second = dir.write(stem + " two.mov", "second");
  FSSpec a{}, b{}, again{};
  ASSERT_EQ(SpecOfExisting(first, &a), noErr);
  ASSERT_EQ(SpecOfExisting(second, &b), noErr);
  ASSERT_EQ(SpecOfExisting(first, &again), noErr);
  EXPECT_LE(a.name[0], 63);
  EXPECT_NE(NameOf(a), NameOf(b));
  EXPECT_EQ(NameOf(again), NameOf(a));
  EXPECT_EQ(NameOf(a).find('#') % 2, 0u) << NameOf(a);
  EXPECT_TRUE(NameOf(a).ends_with(".mov"));
  SInt16 refNum = 0;
  SInt32 count = 16;
  char buffer[16] = {};
  ASSERT_EQ(FSpOpenDF(&b, fsRdPerm, &refNum), noErr);
  EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
  EXPECT_EQ(std::string(buffer, count), "second");
  EXPECT_EQ(FSClose(refNum), noErr);

  // A real file that later takes a stand-in's name is reached by that name, not the long file.
  const std::string literal = dir.write(NameOf(a), "short");
  ASSERT_EQ(SpecOfExisting(literal, &again), noErr);
  EXPECT_EQ(PathOf(again), fs::canonical(literal).string());

  // Names that do not exist yet are created under their real names.
  for (const std::string& name : {stem + " three.3gp", std::string("ムービー 'clip' \"final\" (1).mov")}) {
    FSSpec spec{};
    ASSERT_EQ(FSMakeFSSpecFromPath(dir.file(name).c_str(), &spec), noErr);
    ASSERT_EQ(FSpCreate(&spec, 0, 0, smSystemScript), noErr);
    EXPECT_TRUE(fs::exists(dir.file(name))) << name;
    ASSERT_EQ(SpecOfExisting(dir.file(name), &again), noErr);
    EXPECT_EQ(PathOf(again), fs::canonical(dir.file(name)).string()) << name;
  }
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/StringTable.h"
#include "tests/framework/TestWindow.h"
#include "tests/support/TempDir.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { hadOld_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::string old_;
  bool hadOld_ = false;
};

}  // namespace

TEST(UserDefaults, IntegersPersistInTheUsersConfigFolder) {
  TempDir config;
  ScopedEnv home("XDG_CONFIG_HOME", config.path().c_str());
  NSUserDefaults::resetStandardUserDefaults();
  NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
  EXPECT_EQ(defaults->integerForKey("TestRate"), 0) << "missing reads as 0";
  defaults->setInteger(48, "TestRate");
  defaults->setInteger(-3, "TestFormat");
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_TRUE(std::filesystem::exists(config.file("pocketmovie/pocketmovie.conf")));

  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("TestRate"), 48);
  EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("TestFormat"), -3);

  config.write("pocketmovie/pocketmovie.conf", "[General]\nTestFrames=fast\n");
  NSUserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("TestFrames"), 0) << "not a number reads as 0";
  NSUserDefaults::resetStandardUserDefaults();
}

TEST(Bundle, FolderComesFromTheOverrideOrThePerUserDataFolder) {
  TempDir place;
  {
    ScopedEnv bundle("POCKETMOVIE_BUNDLE", place.file("own/bundle").c_str());
    EXPECT_EQ(NSBundle::mainBundle()->bundlePath().str(), place.file("own/bundle"));
    EXPECT_TRUE(std::filesystem::exists(place.file("own/bundle")));
  }
  ScopedEnv noOverride("POCKETMOVIE_BUNDLE", nullptr);
  ScopedEnv data("XDG_DATA_HOME", place.file("data").c_str());
  EXPECT_EQ(NSBundle::mainBundle()->bundlePath().str(), place.file("data/pocketmovie"));
  EXPECT_TRUE(std::filesystem::exists(place.file("data/pocketmovie")));
}

TEST(Bundle, StringTableWithTheKeyAsFallback) {
  TestController();
  NSBundle* bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle->localizedStringForKey("Convert", nullptr, nullptr).str(), "Convert…");
  EXPECT_EQ(bundle->localizedStringForKey("Unknown", nullptr, nullptr).str(), "Unknown");
  const NSString value = "Given";
  EXPECT_EQ(bundle->localizedStringForKey("Unknown", &value, nullptr).str(), "Given");

  const auto table = framework::ParseStringTable(
      "/* a \"comment\" */ \"a\" = \"x\\\"y\";\n// line\n\"b\"=\"two\\nlines\"; \"c\" = \"unterminated");
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.at("a"), "x\"y");
  EXPECT_EQ(table.at("b"), "two\nlines");
}

TEST(FileManager, MakesAMissingFileAndKeepsAnExistingOne) {
  TempDir folder;
  NSFileManager* files = NSFileManager::defaultManager();
  EXPECT_TRUE(files->createFileAtPath(folder.file("new.mp4"), nullptr, nullptr));
  EXPECT_TRUE(std::filesystem::exists(folder.file("new.mp4")));
  EXPECT_EQ(framework::LastOutputPath(), folder.file("new.mp4"));

  const std::string kept = folder.write("kept.mp4", "contents");
  EXPECT_TRUE(files->createFileAtPath(kept, nullptr, nullptr));
  EXPECT_EQ(ReadWholeFile(kept), "contents");

  EXPECT_FALSE(files->createFileAtPath(folder.file("no/such/folder.mp4"), nullptr, nullptr));
  EXPECT_FALSE(files->createFileAtPath(folder.path(), nullptr, nullptr)) << "a folder is not a file";
  EXPECT_NE(framework::FirstFailure(), "");
}

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/desktop/FailureText.h"
#include "platform/terminal/CommandLine.h"
#include "tests/framework/TestWindow.h"
#include "tests/support/TempDir.h"

using framework::FailureText;
using framework::ParseCommandLine;
using framework::RunOptions;

namespace {

std::vector<const char*> WithProgramName(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pocketmovie");
  return arguments;
}

RunOptions Parse(const std::vector<const char*>& arguments) {
  const auto argv = WithProgramName(arguments);
  return ParseCommandLine(int(argv.size()), argv.data());
}

int RunMain(const std::vector<const char*>& arguments) {
  auto argv = WithProgramName(arguments);
  return NSApplicationMain(int(argv.size()), argv.data());
}

}  // namespace

TEST(CommandLine, ReadsOneRunsOptionsAndRefusesUnusableOnesWithStatusTwo) {
  // The values themselves reach the window in the headless run below; here the other spellings.
  RunOptions options = Parse({"--size", "200x150", "--size=qcif", "--", "-odd name.mov"});
  EXPECT_FALSE(options.error);
  EXPECT_EQ(options.sizeTag, 11);
  EXPECT_FALSE(options.customWidth || options.customHeight);
  EXPECT_EQ(options.movies, std::vector<std::string>{"-odd name.mov"});
  for (const auto& [limit, kilobytes] : {std::pair{"1M", 1024L}, std::pair{"1.5MB", 1536L}, std::pair{"300k", 300L},
                                         std::pair{"450", 450L}, std::pair{"none", 0L}}) {
    EXPECT_EQ(Parse({"--fit", limit}).fitKilobytes, kilobytes) << limit;
  }

  // Every limit from both sides: the last value taken, then the first one refused.
  const std::vector<std::pair<std::vector<const char*>, std::vector<const char*>>> limits = {
      {{"--size", "16x16"}, {"--size", "15x16"}},     {{"--size", "16x16"}, {"--size", "16x15"}},
      {{"--size", "4096x4096"}, {"--size", "4097x4096"}}, {{"--size", "4096x4096"}, {"--size", "4096x4097"}},
      {{"--fps", "0.0001"}, {"--fps", "0.00009"}},    {{"--fps", "120"}, {"--fps", "120.001"}},
      {{"--rate", "1"}, {"--rate", "0"}},             {{"--rate", "100000"}, {"--rate", "100001"}},
      {{"--jobs", "1"}, {"--jobs", "0"}},             {{"--jobs", "64"}, {"--jobs", "65"}},
  };
  for (const auto& [taken, refused] : limits) {
    EXPECT_FALSE(Parse(taken).error) << taken[0] << " " << taken[1];
    EXPECT_TRUE(Parse(refused).error) << refused[0] << " " << refused[1];
  }
  // A size out of range says which limit it broke.
  EXPECT_EQ(FailureText(Parse({"--size", "99999x99999"}).error), "size '99999x99999' is too large: at most 4096x4096");
  EXPECT_EQ(FailureText(Parse({"--size", "1x1"}).error), "size '1x1' is too small: at least 16x16");

  for (const std::vector<const char*>& bad :
       std::vector<std::vector<const char*>>{{"--format", "avi"}, {"--size", "12x"}, {"--size", "160"},
                                             {"--fps", "nan"}, {"--fps", "12fps"}, {"--fps", "1e-320"},
                                             {"--rate", "1.5"}, {"--rate"}, {"--fit", "300X"}, {"--fit", "-1K"},
                                             {"--fit", "4096M"}, {"--fit", "0.1"}, {"--colour", "red"}, {"--output-dir="}}) {
    EXPECT_TRUE(Parse(bad).error) << bad[0];
  }

  // Before anything runs.
  RecordingController& controller = TestController();
  controller.calls.clear();
  EXPECT_EQ(RunMain({"--format", "mkv", "clip.mov"}), 2);
  EXPECT_EQ(RunMain({"--headless"}), 2) << "no movie and no window";
  EXPECT_EQ(RunMain({"--help"}), 0);
  EXPECT_TRUE(controller.calls.empty());
}

TEST(CommandLine, HeadlessRunAppliesOptionsInOrderAndKeepsThemOutOfThePreferences) {
  RecordingController& controller = TestController();
  TempDir folder;
  const std::string movie = folder.write("clip.mov", "stand-in");
  int exitStatus = -1;
  NSApplication::setExitHandler([&exitStatus](int status) { exitStatus = status; });
  // The menus' choices as each action sees them: the format first, since it resets the size.
  std::vector<long> tagsAtAction;
  controller.onAction = [&](const std::string& selector) {
    const char* menu = selector == "changeCODEC:"    ? "popupCODEC"
                       : selector == "selectFitSize:" ? "popupFitSize"
                                                      : "popupExportSize";
    tagsAtAction.push_back(Outlet<NSPopUpButton>(menu)->selectedItem()->tag());
  };
  controller.onTerminate = [] {  // as the real controller saves the fields
    NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
    defaults->setInteger(Outlet<NSTextField>("dataRate")->intValue(), "DataRate");
    defaults->setInteger(Outlet<NSTextField>("frameRate")->intValue(), "FrameRate");
  };
  NSUserDefaults::standardUserDefaults()->setInteger(64, "DataRate");
  controller.calls.clear();

  const int status =
      RunMain({"--headless", "--rate", "20", "--fps", "7.5", "--size", "200x150", "--format", "3gp", "--fit", "450K",
               movie.c_str()});

  EXPECT_EQ(controller.calls, (std::vector<std::string>{"launch", "changeCODEC:", "selectExportSize:",
                                                        "selectFitSize:", "open " + movie, "terminate"}));
  EXPECT_EQ(tagsAtAction, (std::vector<long>{1, 0, -1}));  // a limit the menu does not offer is typed in
  EXPECT_EQ(Outlet<NSTextField>("fitSize")->intValue(), 450);
  EXPECT_EQ(Outlet<NSTextField>("widthMov")->intValue(), 200);
  EXPECT_EQ(Outlet<NSTextField>("heightMov")->intValue(), 150);
  EXPECT_DOUBLE_EQ(Outlet<NSTextField>("frameRate")->doubleValue(), 7.5);
  EXPECT_EQ(Outlet<NSSlider>("sliderData")->intValue(), 20);
  NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
  EXPECT_EQ(defaults->integerForKey("DataRate"), 64) << "an option's value is not remembered";
  EXPECT_EQ(defaults->integerForKey("FrameRate"), 0);
  EXPECT_NE(status, 0) << "no export ran";
  EXPECT_EQ(exitStatus, status);

  controller.onAction = nullptr;
  controller.onTerminate = nullptr;
  NSApplication::setExitHandler(nullptr);
}

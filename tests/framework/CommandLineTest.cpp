#include <gtest/gtest.h>

#include <vector>

#include "platform/framework/CommandLine.h"
#include "tests/framework/TestWindow.h"
#include "tests/support/TempDir.h"

using framework::ParseCommandLine;
using framework::RunOptions;

namespace {

RunOptions parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pocketmovie");
  return ParseCommandLine(int(arguments.size()), arguments.data());
}

int runMain(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pocketmovie");
  return NSApplicationMain(int(arguments.size()), arguments.data());
}

}  // namespace

TEST(CommandLine, ReadsOneRunsOptions) {
  RunOptions options = parse({"--headless", "--format", "3g2", "--size=qcif", "--fps", "7.5", "--rate", "20", "a.mov"});
  EXPECT_EQ(options.error, "");
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.formatTag, 2);
  EXPECT_EQ(options.sizeTag, 11);
  EXPECT_EQ(options.framesPerSecond, 7.5);
  EXPECT_EQ(options.kilobytesPerSecond, 20);
  EXPECT_EQ(options.movie, "a.mov");

  options = parse({"--size", "200x150", "--", "-odd name.mov"});
  EXPECT_EQ(options.sizeTag, 0);
  EXPECT_EQ(options.customWidth, 200);
  EXPECT_EQ(options.customHeight, 150);
  EXPECT_EQ(options.movie, "-odd name.mov");

  for (const std::vector<const char*>& bad :
       std::vector<std::vector<const char*>>{{"--format", "avi"}, {"--size", "0x10"}, {"--size", "12x"},
                                             {"--fps", "0"}, {"--fps", "nan"}, {"--fps", "12fps"}, {"--rate", "-5"},
                                             {"--rate", "1.5"}, {"--rate"}, {"--colour", "red"}, {"a.mov", "b.mov"}}) {
    EXPECT_NE(parse(bad).error, "") << bad[0];
  }
}

TEST(CommandLine, UnusableArgumentsEndWithStatusTwoBeforeAnythingRuns) {
  RecordingController& controller = TestController();
  controller.calls.clear();
  EXPECT_EQ(runMain({"--format", "mkv", "clip.mov"}), 2);
  EXPECT_EQ(runMain({"--headless"}), 2) << "no movie and no window";
  EXPECT_EQ(runMain({"--help"}), 0);
  EXPECT_TRUE(controller.calls.empty());
}

TEST(CommandLine, HeadlessRunAppliesOptionsInOrderAndKeepsThemOutOfThePreferences) {
  RecordingController& controller = TestController();
  TempDir folder;
  const std::string movie = folder.write("clip.mov", "stand-in");
  int exitStatus = -1;
  NSApplication::setExitHandler([&exitStatus](int status) { exitStatus = status; });

  std::vector<std::string> sizeFieldsAtAction;
  controller.onAction = [&](const std::string& selector) {
    if (selector == "changeCODEC:")
      sizeFieldsAtAction.push_back("format " + std::to_string(Outlet<NSPopUpButton>("popupCODEC")->selectedItem()->tag()));
    if (selector == "selectExportSize:")
      sizeFieldsAtAction.push_back("size " + std::to_string(Outlet<NSPopUpButton>("popupExportSize")->selectedItem()->tag()));
  };
  controller.onTerminate = [] {
    NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
    defaults->setInteger(Outlet<NSTextField>("dataRate")->intValue(), "DataRate");
    defaults->setInteger(Outlet<NSTextField>("frameRate")->intValue(), "FrameRate");
    defaults->setInteger(99, "Untouched");
  };
  NSUserDefaults::standardUserDefaults()->setInteger(64, "DataRate");
  controller.calls.clear();

  const int status =
      runMain({"--headless", "--rate", "20", "--fps", "7.5", "--size", "200x150", "--format", "3gp", movie.c_str()});

  EXPECT_EQ(controller.calls, (std::vector<std::string>{"launch", "changeCODEC:", "selectExportSize:",
                                                        "open " + movie, "terminate"}));
  EXPECT_EQ(sizeFieldsAtAction, (std::vector<std::string>{"format 1", "size 0"}));
  EXPECT_EQ(Outlet<NSTextField>("widthMov")->intValue(), 200);
  EXPECT_EQ(Outlet<NSTextField>("heightMov")->intValue(), 150);
  EXPECT_DOUBLE_EQ(Outlet<NSTextField>("frameRate")->doubleValue(), 7.5);
  EXPECT_EQ(Outlet<NSTextField>("dataRate")->intValue(), 20);
  EXPECT_EQ(Outlet<NSSlider>("sliderData")->intValue(), 20);

  NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
  EXPECT_EQ(defaults->integerForKey("DataRate"), 64) << "an option's value is not remembered";
  EXPECT_EQ(defaults->integerForKey("FrameRate"), 0);
  EXPECT_EQ(defaults->integerForKey("Untouched"), 99);

  EXPECT_NE(status, 0) << "no export ran";
  EXPECT_EQ(exitStatus, status);

  // A movie that is not there is not handed to the delegate.
  controller.calls.clear();
  EXPECT_NE(runMain({"--headless", folder.file("missing.mov").c_str()}), 0);
  EXPECT_EQ(controller.calls, (std::vector<std::string>{"launch", "terminate"}));

  controller.onAction = nullptr;
  controller.onTerminate = nullptr;
  NSApplication::setExitHandler(nullptr);
}

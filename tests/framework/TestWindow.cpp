#include "tests/framework/TestWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TempDir.h"

namespace {
const bool registered = (NSRegisterClass("ConverterController", [] { return new RecordingController; }), true);
}  // namespace

BOOL RecordingController::connectOutlet(const NSString& name, NSObject* object) {
  outlets.push_back(name.str());
  return object != nullptr;
}

BOOL RecordingController::sendAction(const NSString& selector, id sender) {
  calls.push_back(selector.str());
  lastSender = sender;
  if (onAction) onAction(selector.str());
  return YES;
}

void RecordingController::applicationWillFinishLaunching(NSNotification*) { calls.push_back("launch"); }

BOOL RecordingController::applicationOpenFile(NSApplication*, const NSString& filename) {
  calls.push_back("open " + filename.str());
  return YES;
}

void RecordingController::applicationWillTerminate(NSNotification*) {
  calls.push_back("terminate");
  if (onTerminate) onTerminate();
}

const std::string& TestFolder() {
  static TempDir* folder = [] {
    auto* made = new TempDir;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", made->file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", made->file("data").c_str(), 1);
    setenv("POCKETMOVIE_BUNDLE", made->file("bundle").c_str(), 1);
    std::atexit([] { delete folder; });
    return made;
  }();
  return folder->path();
}

RecordingController& TestController() {
  TestFolder();
  EXPECT_TRUE(registered);
  auto* controller = dynamic_cast<RecordingController*>(NSLoadMainNib());
  if (!controller) {
    ADD_FAILURE() << "the window description did not load";
    std::abort();
  }
  return *controller;
}

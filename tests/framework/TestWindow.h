// The real window description, loaded once per test program with a recording object standing in
// for the controller, in an offscreen application with its own configuration and bundle folders.
#pragma once

#include <gtest/gtest.h>

#include "platform/framework/AppKit.h"
#include "platform/framework/NibLoading.h"
#include "tests/support/TempDir.h"

class RecordingController : public NSObject, public NSApplicationDelegate, public NSNibConnectable {
 public:
  BOOL connectOutlet(const NSString&, NSObject* object) override { return object != nullptr; }
  BOOL sendAction(const NSString& selector, id sender) override {
    calls.push_back(selector.str());
    lastSender = sender;
    return YES;
  }
  void applicationWillFinishLaunching(NSNotification*) override { calls.push_back("launch"); }
  BOOL applicationOpenFile(NSApplication*, const NSString& filename) override {
    calls.push_back("open " + filename.str());
    return YES;
  }
  void applicationWillTerminate(NSNotification*) override { calls.push_back("terminate"); }

  std::vector<std::string> calls;  // "launch", a selector, "open PATH", "terminate"
  id lastSender = nullptr;
};

// Loads the window on first use, with the process's folders in a temporary folder of its own.
inline RecordingController& TestController() {
  static const TempDir folder;
  static const bool ready = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    setenv("POCKETMOVIE_BUNDLE", folder.file("bundle").c_str(), 1);
    return NSRegisterClass("ConverterController", [] { return new RecordingController; }), true;
  }();
  EXPECT_TRUE(ready);
  auto* controller = dynamic_cast<RecordingController*>(NSLoadMainNib());
  if (!controller) {
    ADD_FAILURE() << "the window description did not load";
    std::abort();
  }
  return *controller;
}

template <typename View>
View* Outlet(const char* name) {
  return dynamic_cast<View*>(NSViewNamed(name));
}

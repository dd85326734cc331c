// The real window description, loaded once per test program with a recording object standing in
// for the controller, in an offscreen application with its own configuration and bundle folders.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/framework/AppKit.h"
#include "platform/framework/NibLoading.h"

class RecordingController : public NSObject, public NSApplicationDelegate, public NSNibConnectable {
 public:
  BOOL connectOutlet(const NSString& name, NSObject* object) override;
  BOOL sendAction(const NSString& selector, id sender) override;
  void applicationWillFinishLaunching(NSNotification* notification) override;
  BOOL applicationOpenFile(NSApplication* application, const NSString& filename) override;
  void applicationWillTerminate(NSNotification* notification) override;

  std::vector<std::string> outlets;
  std::vector<std::string> calls;  // "launch", a selector, "open PATH", "terminate"
  id lastSender = nullptr;
  std::function<void(const std::string& selector)> onAction;
  std::function<void()> onTerminate;
};

// Loads the window on first use; the process's folders live under TestFolder().
RecordingController& TestController();
const std::string& TestFolder();

template <typename View>
View* Outlet(const char* name) {
  return dynamic_cast<View*>(NSViewNamed(name));
}

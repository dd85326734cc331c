// Loading the window description without running the main loop, as NSApplicationMain does
// before it delivers the launch event. For tests and for the framework itself.
#pragma once

#include "platform/framework/AppKit.h"

// Makes the application (offscreen when there is no display), loads the window description from
// the program's resources, makes the object it names as the delegate, connects outlets and
// actions, and makes that object the application's delegate. Returns it (owned by the framework
// until exit), or null when the description cannot be loaded. A second call returns the same.
NSObject* NSLoadMainNib();
// The control the window description names, or null.
NSView* NSViewNamed(const NSString& name);

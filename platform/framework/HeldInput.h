// The event queue while an export holds the main thread. The export asks for left mouse-ups
// only; everything else the user does meanwhile must neither run nor be lost. An application-wide
// filter takes input out of Qt's delivery while an export is asking, keeps it in order, hands out
// what the export asks for, and gives the rest back to Qt once the main loop runs again.
#pragma once

#include "platform/framework/AppKit.h"

namespace framework {

// Lets pending window-system events in (paints are drawn, input is held), then takes the first
// held event of the mask, or returns null. Never waits.
NSEvent* NextHeldEvent(unsigned mask, bool dequeue);

// True from an export's first look at the queue until the main loop runs again.
bool InputHeld();

}  // namespace framework

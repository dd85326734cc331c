// The event queue while an export holds the main thread. The export asks for left mouse-ups
// only; nothing else the user does meanwhile may run. An application-wide filter takes input out
// of Qt's delivery while an export is asking, keeps it in order, hands out what the export asks
// for, turns the keyboard's and the window manager's ways of pressing "Abort" into a click on it,
// and drops the rest once the main loop runs again. Everything else (paints, resizes, the
// accessibility bus) is answered at each look.
#pragma once

#include "platform/framework/AppKit.h"

namespace framework {

// Lets pending events in (paints are drawn, input is held), then takes the first held event of
// the mask, or returns null. Waits only while the accessibility bus keeps asking, briefly.
NSEvent* NextHeldEvent(unsigned mask, bool dequeue);

// True from an export's first look at the queue until the main loop runs again.
bool InputHeld();

}  // namespace framework

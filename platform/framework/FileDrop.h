// Dropping a file onto the window opens it onto the application, as a file manager's "Open With"
// does: the delegate hears applicationOpenFile from the main loop.
#pragma once

class QWidget;

namespace framework {

// The window takes drops of local files from now on. Refused while an export holds the main
// thread, since nothing may start a conversion inside another.
void AcceptFileDrops(QWidget* window);

}  // namespace framework

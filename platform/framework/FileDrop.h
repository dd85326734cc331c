// Dropping a file onto the window opens it onto the application, as a file manager's "Open With"
// does: the delegate hears applicationOpenFile from the main loop.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace framework {

// The window takes drops of local files from now on. Refused while an export holds the main
// thread, since nothing may start a conversion inside another.
void AcceptFileDrops(QWidget* window);

// Opens files and the movies in folders onto the application, one movie or several at once (the
// folders' folders too when recursive). A folder without movies is opened as it is, to fail with
// that reason.
void OpenInWindow(const std::vector<std::string>& paths, bool recursive);

}  // namespace framework

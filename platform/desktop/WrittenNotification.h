// The window's word at the end: a desktop notification that the movie is written, with a button
// that shows it in its folder.
#pragma once

#include <string>

class QWidget;

namespace framework {

// Posts the notification for a completely written output movie, when the session has a
// notification service; otherwise does nothing. `window` is hidden first, so the user sees no
// wait. Where the service offers buttons, the process stays until the notification closes, the
// button is used or a minute has passed, since only this process can answer the button.
void AnnounceWrittenMovie(const std::string& outputPath, QWidget* window);

// Opens the file's folder with the file selected where the file manager can, else the folder.
void ShowInFolder(const std::string& path);

}  // namespace framework

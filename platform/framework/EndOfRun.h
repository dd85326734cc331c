// The window's word at the end of the program's last run: what was written, or what an abort
// left under the output's name. It is shown over the window for a moment, whether or not the
// desktop also gets a notification.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace framework {

struct EndOfRun {
  std::string text;       // empty: nothing to say (a run failed, or none ran)
  std::string shownFile;  // what "Show in Folder" shows; empty: no such button
  std::string notice;     // what the user should know of a movie written (frames dropped, a rate overshot)
};

// From the last export, or from the outputs of several movies written in turn when there are any.
// Measures an aborted output through the movie services, so it is made before they close.
EndOfRun LastRunEnd(const std::vector<std::string>& outputsWritten);

// Over the window, until dismissed or for a few seconds; nothing when the window is not shown.
void ShowEndOfRun(const EndOfRun& end, QWidget* window);

}  // namespace framework

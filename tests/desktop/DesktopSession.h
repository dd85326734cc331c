// The application on a real X display: an Xvfb server of the test program's own (so no click
// ever lands on someone's desktop), and a launch of the whole application in a child process
// with a probe that watches the window from inside its main loop and acts through xdotool, as
// a user's mouse and keyboard would.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QString>

class QComboBox;
class QPoint;
class QWidget;

// Runs inside the application's process, on its main thread: from the main loop, from modal
// dialogs' loops and from the export's looks at the queue alike.
class Probe {
 public:
  // One step of the script; returns true once done, false to be asked again on the next tick.
  using Step = std::function<bool(Probe&)>;

  QWidget* window() const;
  QWidget* modal() const;  // the modal dialog in front, or null
  // A control of the window (or of the modal dialog in front) by object name, or null.
  QWidget* control(const char* name) const;
  QString title(const char* name) const;
  double progress() const;  // what the progress bar shows, 0 to 100
  bool exposed(QWidget* widget) const;

  void click(QWidget* widget);  // a left click in its middle
  void click(const QPoint& global);
  void type(const std::string& text);
  void key(const char* name);  // an X key name: Return, Escape
  // Opens a pop-up menu by a click, clicks its item with that text, and is done once it closed.
  bool choose(QComboBox* menu, const QString& text);
  // A file dragged from elsewhere and dropped on the widget; true when the window took it.
  bool drop(QWidget* widget, const std::string& path);
  // What the screen shows of the widget's window, as a PNG in the screenshot folder.
  void shot(const std::string& name, QWidget* widget);

  void note(const std::string& key, const std::string& value);
  double millisecondsSinceStart() const;

  // For the harness.
  Probe(std::string notesPath, std::string shotsFolder);
  void tick(std::vector<Step>& steps);

 private:
  std::string notesPath_;
  std::string shotsFolder_;
  size_t nextStep_ = 0;
  double lastProgress_ = -1;
  bool menuOpened_ = false;
  bool itemClicked_ = false;
};

class DesktopSession {
 public:
  // The display, or null when Xvfb or xdotool is not installed.
  static DesktopSession* Get();
  ~DesktopSession();

  struct Run {
    bool exited = false;  // false: it was still running at the time limit and was killed
    int status = -1;
    std::multimap<std::string, std::string> notes;
    std::string note(const std::string& key) const;
    std::vector<double> numbers(const std::string& key) const;
    std::string all() const;  // every note, for a failure's message
  };

  // Starts the application with these arguments in a child process whose preferences, bundle
  // folder and home are `folder`'s; runs `steps` in order, then `atExit` when the application
  // ends (its window is still there).
  Run launch(const std::string& folder, const std::vector<std::string>& arguments, std::vector<Probe::Step> steps,
             std::function<void(Probe&)> atExit = {}, int timeLimitSeconds = 30) const;

  // Where screenshots go: $TEST_OUTPUT_DIR/screenshots, or the build tree's test-output folder.
  static std::string ScreenshotFolder();

 private:
  DesktopSession() = default;
  std::string display_;
  pid_t server_ = -1;
};

// The application on a real X display: an Xvfb server of the test program's own (so no click
// ever lands on someone's desktop), and a launch of the whole application in a child process
// with a probe that watches the window from inside its main loop and acts through xdotool, as
// a user's mouse and keyboard would.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <thread>

#include "platform/desktop/Translation.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/NibLoading.h"

// Runs inside the application's process, on its main thread: from the main loop, from modal
// dialogs' loops and from the export's looks at the queue alike.
class Probe {
 public:
  // One step of the script; returns true once done, false to be asked again on the next tick.
  using Step = std::function<bool(Probe&)>;

  explicit Probe(std::string notesPath) : notesPath_(std::move(notesPath)) {}

  QWidget* window() const { return framework::MainWindowWidget(); }
  QWidget* modal() const { return QApplication::activeModalWidget(); }  // the modal dialog in front, or null
  // A control of the modal dialog in front, or else of the window, by object name; or null.
  QWidget* control(const char* name) const {
    for (QWidget* place : {modal(), window()}) {
      if (QWidget* found = place ? place->findChild<QWidget*>(QString::fromLatin1(name)) : nullptr) return found;
    }
    return nullptr;
  }
  QString title(const char* name) const {
    auto* shown = dynamic_cast<NSControl*>(NSViewNamed(name));
    return shown ? QString::fromStdString(shown->stringValue().str()) : QString();
  }
  double progress() const {  // what the progress bar shows, 0 to 100
    auto* bar = dynamic_cast<NSProgressIndicator*>(NSViewNamed("progress"));
    return bar ? bar->doubleValue() : -1;
  }
  // The labels, buttons and menus of the widget's window that are smaller than their text needs.
  std::string clipped(QWidget* widget) const {
    std::string names;
    std::vector<QWidget*> shown;  // those with a text; a panel on top is its own
    for (QWidget* each : widget->window()->findChildren<QWidget*>()) {
      if (!each->isVisible() || each->window() != widget->window()) continue;
      if (qobject_cast<QLineEdit*>(each)) shown.push_back(each);  // it scrolls its text: only a cover cuts it
      if (!qobject_cast<QLabel*>(each) && !qobject_cast<QAbstractButton*>(each) && !qobject_cast<QComboBox*>(each)) {
        continue;
      }
      shown.push_back(each);
      QSize needed = each->minimumSizeHint().expandedTo(qobject_cast<QComboBox*>(each) ? QSize() : each->sizeHint());
      if (auto* label = qobject_cast<QLabel*>(each); label && label->wordWrap()) {
        // Wraps to its width: its height can fall short, and a word that cannot be broken (a path) overflows.
        const QRect lines = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1 << 20), Qt::TextWordWrap,
                                                              label->text());
        needed = {lines.width(), label->heightForWidth(label->width())};
      }
      if (each->width() < needed.width() || each->height() < needed.height()) {
        names += each->objectName().toStdString() + " ";
      }
    }
    // A text another control covers is cut too, however much room it asked for.
    for (size_t i = 0; i < shown.size(); ++i) {
      for (size_t j = i + 1; j < shown.size(); ++j) {
        if (shown[i]->isAncestorOf(shown[j]) || shown[j]->isAncestorOf(shown[i])) continue;
        const QRect a(shown[i]->mapTo(shown[i]->window(), QPoint()), shown[i]->size());
        const QRect b(shown[j]->mapTo(shown[j]->window(), QPoint()), shown[j]->size());
        if (a.intersects(b)) names += shown[i]->objectName().toStdString() + "/" + shown[j]->objectName().toStdString() + " ";
      }
    }
    return names.empty() ? "none" : names;
  }
  // The access keys of the window's labels, buttons and menus, sorted (a key given twice shows twice),
  // then the menu's shortcuts.
  std::string accessKeys() const {
    std::string keys;
    for (QWidget* shown : window()->findChildren<QWidget*>()) {
      const QString text = shown->property(qobject_cast<QMenu*>(shown) ? "title" : "text").toString();
      if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty()) keys += char(key[0].key());
    }
    std::sort(keys.begin(), keys.end());
    for (QAction* action : window()->findChildren<QAction*>()) {  // and the menu's shortcuts
      if (!action->shortcut().isEmpty()) keys += " " + action->shortcut().toString().toStdString();
    }
    return keys;
  }
  // The window has taken the room its lines asked for: a label that grew has its height, and the
  // window its minimum (the layout follows a new text one event later).
  bool laidOut(QWidget* window) const {
    for (QWidget* each : window->findChildren<QWidget*>()) {
      if (each->isVisible() && each->window() == window && each->height() < each->minimumHeight()) return false;
    }
    const int needed = window->layout() ? window->layout()->totalMinimumSize().height() : 0;
    return window->height() >= std::max(needed, window->minimumHeight());
  }
  bool exposed(QWidget* widget) const {
    QWindow* shown = widget ? widget->window()->windowHandle() : nullptr;
    return shown && widget->isVisible() && shown->isExposed();
  }

  // The window's word at the end of the run once it is shown: its text noted, its picture taken.
  bool endOfRunShown(const std::string& name) {
    auto* end = qobject_cast<QMessageBox*>(modal());
    if (!exposed(end) || end->objectName() != "endOfRun") return false;
    const std::string notice = end->informativeText().toStdString();
    note("endOfRun", end->text().toStdString() + (notice.empty() ? "" : " / " + notice) + " | " +
                         std::to_string(end->buttons().size()) + " buttons");
    note("clippedEnd", clipped(end));
    shot(name, end);
    return true;
  }

  void click(QWidget* widget) { clickAt(widget->mapToGlobal(widget->rect().center())); }  // a left click
  void key(const char* name) { xdotool(std::string("key ") + name); }  // an X key name: Return, Escape
  // Opens a pop-up menu by a click, clicks its item with that text, and is done once it closed.
  bool choose(QComboBox* menu, const QString& text) {
    QAbstractItemView* list = menu->view();
    if (!menuOpened_) {
      click(menu);
      menuOpened_ = true;
    } else if (list->isVisible() && !itemClicked_) {
      clickAt(list->viewport()->mapToGlobal(list->visualRect(list->model()->index(menu->findText(text), 0)).center()));
      itemClicked_ = true;
    } else if (itemClicked_ && !list->isVisible()) {
      menuOpened_ = itemClicked_ = false;
      return true;
    }
    return false;
  }
  // Files dragged from elsewhere and dropped on the widget; true when the window took them.
  bool drop(QWidget* widget, const std::vector<std::string>& paths) {
    QStringList names;
    for (const std::string& path : paths) names << QString::fromStdString(path);
    QList<QUrl> urls;
    for (const QString& name : names) urls << QUrl::fromLocalFile(name);
    QMimeData data;
    data.setUrls(urls);
    data.setText(names.join('\n'));  // as file managers offer it, which fields would take
    QDragEnterEvent enter(widget->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(widget->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
  }
  // What the screen shows of the widget's window, as a PNG in $TEST_OUTPUT_DIR/screenshots or
  // the build tree's test-output/screenshots.
  void shot(const std::string& name, QWidget* widget) {
    const char* output = std::getenv("TEST_OUTPUT_DIR");
    const std::string path = (output && *output ? std::string(output) : POCKETMOVIE_TEST_OUTPUT) + "/screenshots/";
    const QRect area = widget->window()->frameGeometry();
    QDir().mkpath(QString::fromStdString(path));
    widget->window()->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(QString::fromStdString(path + name + ".png"));
    note("shot", path + name + ".png");
  }
  void note(const std::string& key, const std::string& value) {
    std::ofstream(notesPath_, std::ios::app) << key << ' ' << value << '\n';
  }
  // True once this step has been tried for `ms` milliseconds: a new text moves the layout over a
  // few events, and a cut that lasts is the one a user sees.
  bool triedFor(double ms) {
    if (triedSince_.first != nextStep_ || triedSince_.second < 0) triedSince_ = {nextStep_, millisecondsSinceStart()};
    return millisecondsSinceStart() - triedSince_.second >= ms;
  }
  double millisecondsSinceStart() const {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }

  void tick(std::vector<Step>& steps) {
    // Every value the bar shows while the convert button says "Abort", in the window's language.
    static const QString abort = QString::fromStdString(framework::Tr("Localizable", "Abort"));
    if (title("button") == abort && progress() != lastProgress_) {
      note("progress", std::to_string(lastProgress_ = progress()));
    }
    if (nextStep_ < steps.size() && steps[nextStep_](*this)) note("step", std::to_string(++nextStep_));
    // Once the script is done, the window's word at the end is dismissed rather than waited out.
    auto* end = qobject_cast<QMessageBox*>(modal());
    if (nextStep_ == steps.size() && end && end->objectName() == "endOfRun") end->reject();
  }

 private:
  static void xdotool(const std::string& arguments) {
    if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) != 0) {
      std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
    }
  }
  void clickAt(const QPoint& at) {
    xdotool("mousemove --sync " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 1");
  }

  std::string notesPath_;
  size_t nextStep_ = 0;
  std::pair<size_t, double> triedSince_{0, -1};
  double lastProgress_ = -1;
  bool menuOpened_ = false;
  bool itemClicked_ = false;
};

class DesktopSession {
 public:
  struct Run {
    bool exited = false;  // false: it was still running at the time limit and was killed
    int status = -1;
    std::multimap<std::string, std::string> notes;
    std::string note(const std::string& key) const {
      const auto found = notes.find(key);
      return found != notes.end() ? found->second : std::string("(none)");
    }
    // Every "clipped…" note that named a cut text, as "note: names"; empty when all read "none".
    std::string clipped() const {
      std::string cut;
      for (const auto& [key, value] : notes) {
        if (key.rfind("clipped", 0) == 0 && value != "none") cut += key + ": " + value + "\n";
      }
      return cut;
    }
    std::vector<double> numbers(const std::string& key) const {
      std::vector<double> values;
      for (auto [it, end] = notes.equal_range(key); it != end; ++it) values.push_back(std::atof(it->second.c_str()));
      return values;
    }
    std::string all() const {  // every note, for a failure's message
      std::string text;
      for (const auto& [key, value] : notes) text += key + " " + value + "\n";
      return text;
    }
  };

  // The display, or null when Xvfb or xdotool is not installed.
  static DesktopSession* Get() {
    static std::unique_ptr<DesktopSession> session = []() -> std::unique_ptr<DesktopSession> {
      if (std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0) return nullptr;
      int pipeEnds[2];
      if (pipe(pipeEnds) != 0) return nullptr;
      const std::string fd = std::to_string(pipeEnds[1]);
      const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                            nullptr};
      std::unique_ptr<DesktopSession> made(new DesktopSession);
      if (posix_spawnp(&made->server_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        return nullptr;
      }
      close(pipeEnds[1]);
      // The server writes its display number once it accepts connections.
      pollfd ready{pipeEnds[0], POLLIN, 0};
      char number[16] = {};
      if (poll(&ready, 1, 10000) == 1 && read(pipeEnds[0], number, sizeof number - 1) > 0) {
        made->display_ = ":" + std::to_string(std::atoi(number));
      }
      close(pipeEnds[0]);
      return made->display_.empty() ? nullptr : std::move(made);
    }();
    return session.get();
  }

  ~DesktopSession() {
    if (server_ > 0 && kill(server_, SIGTERM) == 0) waitpid(server_, nullptr, 0);
  }

  // Starts the application with these arguments in a child process whose preferences, bundle
  // folder and home are `folder`'s, with English texts unless `language` names another; runs
  // `steps` in order, then `atExit` when the application ends (its window is still there).
  Run launch(const std::string& folder, const std::vector<std::string>& arguments, std::vector<Probe::Step> steps,
             std::function<void(Probe&)> atExit = {}, const std::string& language = "en") const {
    const std::string notes = folder + "/probe-notes";
    std::remove(notes.c_str());
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      setenv("DISPLAY", display_.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      setenv("HOME", folder.c_str(), 1);
      setenv("LANGUAGE", language.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
      setenv("POCKETMOVIE_BUNDLE", (folder + "/bundle").c_str(), 1);
      QDir().mkpath(QString::fromStdString(folder + "/bundle"));
      framework::EnsureApplication();
      auto* probe = new Probe(notes);
      auto* timer = new QTimer;
      QObject::connect(timer, &QTimer::timeout, [probe, &steps] { probe->tick(steps); });
      timer->start(10);
      NSApplication::setExitHandler([probe, &atExit](int status) {
        if (atExit) atExit(*probe);
        probe->note("exit", std::to_string(status));
        std::fflush(nullptr);
        _exit(status);
      });
      std::vector<const char*> argv{"pocketmovie"};
      for (const std::string& argument : arguments) argv.push_back(argument.c_str());
      argv.push_back(nullptr);
      _exit(NSApplicationMain(int(argv.size() - 1), argv.data()));
    }

    Run run;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) != child) {
      if (std::chrono::steady_clock::now() > limit) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : -1;
    std::ifstream in(notes);
    for (std::string line; std::getline(in, line);) {
      const size_t space = line.find(' ');
      run.notes.emplace(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
    }
    return run;
  }

 private:
  DesktopSession() = default;
  std::string display_;
  pid_t server_ = -1;
};

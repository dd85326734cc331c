#include "tests/desktop/DesktopSession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/NibLoading.h"

extern char** environ;

namespace {

const auto kStart = std::chrono::steady_clock::now();

bool Installed(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

void Xdotool(const std::string& arguments) {
  if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) != 0) {
    std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

// ---- the probe, inside the application ----

Probe::Probe(std::string notesPath, std::string shotsFolder)
    : notesPath_(std::move(notesPath)), shotsFolder_(std::move(shotsFolder)) {}

QWidget* Probe::window() const { return framework::MainWindowWidget(); }

QWidget* Probe::modal() const { return QApplication::activeModalWidget(); }

QWidget* Probe::control(const char* name) const {
  if (QWidget* dialog = modal()) {
    if (auto* found = dialog->findChild<QWidget*>(QString::fromLatin1(name))) return found;
  }
  return window() ? window()->findChild<QWidget*>(QString::fromLatin1(name)) : nullptr;
}

QString Probe::title(const char* name) const {
  auto* control = dynamic_cast<NSControl*>(NSViewNamed(name));
  return control ? QString::fromStdString(control->stringValue().str()) : QString();
}

double Probe::progress() const {
  auto* bar = dynamic_cast<NSProgressIndicator*>(NSViewNamed("progress"));
  return bar ? bar->doubleValue() : -1;
}

bool Probe::exposed(QWidget* widget) const {
  QWindow* shown = widget ? widget->window()->windowHandle() : nullptr;
  return shown && widget->isVisible() && shown->isExposed();
}

void Probe::click(const QPoint& global) {
  Xdotool("mousemove --sync " + std::to_string(global.x()) + " " + std::to_string(global.y()) + " click 1");
}

void Probe::click(QWidget* widget) { click(widget->mapToGlobal(widget->rect().center())); }

void Probe::type(const std::string& text) { Xdotool("type --delay 5 " + Quoted(text)); }

void Probe::key(const char* name) { Xdotool(std::string("key ") + name); }

bool Probe::choose(QComboBox* menu, const QString& text) {
  QAbstractItemView* list = menu->view();
  if (!menuOpened_) {
    click(menu);
    menuOpened_ = true;
  } else if (list->isVisible() && !itemClicked_) {
    const QRect item = list->visualRect(list->model()->index(menu->findText(text), 0));
    click(list->viewport()->mapToGlobal(item.center()));
    itemClicked_ = true;
  } else if (itemClicked_ && !list->isVisible()) {
    menuOpened_ = itemClicked_ = false;
    return true;
  }
  return false;
}

bool Probe::drop(QWidget* widget, const std::string& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  data.setText(QString::fromStdString(path));  // as file managers offer it, which fields would take
  const QPointF at = widget->rect().center();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &drop);
  return drop.isAccepted();
}

void Probe::shot(const std::string& name, QWidget* widget) {
  QWidget* top = widget->window();
  const QRect area = top->frameGeometry();
  const QPixmap picture = top->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  QDir().mkpath(QString::fromStdString(shotsFolder_));
  const std::string path = shotsFolder_ + "/" + name + ".png";
  picture.save(QString::fromStdString(path));
  note("shot", path);
  note(name + "-size", std::to_string(area.width()) + "x" + std::to_string(area.height()));
}

void Probe::note(const std::string& key, const std::string& value) {
  std::ofstream(notesPath_, std::ios::app) << key << ' ' << value << '\n';
}

double Probe::millisecondsSinceStart() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStart).count();
}

void Probe::tick(std::vector<Step>& steps) {
  // Every value the bar shows while the convert button says "Abort", with the percent beside it.
  if (title("button") == "Abort" && progress() != lastProgress_) {
    lastProgress_ = progress();
    note("progress", std::to_string(lastProgress_) + " " + title("textPercent").toStdString());
  }
  if (nextStep_ < steps.size() && steps[nextStep_](*this)) note("step", std::to_string(++nextStep_));
}

// ---- the display and the launch, in the test program ----

DesktopSession* DesktopSession::Get() {
  static DesktopSession* session = [] () -> DesktopSession* {
    if (!Installed("Xvfb") || !Installed("xdotool")) return nullptr;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return nullptr;
    const std::string fd = std::to_string(pipeEnds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                          "-nolisten", "tcp", nullptr};
    auto* made = new DesktopSession;
    if (posix_spawnp(&made->server_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      delete made;
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
    if (made->display_.empty()) {
      delete made;
      return nullptr;
    }
    static std::unique_ptr<DesktopSession> owner(made);  // the server goes with the test program
    return made;
  }();
  return session;
}

DesktopSession::~DesktopSession() {
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

std::string DesktopSession::ScreenshotFolder() {
  const char* output = std::getenv("TEST_OUTPUT_DIR");
  if (output && *output) return std::string(output) + "/screenshots";
  return POCKETMOVIE_TEST_OUTPUT "/screenshots";
}

DesktopSession::Run DesktopSession::launch(const std::string& folder, const std::vector<std::string>& arguments,
                                           std::vector<Probe::Step> steps, std::function<void(Probe&)> atExit,
                                           int timeLimitSeconds) const {
  const std::string notes = folder + "/probe-notes";
  std::remove(notes.c_str());
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("POCKETMOVIE_BUNDLE", (folder + "/bundle").c_str(), 1);
    QDir().mkpath(QString::fromStdString(folder + "/bundle"));
    framework::EnsureApplication();
    auto* probe = new Probe(notes, ScreenshotFolder());
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
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(timeLimitSeconds);
  int status = 0;
  while (child > 0) {
    if (waitpid(child, &status, WNOHANG) == child) {
      run.exited = WIFEXITED(status);
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (std::chrono::steady_clock::now() > limit) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::ifstream in(notes);
  for (std::string line; std::getline(in, line);) {
    const size_t space = line.find(' ');
    run.notes.emplace(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
  }
  return run;
}

std::string DesktopSession::Run::note(const std::string& key) const {
  const auto found = notes.find(key);
  return found != notes.end() ? found->second : std::string("(none)");
}

std::vector<double> DesktopSession::Run::numbers(const std::string& key) const {
  std::vector<double> values;
  for (auto [it, end] = notes.equal_range(key); it != end; ++it) values.push_back(std::atof(it->second.c_str()));
  return values;
}

std::string DesktopSession::Run::all() const {
  std::string text;
  for (const auto& [key, value] : notes) text += key + " " + value + "\n";
  return text;
}

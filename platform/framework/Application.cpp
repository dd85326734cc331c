// The application: the one QApplication, its delegate, its windows, and the end of the process.
#include <QApplication>
#include <QWidget>

#include <clocale>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/desktop/Translation.h"
#include "platform/desktop/WrittenNotification.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/EndOfRun.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/HeldInput.h"
#include "platform/framework/ProcessEnd.h"
#include "platform/framework/RunFailure.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

bool offscreenRequested = false;
NSApplicationDelegate* applicationDelegate = nullptr;
std::function<void(int)> exitHandler;
bool terminating = false;
bool terminated = false;
int terminationStatus = 0;
// Several movies converted in turn have ended: what they wrote and whether every one was written.
std::optional<std::pair<std::vector<std::string>, bool>> moviesEnded;

TerminalHooks& terminalHooks() {
  static auto* hooks = new TerminalHooks;
  return *hooks;
}

}  // namespace

void RunInTerminal(TerminalHooks hooks) { terminalHooks() = std::move(hooks); }

bool TerminalMode() { return bool(terminalHooks().finish); }

void ShowProgressInTerminal(double percent) {
  if (terminalHooks().progress) terminalHooks().progress(percent);
}

bool HasDisplay() { return !NonEmptyEnv("DISPLAY").empty() || !NonEmptyEnv("WAYLAND_DISPLAY").empty(); }

void RequestOffscreen() { offscreenRequested = true; }

QApplication* EnsureApplication() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
  if (offscreenRequested || !HasDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "pocketmovie";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends: the process ends inside terminate, never by unwinding main.
  auto* app = new QApplication(argc, argv);
  // Qt takes the user's locale for the C library too; numbers written and read by the C library
  // (FFmpeg's filter and option values, the fields' text) must keep their decimal point.
  std::setlocale(LC_NUMERIC, "C");
  InstallTranslators(app);
  QApplication::setQuitOnLastWindowClosed(false);
  return app;
}

NSWindow* WindowFor(QWidget* topLevel) {
  static auto* windows = new std::map<QWidget*, NSWindow*>;
  if (!topLevel) return nullptr;
  NSWindow*& window = (*windows)[topLevel];
  if (!window) window = new NSWindow;
  return window;
}

void ForgetTermination() {
  terminated = false;
  terminationStatus = 0;
  moviesEnded.reset();
}

bool Terminated(int* status) {
  if (terminated && status) *status = terminationStatus;
  return terminated;
}

}  // namespace framework

NSApplication* NSApplication::sharedApplication() {
  static auto* application = new NSApplication;
  return application;
}

void NSApplication::terminate(id sender) {
  (void)sender;
  if (framework::terminating) return;  // a close event or Ctrl-Q while the handler runs
  framework::terminating = true;
  const auto& movies = framework::moviesEnded;
  // Made while the movie services are open: an aborted output is measured.
  const framework::EndOfRun end = framework::TerminalMode() || (movies && !movies->second)
                                      ? framework::EndOfRun{}
                                      : framework::LastRunEnd(movies ? movies->first : std::vector<std::string>{});
  if (framework::applicationDelegate) framework::applicationDelegate->applicationWillTerminate(nullptr);
  NSUserDefaults::standardUserDefaults()->synchronize();
  const int status = framework::TerminalMode() ? framework::terminalHooks().finish()
                     : movies                  ? (movies->second ? 0 : 1)
                                               : framework::WindowExitStatus();
  framework::ShowEndOfRun(end, framework::MainWindowWidget());
  if (const MovieExportReport report = LastMovieExportReport();
      !framework::TerminalMode() && report.finished && report.status == 0) {
    framework::AnnounceWrittenMovie(report.outputPath.empty() ? framework::LastOutputPath() : report.outputPath,
                                    framework::MainWindowWidget());
  }
  framework::terminated = true;
  framework::terminationStatus = status;
  if (framework::exitHandler) {
    framework::exitHandler(status);
    framework::terminating = false;
    framework::moviesEnded.reset();
    return;
  }
  // The process may end deep inside an export. The output file and the preferences are already on disk.
  framework::EndProcess(status);
}

void NSApplication::terminateAfterMovies(const std::vector<NSString>& written, BOOL everyMovieWritten) {
  std::vector<std::string> paths;
  for (const NSString& output : written) paths.push_back(output.str());
  framework::moviesEnded.emplace(std::move(paths), everyMovieWritten);
  terminate(nullptr);
}

void NSApplication::setExitHandler(std::function<void(int status)> handler) {
  framework::exitHandler = std::move(handler);
}

NSEvent* NSApplication::nextEventMatchingMask(unsigned mask, NSDate* expiration, const NSString& mode, BOOL dequeue) {
  // Only the distant past is ever asked for: the export must never wait for an event.
  (void)expiration;
  (void)mode;
  return framework::NextHeldEvent(mask, dequeue);
}

BOOL NSApplication::recoverFromFailedRun(NSError* error) {
  if (framework::TerminalMode()) return NO;  // the run's closing line comes as it ends
  const Failure failure = framework::LastRunFailure();
  framework::RemoveEmptyOutputs();
  framework::ForgetRunFailure();
  if (error) *error = NSError(failure);
  return YES;
}

void NSApplication::setDelegate(NSApplicationDelegate* delegate) { framework::applicationDelegate = delegate; }

NSApplicationDelegate* NSApplication::delegate() const { return framework::applicationDelegate; }

// Under the leak checker: fontconfig, which Qt starts for the window's text, keeps its
// configuration allocated for the whole process by design.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

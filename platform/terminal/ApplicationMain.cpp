// The program's start: arguments, the window or a run from the terminal, and the order in which
// the delegate hears of them: launch, this run's options, the file to open.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"
#include "platform/desktop/FailureText.h"
#include "platform/desktop/Translation.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/framework/ExporterSettingsDialog.h"
#include "platform/framework/FileDrop.h"
#include "platform/framework/NibLoading.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/ExporterDialog.h"
#include "platform/terminal/CommandLine.h"
#include "platform/terminal/RunResultChannel.h"
#include "platform/terminal/TerminalBatch.h"
#include "platform/terminal/TerminalReport.h"

#ifndef POCKETMOVIE_VERSION
#define POCKETMOVIE_VERSION "0.1.0"
#endif

namespace {

constexpr int kUsageStatus = 2;

// In the terminal only the run's own lines go to standard error, not Qt's notes about the session.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "pocketmovie: %s\n", qPrintable(message));
}

// Ctrl-C, a plain kill (SIGTERM) and a closed terminal or session (SIGHUP) stop an export as the
// "Abort" button does, and the window as a quit does; a second one ends the process at once. A
// handler may only set flags.
volatile sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
  stopRequested = 1;
  framework::RequestAbortClick();
}

void stopOnSignals() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  for (int stop : {SIGINT, SIGTERM, SIGHUP}) sigaction(stop, &action, nullptr);
}

// A menu choice made as the user would make it: the item, then the menu's action.
void chooseItem(const char* menuName, long tag, const char* selector) {
  auto* menu = dynamic_cast<NSPopUpButton*>(NSViewNamed(menuName));
  if (!menu) return;
  menu->selectItemAtIndex(menu->indexOfItemWithTag(tag));
  framework::SendAction(selector, menu);
}

void setNumber(const char* name, double value) {
  if (auto* control = dynamic_cast<NSControl*>(NSViewNamed(name))) control->setDoubleValue(value);
}

// The run's data rate is no format's remembered one either.
void touchDataRates(std::vector<std::string>& touched) {
  touched.emplace_back("DataRate");
  for (const OutputFormat& format : kOutputFormats) touched.emplace_back(format.dataRateKey);
}

// The format first, since choosing it may lower the data rate; the data rate last, so an explicit
// rate stands. None of them is kept as a preference.
void applyRunOptions(const framework::RunOptions& options) {
  std::vector<std::string> touched;
  if (options.formatTag) {
    chooseItem("popupCODEC", *options.formatTag, "changeCODEC:");
    touched.emplace_back("3GPP");
    touchDataRates(touched);
  }
  if (options.sizeTag) {
    chooseItem("popupExportSize", *options.sizeTag, "selectExportSize:");
    if (options.customWidth) setNumber("widthMov", *options.customWidth);
    if (options.customHeight) setNumber("heightMov", *options.customHeight);
    touched.insert(touched.end(), {"SizeIndex", "SizeX", "SizeY"});
  }
  if (options.framesPerSecond) {
    setNumber("frameRate", *options.framesPerSecond);
    setNumber("sliderFrame", *options.framesPerSecond);
    touched.emplace_back("FrameRate");
  }
  if (options.kilobytesPerSecond) {
    setNumber("dataRate", *options.kilobytesPerSecond);
    setNumber("sliderData", *options.kilobytesPerSecond);
    touchDataRates(touched);
  }
  if (options.fitKilobytes) {
    // A limit the menu offers is chosen there; any other goes into the field beside it.
    auto* menu = dynamic_cast<NSPopUpButton*>(NSViewNamed("popupFitSize"));
    const bool offered = menu && *options.fitKilobytes > 0 && menu->indexOfItemWithTag(*options.fitKilobytes) >= 0;
    if (!offered && *options.fitKilobytes > 0) setNumber("fitSize", double(*options.fitKilobytes));
    const long tag = offered || *options.fitKilobytes == 0 ? *options.fitKilobytes : kFitCustomTag;
    chooseItem("popupFitSize", tag, "selectFitSize:");
    touched.emplace_back("FitSize");
  }
  if (options.baseline) {
    if (auto* check = dynamic_cast<NSButton*>(NSViewNamed("checkOlderPhones"))) check->setState(NSOnState);
    touched.emplace_back("Baseline");
  }
  framework::IgnoreDefaultsWrites(touched);
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// From the terminal the run ends by itself, also when no export started or none closed.
int runWithoutWindow(NSApplication* application, const std::string& movie) {
  if (const Failure problem = framework::SourceFileProblem(movie)) {
    // Checked here so that a mistyped name leaves no empty output behind.
    framework::NoteFailure(problem);
  } else if (NSApplicationDelegate* delegate = application->delegate()) {
    delegate->applicationOpenFile(application, NSString(movie));
    // A source removed while the run was being prepared ends it without a word of its own.
    if (const Failure gone = framework::SourceFileProblem(movie)) framework::NoteFailure(gone);
  }
  int status = 1;
  if (!framework::Terminated(&status)) application->terminate(nullptr);
  framework::Terminated(&status);
  return status;
}

int runWindow(NSApplication* application, const std::vector<std::string>& movies, bool recursive) {
  if (QWidget* window = framework::MainWindowWidget()) window->show();
  if (!movies.empty()) QTimer::singleShot(0, [movies, recursive] { framework::OpenInWindow(movies, recursive); });
  // The main loop runs only while no export holds it; an export takes the stop as an abort click.
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, [application] {
    if (stopRequested) application->terminate(nullptr);
  });
  stopWatch.start(200);
  QApplication::exec();
  int status = 0;
  if (!framework::Terminated(&status)) application->terminate(nullptr);
  framework::Terminated(&status);
  return status;
}

}  // namespace

int NSApplicationMain(int argc, const char** argv) {
  // A standard error whose reader is gone (`| head`) costs the report's lines, not the conversion.
  signal(SIGPIPE, SIG_IGN);
  framework::ForgetTermination();
  framework::ForgetFailures();
  const framework::RunOptions options = framework::ParseCommandLine(argc, argv);
  if (options.error) {
    framework::SendRunResult({options.error, {}, {}});
    framework::ReportLine(framework::FailureText(options.error));
    std::fprintf(stderr, "%s\n", framework::Tr("CommandLine", "Try 'pocketmovie --help'.").c_str());
    return kUsageStatus;
  }
  if (options.help) {
    std::fputs(framework::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("pocketmovie " POCKETMOVIE_VERSION);
    return 0;
  }
  if (!options.notice.empty()) framework::ReportLine(options.notice);
  SetExportWorkerVerbose(options.verbose);
  const bool headless = options.headless || !framework::HasDisplay();
  if (headless && options.movies.empty()) {
    std::fputs(framework::UsageText().c_str(), stderr);
    return kUsageStatus;
  }
  if (headless && (!options.singleMovie() || isFolder(options.movies.front()))) {
    // Every run of the batch gets the format named, so that all agree on the outputs' names.
    const long formatTag = options.formatTag ? *options.formatTag
                                             : long(NSUserDefaults::standardUserDefaults()->integerForKey("3GPP"));
    return framework::RunTerminalBatch(options, framework::FormatName(formatTag), [](std::vector<std::string>& words) {
      std::vector<const char*> arguments;
      for (const std::string& word : words) arguments.push_back(word.c_str());
      arguments.push_back(nullptr);
      return NSApplicationMain(int(words.size()), arguments.data());
    });
  }
  framework::RunInTerminal(headless ? framework::TerminalHooks{framework::ShowTerminalProgress, framework::FinishRunReport}
                                    : framework::TerminalHooks{});
  // From the terminal nobody can answer a dialog: without a presenter it reports cancelled.
  if (headless) SetMovieExportDialogPresenter({});
  else framework::InstallExporterSettingsDialog();
  if (headless) {
    framework::RequestOffscreen();
    qInstallMessageHandler(keepQtQuiet);
  }
  stopOnSignals();
  framework::EnsureApplication();
  if (!NSLoadMainNib()) {
    const Failure failure{FailureCode::windowDescriptionMissing};
    framework::SendRunResult({failure, {}, {}});
    framework::ReportLine(framework::FailureText(failure));
    return 1;
  }
  NSApplication* application = NSApplication::sharedApplication();
  if (NSApplicationDelegate* delegate = application->delegate()) delegate->applicationWillFinishLaunching(nullptr);
  applyRunOptions(options);
  if (!headless) return runWindow(application, options.movies, options.recursive);
  return runWithoutWindow(application, options.movies.front());
}

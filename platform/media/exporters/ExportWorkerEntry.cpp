// The worker's side: a conversion, or the measuring of a source, run in a process of its own,
// confined before it reads the movie.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "platform/files/HiddenFiles.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/ExportWorkerLauncher.h"
#include "platform/media/exporters/WorkerMessages.h"
#include "platform/media/stages/FfmpegSource.h"
#include "platform/movies/Movies.h"
#include "platform/sandbox/Confinement.h"

namespace {

bool programIsItsOwnWorker = false;

// The parent asks for a stop with SIGTERM; the export takes it at its next progress report, as it
// takes the "Abort" button.
volatile sig_atomic_t stopAsked = 0;
void onStop(int) { stopAsked = 1; }

void TakeSignals() {
  // Ctrl-C and a closed terminal reach the whole process group: the parent decides what they mean.
  signal(SIGINT, SIG_IGN);
  signal(SIGHUP, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  struct sigaction stop {};
  stop.sa_handler = onStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTERM, &stop, nullptr);
}

WorkerOutcome Convert(const ExportJob& job) {
  WorkerOutcome outcome;
  const ExportProgress progress = [](double fractionDone) -> OSErr {
    WriteWholly(kWorkerReportDescriptor, EncodeProgressReport(fractionDone));
    return stopAsked ? userCanceledErr : noErr;
  };
  try {
    outcome.status = RunExportJob(job, progress, &outcome.failure, &outcome.notice);
  } catch (const std::bad_alloc&) {
    outcome.status = memFullErr;
    outcome.failure = {FailureCode::outOfMemory};
  } catch (const std::exception& e) {
    outcome.status = ioErr;
    outcome.failure = {FailureCode::exportFailed, {}, e.what()};
  }
  return outcome;
}

WorkerOutcome Measure(const std::string& sourcePath) {
  WorkerOutcome outcome;
  SourceMovie source;
  outcome.status = OpenSourceMovie(sourcePath, &source, &outcome.failure);
  outcome.facts = source.facts;
  return outcome;
}

}  // namespace

void RunExportWorker(pid_t parent) {
  // A parent that is gone, however it went, takes its worker with it.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(1);
  TakeSignals();
  WorkerJob order;
  if (!DecodeWorkerJob(ReadToEnd(STDIN_FILENO), &order)) _exit(2);
  // Known by this name however it started (from the launcher it has the program's command line).
  prctl(PR_SET_NAME, order.measureOnly ? "measure-worker" : "export-worker");
  EnterMovies();
  // Measuring writes nothing anywhere.
  const std::string writable = order.measureOnly ? "" : hidden_files::FolderOf(order.job.outputPath);
  const std::string missing = ConfineToConversion(order.job.sourcePath, writable);
  if (order.verbose && !missing.empty()) {
    std::fprintf(stderr, "pocketmovie: this system leaves the conversion unconfined in: %s\n", missing.c_str());
  }
  const WorkerOutcome outcome = order.measureOnly ? Measure(order.job.sourcePath) : Convert(order.job);
  // Ended at once: nothing is left to tidy that the system does not tidy better.
  _exit(WriteWholly(kWorkerReportDescriptor, EncodeOutcomeReport(outcome)) ? 0 : 1);
}

void EnterExportWorkerIfLaunchedAsOne(int argc, const char* const* argv) {
  if (argc == 3 && std::strcmp(argv[1], kExportWorkerWord) == 0) RunExportWorker(pid_t(std::atol(argv[2])));
  programIsItsOwnWorker = true;
  StartExportWorkerLauncher();
}

std::string ExportWorkerProgram() {
  if (programIsItsOwnWorker) return "/proc/self/exe";
  const char* named = std::getenv(kExportWorkerVariable);
  return named ? named : "";
}

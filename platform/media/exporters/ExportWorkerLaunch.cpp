// The program's side of a conversion's worker: starts it, hands it the job, passes its progress
// on and its stop back, and makes good what a worker that died leaves behind.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>

#include "platform/files/HiddenFiles.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/ExportWorkerLauncher.h"
#include "platform/media/exporters/WorkerMessages.h"

extern char** environ;

namespace {

bool verboseWorkers = false;
// A worker asked to stop has this long to close its movie before it is killed.
constexpr auto kStopGrace = std::chrono::seconds(5);
// The window answers its screen reader and its "Abort" only while progress is passed on: when the
// worker has said nothing new for this long, its last progress is passed on again.
constexpr int kQuietProgressMilliseconds = 50;
// The job goes into the pipe whole before the worker starts, so it must fit the pipe.
constexpr size_t kLargestJob = 60000;

struct Descriptor {
  int fd = -1;
  ~Descriptor() { close(); }
  void close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// A running worker, the launcher's child or this process's own.
struct WorkerProcess {
  pid_t pid = 0;
  LaunchedWorker launched;

  void signal(int signal) const {
    if (launched.channel >= 0) {
      SignalLaunchedWorker(launched, signal);
    } else {
      kill(pid, signal);
    }
  }
  // Its wait status; false when its launcher went first and took it along.
  bool wait(int* status) {
    if (launched.channel >= 0) return AwaitLaunchedWorker(&launched, status);
    while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
    return true;
  }
};

// Starts the worker with the job waiting on its standard input: from the launcher where there is
// one, else as the program `program` names; a status with `failure` set when it cannot start.
ComponentResult StartWorker(const std::string& program, const std::string& job, Descriptor* reports, WorkerProcess* worker,
                            Failure* failure) {
  int jobEnds[2], reportEnds[2];
  if (job.size() > kLargestJob) {
    *failure = {FailureCode::outputFolderPathTooLong};
    return ioErr;
  }
  if (pipe2(jobEnds, O_CLOEXEC) != 0) {
    *failure = {FailureCode::cannotStartConversion, {}, std::strerror(errno)};
    return ioErr;
  }
  Descriptor jobRead{jobEnds[0]}, jobWrite{jobEnds[1]};
  if (pipe2(reportEnds, O_CLOEXEC) != 0) {
    *failure = {FailureCode::cannotStartConversion, {}, std::strerror(errno)};
    return ioErr;
  }
  reports->fd = reportEnds[0];
  Descriptor reportWrite{reportEnds[1]};
  if (!WriteWholly(jobWrite.fd, job)) {
    *failure = {FailureCode::cannotStartConversion, {}, std::strerror(errno)};
    return ioErr;
  }
  jobWrite.close();
  if (LaunchExportWorker(jobRead.fd, reportWrite.fd, &worker->launched)) {
    worker->pid = worker->launched.pid;
    return noErr;
  }
  if (program.empty()) {
    *failure = {FailureCode::programNotFound};
    return fnfErr;
  }

  // Only the job and the report pipe go with it: no window connection, no other run's channel.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, jobRead.fd, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, reportWrite.fd, kWorkerReportDescriptor);
  posix_spawn_file_actions_addclosefrom_np(&actions, kWorkerReportDescriptor + 1);
  std::string parentId = std::to_string(getpid());
  std::string name = program;
  std::string word = kExportWorkerWord;
  char* argv[] = {name.data(), word.data(), parentId.data(), nullptr};
  const int err = posix_spawn(&worker->pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) {
    *failure = err == ENOENT ? Failure{FailureCode::programNotFound, program}
                             : Failure{FailureCode::cannotStartConversion, {}, std::strerror(err)};
    return ioErr;
  }
  return noErr;
}

}  // namespace

void SetExportWorkerVerbose(bool verbose) { verboseWorkers = verbose; }

namespace {

// Runs `order` in a worker to its end, passing its progress on; a nonzero answer stops it. What the
// worker reported, or what its end says when it reported nothing.
WorkerOutcome RunInWorker(WorkerJob order, const ExportProgress& progress) {
  WorkerOutcome result;
  Descriptor reports;
  WorkerProcess worker;
  // What the kernel cannot confine is said once, by the first worker.
  static bool confinementSaid = false;
  order.verbose = verboseWorkers && !confinementSaid;
  result.status = StartWorker(ExportWorkerProgram(), EncodeWorkerJob(order), &reports, &worker, &result.failure);
  if (result.status != noErr) return result;
  confinementSaid = true;

  std::string received;
  std::optional<WorkerOutcome> outcome;
  bool stopAsked = false, killed = false;
  std::optional<double> lastFraction;
  std::chrono::steady_clock::time_point stopTime;
  // A nonzero answer to the progress asks the worker to stop.
  auto passOn = [&](double fraction) {
    lastFraction = fraction;
    if (stopAsked || !progress || progress(fraction) == noErr) return;
    stopAsked = true;
    stopTime = std::chrono::steady_clock::now();
    worker.signal(SIGTERM);
  };
  for (;;) {
    pollfd ready{reports.fd, POLLIN, 0};
    const int polled = poll(&ready, 1, stopAsked ? 100 : progress ? kQuietProgressMilliseconds : -1);
    if (stopAsked && !killed && std::chrono::steady_clock::now() - stopTime > kStopGrace) {
      worker.signal(SIGKILL);
      killed = true;
    }
    if (polled == 0 && lastFraction) passOn(*lastFraction);
    if (polled <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(reports.fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // the worker has ended
    received.append(buffer, size_t(got));
    WorkerReport report;
    bool malformed = false;
    while (TakeWorkerReport(&received, &report, &malformed)) {
      if (report.outcome) outcome = report.outcome;
      if (report.fractionDone) passOn(*report.fractionDone);
    }
    if (malformed) {  // no longer a worker of ours
      worker.signal(SIGKILL);
      outcome.reset();
      break;
    }
  }
  reports.close();
  int status = 0;
  const bool launcherStayed = worker.wait(&status);
  if (outcome) return *outcome;
  // Its lock went with it: what it left beside the output is now a gone writer's.
  if (!order.measureOnly) hidden_files::RemoveAbandonedIn(hidden_files::FolderOf(order.job.outputPath));
  // Nothing about the movie ended it: it starts again, as a program of its own.
  if (!launcherStayed && !stopAsked) return RunInWorker(order, progress);
  if (killed || !launcherStayed) {
    result.status = userCanceledErr;
    result.failure = {FailureCode::aborted};
  } else if (WIFSIGNALED(status)) {
    result.status = invalidMovie;
    result.failure = {FailureCode::decoderCrashed};
  } else {
    result.status = ioErr;
    result.failure = {FailureCode::exportFailedStatus, {}, std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1)};
  }
  return result;
}

}  // namespace

ComponentResult RunExportJobInWorker(const ExportJob& job, const ExportProgress& progress, Failure* failure,
                                     Failure* notice) {
  const WorkerOutcome outcome = RunInWorker({job}, progress);
  if (failure) *failure = outcome.failure;
  if (notice) *notice = outcome.notice;
  return outcome.status;
}

OSErr MeasureMovieInWorker(const std::string& sourcePath, MovieFacts* facts, Failure* failure) {
  WorkerJob order;
  order.job.sourcePath = sourcePath;
  order.measureOnly = true;
  const WorkerOutcome outcome = RunInWorker(order, {});
  *facts = outcome.facts;
  *failure = outcome.failure;
  return outcome.status;
}

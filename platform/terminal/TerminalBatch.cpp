// Several movies from the terminal. Each movie is converted by a child run of this program with
// the same options, exactly as a launch with one movie converts it: the controller and the export
// keep process-wide state, and a process per movie also keeps one movie's failure or crash from
// touching the others. The batch converts nothing and starts no thread, so a child is a fork of it
// that goes straight to the conversion: loading the program afresh would cost each movie some
// 90 ms of a core, mostly linking its two hundred libraries. A child writes into a hidden folder of
// its own beside the final output; only a finished movie is renamed into place, so nothing partial
// is ever under a final name, whatever becomes of the child. A child says how it ended on a
// channel of its own, as a failure code; the batch writes each movie's line itself.
#include "platform/terminal/TerminalBatch.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/desktop/FailureText.h"
#include "platform/desktop/Translation.h"
#include "platform/files/HiddenFiles.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/framework/ProcessEnd.h"
#include "platform/terminal/BatchPlan.h"
#include "platform/terminal/RunResultChannel.h"
#include "platform/terminal/TerminalReport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace framework {

namespace {

// What one conversion may hold at its peak, measured: some 100 MB from 720p, 180 MB from 4K.
constexpr long kKilobytesPerJob = 256 * 1024;

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t stopRequests = 0;

void onStopSignal(int) { stopRequests = stopRequests + 1; }

// On a terminal, one line that says how far the batch is, redrawn in place; result lines go above it.
bool statusShown = false;

void line(const std::string& text) {
  if (statusShown) std::fputs("\r\x1b[K", stderr);
  ReportLine(text);
  statusShown = false;
}

void showStatus(size_t ended, size_t movies, size_t running) {
  static std::string shown;
  if (!isatty(STDERR_FILENO)) return;
  const std::string text =
      Fill(Tr("Terminal", "%1 of %2 done, %3 converting"), std::to_string(ended), std::to_string(movies),
           std::to_string(running));
  if (statusShown && text == shown) return;
  shown = text;
  std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
  std::fflush(stderr);
  statusShown = true;
}

long availableKilobytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  long value = 0;
  std::string unit;
  while (meminfo >> key >> value >> unit) {
    if (key == "MemAvailable:") return value;
  }
  return 0;
}

int cores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return int(std::max(1u, std::thread::hardware_concurrency()));
}

std::string selfExecutable() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

struct Job {
  PlannedOutput plan;
  std::unique_ptr<hidden_files::HiddenName> stagingName;  // the folder goes with it
  fs::path staging;          // the child's own folder beside the output
  std::string stagedSource;  // the link to the source inside it, which the child converts
  int results = -1;          // the read end of the child's result channel
  std::string received;
};

// What a run is started with: its arguments and its environment, made before the fork so that
// the child only has to take them.
struct ChildStart {
  std::vector<std::string> words;
  std::vector<std::string> settings;  // NAME=value
  std::vector<char*> argv;
  std::vector<char*> envp;

  ChildStart(std::vector<std::string> arguments, const std::vector<std::string>& ownSettings)
      : words(std::move(arguments)), settings(ownSettings) {
    for (char** entry = environ; entry && *entry; ++entry) {
      const std::string_view setting = *entry;
      const bool replaced = std::any_of(ownSettings.begin(), ownSettings.end(), [&](const std::string& own) {
        return setting.substr(0, setting.find('=') + 1) == std::string_view(own).substr(0, own.find('=') + 1);
      });
      if (!replaced) settings.emplace_back(setting);
    }
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    for (std::string& setting : settings) envp.push_back(setting.data());
    envp.push_back(nullptr);
  }
};

void takeStopSignals() {
  stopRequests = 0;
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

bool onlyThread() {
  std::error_code error;
  auto tasks = fs::directory_iterator("/proc/self/task", error);
  return !error && std::distance(tasks, fs::directory_iterator()) == 1;
}

class Batch {
 public:
  Batch(const RunOptions& options, std::string formatName, MovieRun runMovie)
      : options_(options), formatName_(std::move(formatName)), self_(selfExecutable()), runMovie_(std::move(runMovie)) {}

  int run() {
    // A stop during the search ends the program as it ends any other: nothing is written yet.
    const std::vector<std::string> movies = FindMovies(options_.movies, options_.recursive);
    takeStopSignals();
    if (movies.empty()) {
      line(FailureText({FailureCode::noMoviesFound}));
      return 1;
    }
    if (!options_.outputFolder.empty()) {
      std::error_code error;
      fs::create_directories(options_.outputFolder, error);
      if (!fs::is_directory(options_.outputFolder)) {
        line(FailureText({FailureCode::cannotMakeOutputFolder, options_.outputFolder, error.message()}));
        return 1;
      }
    }
    const std::vector<PlannedOutput> plans = PlanOutputs(movies, options_.outputFolder, "." + formatName_);
    jobs_ = std::min<size_t>(options_.jobs ? size_t(*options_.jobs) : size_t(DefaultBatchJobs(movies.size())),
                             movies.size());
    size_t next = 0;
    bool stopping = false;
    std::sig_atomic_t stopsSeen = 0;
    while (next < plans.size() || !running_.empty()) {
      if (stopRequests != stopsSeen) {
        stopsSeen = stopRequests;
        stopping = true;
        // The first request aborts each run as Ctrl-C aborts one; a second one ends them at once.
        for (const auto& [child, job] : running_) kill(child, stopsSeen > 1 ? SIGKILL : SIGINT);
      }
      while (!stopping && next < plans.size() && running_.size() < jobs_) start(plans[next++]);
      if (stopping && running_.empty()) break;
      showStatus(written_ + failed_ + aborted_ + skipped_, plans.size(), running_.size());
      if (!running_.empty()) waitForChildren();
    }
    if (statusShown) std::fputs("\r\x1b[K", stderr);
    notStarted_ = plans.size() - next;
    return summarize();
  }

 private:
  void start(const PlannedOutput& plan) {
    std::error_code error;
    // In the words a launch with this one movie would use.
    if (const Failure problem = SourceFileProblem(plan.source)) {
      fail(plan, problem);
      return;
    }
    if (const Failure problem = OutputFileProblem(plan.output)) {
      fail(plan, problem);
      return;
    }
    if (options_.skipExisting && IsCompleteMovie(plan.output, plan.source)) {
      line(Fill(Tr("Terminal", "skipped %1: %2 is already a complete movie"), plan.source, plan.output));
      ++skipped_;
      return;
    }
    if (self_.empty()) {
      fail(plan, {FailureCode::programNotFound});
      return;
    }
    Job job{plan, {}, {}, {}, -1, {}};
    const fs::path outputFolder = fs::path(plan.output).parent_path();
    const std::string folder = outputFolder.string();
    int err = hidden_files::HiddenName::Reserve(folder.empty() ? "." : folder, &job.stagingName);
    if (err == 0) {
      job.staging = job.stagingName->path(hidden_files::HiddenKind::staging);
      if (outputFolder.empty()) job.staging = job.staging.lexically_relative(".");
      err = mkdir(job.staging.c_str(), 0700) == 0 ? 0 : errno;
    }
    if (err != 0) {
      const bool refused = err == EACCES || err == EPERM || err == EROFS;
      fail(plan, refused ? Failure{FailureCode::outputFolderNotWritable, folder}
                         : Failure{FailureCode::cannotWriteInOutputFolder, folder, std::strerror(err)});
      return;
    }
    job.stagedSource = (job.staging / fs::path(plan.source).filename()).string();
    fs::create_symlink(fs::absolute(plan.source), job.stagedSource, error);
    if (error) {
      fail(plan, {FailureCode::cannotWriteInOutputFolder, folder});
      return;
    }

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
      fail(plan, {FailureCode::cannotStartConversion, {}, std::strerror(errno)});
      return;
    }
    std::vector<std::string> words = {self_, "--headless", "--format=" + formatName_};
    words.insert(words.end(), options_.conversionArguments.begin(), options_.conversionArguments.end());
    words.insert(words.end(), {"--", job.stagedSource});
    // Each run's share of the cores (the runs together use them all), and where it says how it ended.
    const std::string coreShare = std::to_string(std::max(1, cores() / int(std::max<size_t>(1, jobs_))));
    ChildStart childStart(std::move(words), {"POCKETMOVIE_CORES=" + coreShare,
                                             std::string(kRunResultVariable) + "=" + std::to_string(pipeEnds[1])});
    // Forking a process with other threads would copy locks they hold; then the child starts afresh.
    const bool forkOnly = runMovie_ && onlyThread();
    const pid_t parent = getpid();
    // A stop arriving before the child has its own handlers must still end it, not bump the batch's
    // counter in its copy: the signals wait until the child has put back the default actions.
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (int signal : kStopSignals) sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &previous);
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t child = fork();
    if (child == 0) {
      // Its own process group: Ctrl-C reaches the batch, which aborts each run once.
      setpgid(0, 0);
      prctl(PR_SET_PDEATHSIG, SIGINT);  // a batch that is gone aborts its runs
      if (getppid() != parent) _exit(1);
      for (int signal : kStopSignals) std::signal(signal, SIG_DFL);
      sigprocmask(SIG_SETMASK, &previous, nullptr);
      // The run's own lines are the batch's to write: it says how it ended on its channel.
      const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
      dup2(nothing, STDIN_FILENO);
      dup2(nothing, STDOUT_FILENO);
      dup2(nothing, STDERR_FILENO);
      close(pipeEnds[0]);
      fcntl(pipeEnds[1], F_SETFD, 0);  // the channel stays open across the exec
      if (forkOnly) {
        // What an exec would have closed, so that a run outliving the batch finds nobody reading
        // rather than a pipe it holds open itself.
        if (nothing > STDERR_FILENO) close(nothing);
        for (const auto& [other, running] : running_) close(running.results);
        environ = childStart.envp.data();
        // An exception ends the child as it would end a program of its own, never in the batch's loop.
        framework::EndProcess([&]() noexcept { return runMovie_(childStart.words); }());
      }
      job.stagingName->keepAcrossExec();  // the folder is in use while the run lives, even past the batch
      execve(childStart.argv[0], childStart.argv.data(), childStart.envp.data());
      _exit(127);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(pipeEnds[1]);
    if (child < 0) {
      close(pipeEnds[0]);
      fail(plan, {FailureCode::cannotStartConversion, {}, std::strerror(errno)});
      return;
    }
    job.results = pipeEnds[0];
    running_.emplace(child, std::move(job));
  }

  // Reads what the runs say until one ends or a moment passes, then takes in the ended ones.
  void waitForChildren() {
    std::vector<pollfd> fds;
    for (const auto& [child, job] : running_) {
      if (job.results >= 0) fds.push_back({job.results, POLLIN, 0});
    }
    poll(fds.data(), fds.size(), 200);
    for (auto& [child, job] : running_) readResult(job, false);
    for (;;) {
      int status = 0;
      const pid_t child = waitpid(-1, &status, WNOHANG);
      if (child <= 0) break;
      const auto found = running_.find(child);
      if (found == running_.end()) continue;
      readResult(found->second, true);
      finish(found->second, status);
      running_.erase(found);
    }
  }

  static void readResult(Job& job, bool toTheEnd) {
    if (job.results < 0) return;
    char buffer[4096];
    for (;;) {
      pollfd fd{job.results, POLLIN, 0};
      if (!toTheEnd && poll(&fd, 1, 0) <= 0) return;
      const ssize_t count = read(job.results, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      job.received.append(buffer, size_t(count));
    }
    close(job.results);
    job.results = -1;
  }

  // A run's failure about the names it was given, about the names the user gave instead.
  Failure inUserNames(const Job& job, Failure failure) const {
    const std::string staging = job.staging.string();
    std::string& subject = failure.subject;
    if (subject == job.stagedSource + "." + formatName_) {
      subject = job.plan.output;
    } else if (subject == job.stagedSource) {
      subject = job.plan.source;
    } else if (subject.rfind(staging, 0) == 0 && (subject.size() == staging.size() || subject[staging.size()] == '/')) {
      subject = fs::path(job.plan.output).parent_path().string() + subject.substr(staging.size());
    }
    return failure;
  }

  void finish(Job& job, int status) {
    std::error_code error;
    const std::optional<RunResult> result = ReadRunResult(job.received);
    const std::string written =
        result && !result->outputPath.empty() ? result->outputPath : job.stagedSource + "." + formatName_;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::is_regular_file(written, error)) {
      // Checked again: a pipe or a link put there meanwhile would be destroyed by the rename.
      if (const Failure problem = OutputFileProblem(job.plan.output)) {
        fail(job.plan, problem);
      } else if (std::rename(written.c_str(), job.plan.output.c_str()) == 0) {
        // As a movie converted alone tells it, though named: several end among each other here.
        if (result && result->notice) line(Fill(Tr("Failure", "%1: %2"), job.plan.output, FailureText(result->notice)));
        std::string text = Fill(Tr("Terminal", "wrote %1"), job.plan.output);
        if (job.plan.renamed) text += Tr("Terminal", " (a movie of the same name is already in this batch)");
        line(text);
        ++written_;
      } else {
        fail(job.plan, {FailureCode::cannotPutOutputInPlace, {}, std::strerror(errno)});
      }
    } else if (WIFSIGNALED(status)) {
      // Stopped by the batch's own abort, possibly before it could take the signal as one.
      fail(job.plan, stopRequests > 0 && (WTERMSIG(status) == SIGKILL || WTERMSIG(status) == SIGINT)
                         ? Failure{FailureCode::aborted}
                         : Failure{FailureCode::endedBySignal, {}, std::to_string(WTERMSIG(status))});
    } else {
      fail(job.plan, result && result->failure ? inUserNames(job, result->failure) : Failure{FailureCode::conversionFailed});
    }
    job.stagingName.reset();
  }

  void fail(const PlannedOutput& plan, const Failure& failure) {
    // A failure about the movie's own file already says which movie it is about.
    const bool named = failure.subject == plan.source || failure.subject == plan.output;
    line(named ? FailureText(failure) : Fill(Tr("Failure", "%1: %2"), plan.source, FailureText(failure)));
    const bool aborted = failure.code == FailureCode::aborted || failure.code == FailureCode::abortedEarlierKept;
    ++(aborted ? aborted_ : failed_);
  }

  int summarize() {
    std::string text =
        Fill(Tr("Terminal", "%1 written, %2 failed"), std::to_string(written_), std::to_string(failed_));
    if (aborted_) text += Fill(Tr("Terminal", ", %1 aborted"), std::to_string(aborted_));
    if (skipped_) text += Fill(Tr("Terminal", ", %1 already complete"), std::to_string(skipped_));
    if (notStarted_) text += Fill(Tr("Terminal", ", %1 not started"), std::to_string(notStarted_));
    line(text);
    return failed_ || aborted_ || notStarted_ ? 1 : 0;
  }

  const RunOptions& options_;
  const std::string formatName_;
  const std::string self_;
  const MovieRun runMovie_;
  std::map<pid_t, Job> running_;
  size_t jobs_ = 1;
  size_t written_ = 0, failed_ = 0, aborted_ = 0, skipped_ = 0, notStarted_ = 0;
};

}  // namespace

int DefaultBatchJobs(size_t movies) {
  const long available = availableKilobytes();
  const long fitting = available > 0 ? std::max(1L, available / kKilobytesPerJob) : 1L;
  return int(std::max<size_t>(1, std::min({size_t(cores()), size_t(fitting), movies})));
}

int RunTerminalBatch(const RunOptions& options, const std::string& formatName, MovieRun runMovie) {
  Batch batch(options, formatName, std::move(runMovie));
  return batch.run();
}

}  // namespace framework

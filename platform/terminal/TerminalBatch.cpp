// Several movies from the terminal. Each movie is converted by a child run of this program with
// the same options, exactly as a launch with one movie converts it: the controller and the export
// keep process-wide state, and a process per movie also keeps one movie's failure or crash from
// touching the others. The batch converts nothing and starts no thread, so a child is a fork of it
// that goes straight to the conversion: loading the program afresh would cost each movie some
// 90 ms of a core, mostly linking its two hundred libraries. A child writes into a hidden folder of its own beside the final output;
// only a finished movie is renamed into place, so nothing partial is ever under a final name,
// whatever becomes of the child.
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
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/desktop/Translation.h"
#include "platform/files/HiddenFiles.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/terminal/BatchPlan.h"

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
  std::fprintf(stderr, "%spocketmovie: %s\n", statusShown ? "\r\x1b[K" : "", text.c_str());
  std::fflush(stderr);
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

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

struct Job {
  PlannedOutput plan;
  std::unique_ptr<hidden_files::HiddenName> stagingName;  // the folder goes with it
  fs::path staging;        // the child's own folder beside the output
  std::string stagedSource;  // the link to the source inside it, which the child converts
  int errors = -1;         // the read end of the child's standard error
  std::string errorText;
};

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
    const std::vector<std::string> movies = FindMovies(options_.movies, options_.recursive);
    if (movies.empty()) {
      line(Tr("Terminal", "no movies found"));
      return 1;
    }
    if (!options_.outputFolder.empty()) {
      std::error_code error;
      fs::create_directories(options_.outputFolder, error);
      if (!fs::is_directory(options_.outputFolder)) {
        line(Fill(Tr("Terminal", "cannot make the output folder %1: %2"), options_.outputFolder, error.message()));
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
    if (const std::string problem = SourceFileProblem(plan.source); !problem.empty()) {
      fail(plan, problem);
      return;
    }
    if (const std::string problem = OutputFileProblem(plan.output); !problem.empty()) {
      fail(plan, problem);
      return;
    }
    if (options_.skipExisting && IsCompleteMovie(plan.output)) {
      line(Fill(Tr("Terminal", "skipped %1: %2 is already a complete movie"), plan.source, plan.output));
      ++skipped_;
      return;
    }
    if (self_.empty()) {
      fail(plan, Tr("Terminal", "cannot find this program to run it"));
      return;
    }
    Job job{plan, {}, {}, {}, -1, {}};
    const fs::path outputFolder = fs::path(plan.output).parent_path();
    int err = hidden_files::HiddenName::Reserve(outputFolder.empty() ? "." : outputFolder.string(), &job.stagingName);
    if (err == 0) {
      job.staging = job.stagingName->path(hidden_files::HiddenKind::staging);
      if (outputFolder.empty()) job.staging = job.staging.lexically_relative(".");
      err = mkdir(job.staging.c_str(), 0700) == 0 ? 0 : errno;
    }
    if (err != 0) {
      const bool refused = err == EACCES || err == EPERM || err == EROFS;
      fail(plan, (refused ? Tr("Terminal", "output folder not writable: ")
                          : Tr("Terminal", "cannot write in the output folder: ")) +
                     fs::path(plan.output).parent_path().string() +
                     (refused ? "" : std::string(" (") + std::strerror(err) + ")"));
      return;
    }
    job.stagedSource = (job.staging / fs::path(plan.source).filename()).string();
    fs::create_symlink(fs::absolute(plan.source), job.stagedSource, error);
    if (error) {
      fail(plan, Tr("Terminal", "cannot write in the output folder: ") + fs::path(plan.output).parent_path().string());
      return;
    }

    std::vector<std::string> words = {self_, "--headless", "--format=" + formatName_};
    words.insert(words.end(), options_.conversionArguments.begin(), options_.conversionArguments.end());
    words.insert(words.end(), {"--", job.stagedSource});
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
      fail(plan, Tr("Terminal", "cannot start a conversion: ") + std::strerror(errno));
      return;
    }
    // Each run's share of the cores; the runs together use them all.
    const std::string coreShare = std::to_string(std::max(1, cores() / int(std::max<size_t>(1, jobs_))));
    setenv("POCKETMOVIE_CORES", coreShare.c_str(), 1);  // the batch itself converts nothing
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
      signal(SIGPIPE, SIG_DFL);  // the batch ignores it; an ignored signal would stay ignored
      sigprocmask(SIG_SETMASK, &previous, nullptr);
      const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
      dup2(nothing, STDIN_FILENO);
      dup2(nothing, STDOUT_FILENO);
      dup2(pipeEnds[1], STDERR_FILENO);
      if (forkOnly) {
        // What an exec would have closed: the pipes' other ends, so that a run outliving the batch
        // finds nobody reading its lines rather than a pipe it fills itself.
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (nothing > STDERR_FILENO) close(nothing);
        for (const auto& [other, running] : running_) close(running.errors);
        // An exception ends the child as it would end a program of its own, never in the batch's loop.
        const int status = [&]() noexcept { return runMovie_(words); }();
        std::fflush(nullptr);
        _exit(status);
      }
      job.stagingName->keepAcrossExec();  // the folder is in use while the run lives, even past the batch
      execv(argv[0], argv.data());
      _exit(127);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(pipeEnds[1]);
    if (child < 0) {
      close(pipeEnds[0]);
      fail(plan, Tr("Terminal", "cannot start a conversion: ") + std::strerror(errno));
      return;
    }
    job.errors = pipeEnds[0];
    running_.emplace(child, std::move(job));
  }

  // Reads what the runs say until one ends or a moment passes, then takes in the ended ones.
  void waitForChildren() {
    std::vector<pollfd> fds;
    for (const auto& [child, job] : running_) {
      if (job.errors >= 0) fds.push_back({job.errors, POLLIN, 0});
    }
    poll(fds.data(), fds.size(), 200);
    for (auto& [child, job] : running_) readErrors(job, false);
    for (;;) {
      int status = 0;
      const pid_t child = waitpid(-1, &status, WNOHANG);
      if (child <= 0) break;
      const auto found = running_.find(child);
      if (found == running_.end()) continue;
      readErrors(found->second, true);
      finish(found->second, status);
      running_.erase(found);
    }
  }

  static void readErrors(Job& job, bool toTheEnd) {
    if (job.errors < 0) return;
    char buffer[4096];
    for (;;) {
      pollfd fd{job.errors, POLLIN, 0};
      if (!toTheEnd && poll(&fd, 1, 0) <= 0) return;
      const ssize_t count = read(job.errors, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      job.errorText.append(buffer, size_t(count));
      // Only the last lines matter; the progress percentages before them do not.
      if (job.errorText.size() > 64 * 1024) job.errorText.erase(0, job.errorText.size() - 16 * 1024);
    }
    close(job.errors);
    job.errors = -1;
  }

  // The child's own last line, in the names the user gave rather than the hidden folder's.
  std::string lastReason(const Job& job) const {
    std::string reason;
    size_t end = job.errorText.size();
    while (end > 0) {
      const size_t start = job.errorText.rfind('\n', end - 1);
      const size_t from = start == std::string::npos ? 0 : start + 1;
      std::string candidate = job.errorText.substr(from, end - from);
      while (!candidate.empty() && (candidate.back() == '\n' || candidate.back() == '\r')) candidate.pop_back();
      if (const size_t bar = candidate.rfind('\r'); bar != std::string::npos) candidate.erase(0, bar + 1);
      if (!candidate.empty() && candidate.back() != '%') {
        reason = candidate;
        break;
      }
      if (start == std::string::npos) break;
      end = start;
    }
    const std::string prefix = "pocketmovie: ";
    if (reason.rfind(prefix, 0) == 0) reason.erase(0, prefix.size());
    replaceAll(reason, job.stagedSource + "." + formatName_, job.plan.output);
    replaceAll(reason, job.stagedSource, job.plan.source);
    replaceAll(reason, job.staging.string(), fs::path(job.plan.output).parent_path().string());
    return reason;
  }

  void finish(Job& job, int status) {
    std::error_code error;
    const std::string written = job.stagedSource + "." + formatName_;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::is_regular_file(written, error)) {
      // Checked again: a pipe or a link put there meanwhile would be destroyed by the rename.
      if (const std::string problem = OutputFileProblem(job.plan.output); !problem.empty()) {
        fail(job.plan, problem);
      } else if (std::rename(written.c_str(), job.plan.output.c_str()) == 0) {
        std::string text = Fill(Tr("Terminal", "wrote %1"), job.plan.output);
        if (job.plan.renamed) text += Tr("Terminal", " (a movie of the same name is already in this batch)");
        line(text);
        ++written_;
      } else {
        fail(job.plan, Tr("Terminal", "cannot put the output movie in place: ") + std::strerror(errno));
      }
    } else if (WIFSIGNALED(status)) {
      // Stopped by the batch's own abort, possibly before it could take the signal as one.
      fail(job.plan, stopRequests > 0 && (WTERMSIG(status) == SIGKILL || WTERMSIG(status) == SIGINT)
                         ? Tr("Terminal", "aborted")
                         : Fill(Tr("Terminal", "the conversion ended by signal %1"), std::to_string(WTERMSIG(status))));
    } else {
      const std::string reason = lastReason(job);
      fail(job.plan, reason.empty() ? Tr("Terminal", "the conversion failed") : reason);
    }
    job.stagingName.reset();
  }

  void fail(const PlannedOutput& plan, const std::string& reason) {
    // A reason that names its file already says which movie it is about.
    const bool named = reason.find(plan.source) != std::string::npos || reason.find(plan.output) != std::string::npos;
    line(named ? reason : plan.source + ": " + reason);
    ++(reason == Tr("Terminal", "aborted") ? aborted_ : failed_);  // the runs speak the batch's language
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
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  stopRequests = 0;
  Batch batch(options, formatName, std::move(runMovie));
  return batch.run();
}

}  // namespace framework

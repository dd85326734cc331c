// The launcher of conversions' workers and the program's side of asking it for one.
#include "platform/media/exporters/ExportWorkerLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/media/exporters/WorkerMessages.h"

namespace {

// The program's end of its socket to the launcher; -1 when there is none (any more).
std::atomic<int> launcherSocket{-1};
pid_t launcherId = 0;

// What a request carries, in this order: the worker's standard input (its job), output, error,
// report descriptor, and the channel back to whoever asked.
constexpr int kCarried = 5;
using Carried = int[kCarried];
// The launcher's own socket, below everything it receives.
constexpr int kLauncherSocket = kWorkerReportDescriptor;
// A request also carries the asker's environment (a batch's run has its share of the cores there),
// each setting ended by a zero byte and the whole by another.
constexpr size_t kLargestEnvironment = 128 * 1024;

// A request's message: its bytes, and room for its descriptors.
struct Request {
  alignas(cmsghdr) char space[CMSG_SPACE(sizeof(Carried))] = {};
  iovec data;
  msghdr message{};

  Request(char* bytes, size_t size) : data{bytes, size} {
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = space;
    message.msg_controllen = sizeof space;
  }
  Request(const Request&) = delete;
};

bool SendDescriptors(int socket, const Carried& fds, std::string environment) {
  Request request(environment.data(), environment.size());
  msghdr& message = request.message;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(sizeof(Carried));
  std::memcpy(CMSG_DATA(header), fds, sizeof(Carried));
  ssize_t sent;
  while ((sent = sendmsg(socket, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
  }
  return sent == ssize_t(environment.size());
}

// 1 with `fds` and `environment` filled; 0 when the program has closed its end; -1 for anything
// else.
int ReceiveDescriptors(int socket, Carried& fds, std::vector<char>* environment) {
  environment->assign(kLargestEnvironment, 0);
  Request request(environment->data(), environment->size());
  msghdr& message = request.message;
  const ssize_t got = recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
  if (got == 0) return 0;
  if (got < 0) return errno == EINTR || errno == EAGAIN ? -1 : 0;
  const cmsghdr* header = CMSG_FIRSTHDR(&message);
  if (!header || header->cmsg_type != SCM_RIGHTS || header->cmsg_len != CMSG_LEN(sizeof(Carried))) return -1;
  std::memcpy(fds, CMSG_DATA(header), sizeof(Carried));
  environment->resize(size_t(got));
  return 1;
}

// A channel carries one number a message: the worker's ID and its wait status one way, signals
// the other.
bool SendNumber(int channel, int number) {
  return send(channel, &number, sizeof number, MSG_NOSIGNAL) == ssize_t(sizeof number);
}
bool ReceiveNumber(int channel, int* number) {
  ssize_t got;
  while ((got = recv(channel, number, sizeof *number, 0)) < 0 && errno == EINTR) {
  }
  return got == ssize_t(sizeof *number);
}

struct Worker {
  pid_t pid;
  int channel;  // -1 once whoever asked for it is gone
};

[[noreturn]] void BecomeWorker(pid_t launcher, const Carried& fds, std::vector<char>& environment,
                               const sigset_t& mask) {
  // The asker's environment, as a program it started would have had.
  auto* settings = new std::vector<char*>;
  for (size_t at = 0; at < environment.size() && environment[at] != 0; at += std::strlen(&environment[at]) + 1) {
    settings->push_back(&environment[at]);
  }
  settings->push_back(nullptr);
  environ = settings->data();
  signal(SIGCHLD, SIG_DFL);
  sigprocmask(SIG_SETMASK, &mask, nullptr);
  // The launcher's 0-3 are always taken, so what it received lies above the places it goes to.
  for (int i = 0; i < 4; ++i) dup2(fds[i], i);
  // Nothing of the launcher's, of its other workers' or of the program's goes with it.
  close_range(kWorkerReportDescriptor + 1, ~0U, 0);
  RunExportWorker(launcher);
}

void Launch(const Carried& fds, std::vector<char>& environment, const sigset_t& mask, std::vector<Worker>* workers) {
  const pid_t launcher = getpid();
  const pid_t child = fork();
  if (child == 0) BecomeWorker(launcher, fds, environment, mask);
  for (int i = 0; i < 4; ++i) close(fds[i]);  // the worker's alone, or its reports never end
  if (child < 0) {
    close(fds[4]);  // the asker sees the channel close without an ID
    return;
  }
  Worker worker{child, fds[4]};
  if (!SendNumber(worker.channel, child)) {
    kill(child, SIGKILL);
    close(worker.channel);
    worker.channel = -1;
  }
  workers->push_back(worker);
}

void Reap(std::vector<Worker>* workers) {
  int status = 0;
  pid_t ended;
  while ((ended = waitpid(-1, &status, WNOHANG)) > 0) {
    for (auto worker = workers->begin(); worker != workers->end(); ++worker) {
      if (worker->pid != ended) continue;
      if (worker->channel >= 0) {
        SendNumber(worker->channel, status);
        close(worker->channel);
      }
      workers->erase(worker);
      break;
    }
  }
}

[[noreturn]] void RunLauncher(int socket, pid_t program) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != program) _exit(0);
  prctl(PR_SET_NAME, "worker-launcher");
  // Ctrl-C, a kill of the whole group and a closed terminal are the program's to handle: it stops
  // its workers itself, and the launcher ends when the program does.
  signal(SIGINT, SIG_IGN);
  signal(SIGTERM, SIG_IGN);
  signal(SIGHUP, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  // It holds nothing of the program's but its socket: no terminal, no pipe whose reader waits for
  // the program's end, no descriptor that an exec would have closed.
  if (socket != kLauncherSocket) dup2(socket, kLauncherSocket);
  const int nothing = open("/dev/null", O_RDWR);
  for (int fd = 0; fd <= STDERR_FILENO; ++fd) {
    if (nothing != fd) dup2(nothing, fd);
  }
  close_range(kLauncherSocket + 1, ~0U, 0);

  sigset_t childEnds, mask;
  sigemptyset(&childEnds);
  sigaddset(&childEnds, SIGCHLD);
  sigprocmask(SIG_BLOCK, &childEnds, &mask);
  const int ended = signalfd(-1, &childEnds, SFD_CLOEXEC);
  std::vector<Worker> workers;
  std::vector<char> environment;
  for (;;) {
    std::vector<pollfd> watched{{kLauncherSocket, POLLIN, 0}, {ended, POLLIN, 0}};
    for (const Worker& worker : workers) watched.push_back({worker.channel, POLLIN, 0});
    if (poll(watched.data(), watched.size(), -1) < 0) continue;
    for (size_t i = 0; i < workers.size(); ++i) {
      Worker& worker = workers[i];
      if (!watched[i + 2].revents || worker.channel < 0) continue;
      int signal = 0;
      if (ReceiveNumber(worker.channel, &signal)) {
        kill(worker.pid, signal);  // not reaped yet, so still that worker
        continue;
      }
      // Whoever asked is gone (a batch's run, killed): its worker goes too.
      kill(worker.pid, SIGKILL);
      close(worker.channel);
      worker.channel = -1;
    }
    if (watched[1].revents) {
      signalfd_siginfo info;
      while (read(ended, &info, sizeof info) < 0 && errno == EINTR) {
      }
      Reap(&workers);
    }
    if (!watched[0].revents) continue;
    Carried fds;
    const int received = ReceiveDescriptors(kLauncherSocket, fds, &environment);
    if (received == 0) {
      // The program has ended: so do its workers, reaped so that their time counts in its own.
      for (const Worker& worker : workers) kill(worker.pid, SIGKILL);
      while (wait(nullptr) > 0 || errno == EINTR) {
      }
      _exit(0);
    }
    if (received > 0) Launch(fds, environment, mask, &workers);
  }
}

}  // namespace

void StartExportWorkerLauncher() {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return;
  const pid_t program = getpid();
  const pid_t launcher = fork();
  if (launcher == 0) RunLauncher(ends[1], program);
  close(ends[1]);
  if (launcher < 0) {
    close(ends[0]);
    return;
  }
  launcherId = launcher;
  launcherSocket = ends[0];
  std::atexit(EndExportWorkerLauncher);  // framework::EndProcess, which skips it, calls it itself
}

void EndExportWorkerLauncher() {
  const int socket = launcherSocket.exchange(-1);
  if (socket < 0) return;
  close(socket);
  while (waitpid(launcherId, nullptr, 0) < 0 && errno == EINTR) {
  }
}

bool LaunchExportWorker(int job, int reports, LaunchedWorker* worker) {
  const int socket = launcherSocket;
  if (socket < 0) return false;
  std::string environment;
  for (char** setting = environ; setting && *setting; ++setting) environment.append(*setting).push_back(0);
  environment.push_back(0);
  if (environment.size() > kLargestEnvironment) return false;
  int channel[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, channel) != 0) return false;
  const Carried fds{job, STDOUT_FILENO, STDERR_FILENO, reports, channel[1]};
  const bool sent = SendDescriptors(socket, fds, std::move(environment));
  close(channel[1]);
  int pid = 0;
  if (!sent || !ReceiveNumber(channel[0], &pid)) {
    close(channel[0]);
    // A launcher that took no request is gone: workers start as programs from now on. Its socket
    // stays open, as another conversion may be sending on it at this moment.
    if (!sent) launcherSocket = -1;
    return false;
  }
  *worker = {pid, channel[0]};
  return true;
}

void SignalLaunchedWorker(const LaunchedWorker& worker, int signal) { SendNumber(worker.channel, signal); }

bool AwaitLaunchedWorker(LaunchedWorker* worker, int* status) {
  const bool told = ReceiveNumber(worker->channel, status);
  close(worker->channel);
  worker->channel = -1;
  // A launcher gone before it could say took its worker with it (PR_SET_PDEATHSIG), and takes no
  // more requests.
  if (!told) launcherSocket = -1;
  return told;
}

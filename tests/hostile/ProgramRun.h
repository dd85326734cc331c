// Runs the built program from the terminal as a child process, in a folder of its own with its own
// preferences and settings files, and watches its status, time, memory and standard error. It runs
// with a user's file permissions also when the tests run as root.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

struct ProgramRun {
  int status = -1;  // the exit status; -1 when a signal ended it
  long peakKilobytes = 0;
  double seconds = 0;
  std::string errors;  // standard error
};

// Called while the child runs, with its id, the seconds since it started and its standard error
// so far; returns true once it has done what it waits for, and is then not called again.
using WhileRunning = std::function<bool(pid_t child, double seconds, const std::string& errors)>;

class ProgramSandbox {
 public:
  ProgramSandbox() {
    std::filesystem::create_directories(folder_.file("config/pocketmovie"));
    std::filesystem::create_directories(folder_.file("bundle"));
  }

  const TempDir& folder() const { return folder_; }
  std::string configFile() const { return folder_.file("config/pocketmovie/pocketmovie.conf"); }
  std::string bundleFile(const std::string& name) const { return folder_.file("bundle/" + name); }

  // `launcher`: a command the program is started through, its words before the program's.
  ProgramRun run(const std::vector<std::string>& arguments, const WhileRunning& during = nullptr,
                 const char* language = "en", const std::vector<std::string>& launcher = {}) const {
    const std::string errorsPath = folder_.file("stderr.txt");
    std::vector<std::string> words = launcher;
    words.insert(words.end(), {POCKETMOVIE_BINARY, "--headless"});
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    std::ofstream{errorsPath};  // not the last run's, even before the child has opened it
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      int errorsFd = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int nothing = open("/dev/null", O_RDWR);
      dup2(nothing, STDIN_FILENO);
      dup2(nothing, STDOUT_FILENO);
      dup2(errorsFd, STDERR_FILENO);
      setenv("XDG_CONFIG_HOME", folder_.file("config").c_str(), 1);
      setenv("POCKETMOVIE_BUNDLE", folder_.file("bundle").c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("LANGUAGE", language, 1);
      // Root's power to read and write past a file's permissions ends at the exec (no-op for others).
      prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
      prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
      execvp(argv[0], argv.data());
      _exit(127);
    }

    ProgramRun result;
    bool acted = !during;
    int waitStatus = 0;
    rusage usage{};
    while (wait4(child, &waitStatus, WNOHANG, &usage) != child) {
      const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (elapsed > 60) kill(child, SIGKILL);  // the time bound
      if (!acted) acted = during(child, elapsed, ReadWholeFile(errorsPath));
      std::this_thread::sleep_for(std::chrono::milliseconds(acted ? 5 : 1));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.peakKilobytes = usage.ru_maxrss;
    result.errors = ReadWholeFile(errorsPath);
    return result;
  }

 private:
  TempDir folder_;
};

// The processes a program started (a batch's runs live in process groups of their own).
inline std::vector<pid_t> ChildrenOf(pid_t program) {
  std::ifstream list("/proc/" + std::to_string(program) + "/task/" + std::to_string(program) + "/children");
  std::vector<pid_t> children;
  for (pid_t child; list >> child;) children.push_back(child);
  return children;
}

// The launcher the program's conversion workers come from; 0 when it has none.
inline pid_t LauncherOf(pid_t program) {
  for (pid_t child : ChildrenOf(program)) {
    std::ifstream name("/proc/" + std::to_string(child) + "/comm");
    if (std::string word; name >> word && word == "worker-launcher") return child;
  }
  return 0;
}

// The lines a person reads, without the progress percentages, in the order printed.
inline std::vector<std::string> ResultLines(const std::string& errors) {
  std::vector<std::string> lines;
  std::istringstream in(errors);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() != '%') lines.push_back(line);
  }
  return lines;
}

// The last progress percentage the run printed whole; -1 before the first.
inline int LastPercent(const std::string& errors) {
  const size_t sign = errors.rfind("%\n");
  return sign == std::string::npos ? -1 : std::atoi(errors.c_str() + errors.rfind('\n', sign - 1) + 1);
}

// What every run must come to, whatever it was fed: converted, or failed with one line, in bounded
// time and memory, leaving no file that claims to be a movie and is not.
inline void ExpectCleanOutcome(const ProgramRun& run, const std::string& output) {
  EXPECT_LT(run.seconds, 60);
  EXPECT_LT(run.peakKilobytes, 600 * 1024);
  ASSERT_TRUE(run.status == 0 || run.status == 1) << "status " << run.status << "\n" << run.errors;
  const std::vector<std::string> lines = ResultLines(run.errors);
  ASSERT_EQ(lines.size(), 1u) << run.errors;
  EXPECT_EQ(lines[0].rfind("pocketmovie: ", 0), 0u) << lines[0];
  if (run.status == 0) {
    EXPECT_TRUE(ProbeMovie(output).plays()) << output;
  } else if (std::filesystem::exists(output)) {
    EXPECT_EQ(std::filesystem::file_size(output), 0u) << output;
  }
  EXPECT_TRUE(EntryNames(std::filesystem::path(output).parent_path(), ".").empty());
}

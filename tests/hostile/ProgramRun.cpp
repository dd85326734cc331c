#include "tests/hostile/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/SampleMovies.h"

namespace fs = std::filesystem;

std::vector<std::string> ProgramRun::messageLines() const {
  std::vector<std::string> lines;
  std::istringstream in(errors);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() != '%') lines.push_back(line);
  }
  return lines;
}

ProgramSandbox::ProgramSandbox() {
  fs::create_directories(folder_.file("config/pocketmovie"));
  fs::create_directories(folder_.file("bundle"));
}

void ProgramSandbox::writePreferences(const std::vector<std::string>& lines) const {
  std::ofstream out(configFile());
  out << "[General]\n";
  for (const std::string& line : lines) out << line << "\n";
}

ProgramRun ProgramSandbox::run(const std::vector<std::string>& arguments, const WhileRunning& during,
                               double timeoutSeconds) const {
  const std::string errorsPath = folder_.file("stderr.txt");
  std::vector<std::string> words = {POCKETMOVIE_BINARY, "--headless"};
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
    execv(argv[0], argv.data());
    _exit(127);
  }

  ProgramRun result;
  bool acted = !during;
  int waitStatus = 0;
  rusage usage{};
  for (;;) {
    if (wait4(child, &waitStatus, WNOHANG, &usage) == child) break;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (elapsed > timeoutSeconds && !result.timedOut) {
      result.timedOut = true;
      kill(child, SIGKILL);
    }
    if (!acted) acted = during(child, elapsed, ReadWholeFile(errorsPath));
    std::this_thread::sleep_for(std::chrono::milliseconds(acted ? 5 : 1));
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
  result.peakKilobytes = usage.ru_maxrss;
  result.errors = ReadWholeFile(errorsPath);
  return result;
}

std::string CopySampleMovie(const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  fs::copy_file(POCKETMOVIE_SAMPLE, path, fs::copy_options::overwrite_existing);
  return path;
}

std::string ShortSampleMovie(const std::string& folder, const std::string& name, double seconds) {
  const std::string path = folder + "/" + name;
  const std::string command = "ffmpeg -nostdin -v error -y -i '" + std::string(POCKETMOVIE_SAMPLE) + "' -t " +
                              std::to_string(seconds) + " -c copy '" + path + "'";
  return std::system(command.c_str()) == 0 ? path : "";
}

bool PlaysAsMovie(const std::string& path) {
  const ProbedMovie movie = ProbeMovie(path);
  return movie.readable && !movie.streams.empty();
}

std::vector<std::string> HiddenEntries(const std::string& folder) {
  std::vector<std::string> hidden;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename();
    if (name.front() == '.') hidden.push_back(name);
  }
  return hidden;
}

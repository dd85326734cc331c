// Runs the built program from the terminal as a child process, in a folder of its own with its own
// preferences and settings files, and watches its status, time, memory and standard error.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

struct ProgramRun {
  int status = -1;  // the exit status; -1 when a signal ended it
  bool timedOut = false;
  long peakKilobytes = 0;
  double seconds = 0;
  std::string errors;  // standard error

  // The lines a person reads at the end, without the progress percentages.
  std::vector<std::string> messageLines() const;
};

// Called while the child runs, with its id, the seconds since it started and its standard error
// so far; returns true once it has done what it waits for, and is then not called again.
using WhileRunning = std::function<bool(pid_t child, double seconds, const std::string& errors)>;

class ProgramSandbox {
 public:
  ProgramSandbox();

  const TempDir& folder() const { return folder_; }
  std::string configFile() const { return folder_.file("config/pocketmovie/pocketmovie.conf"); }
  std::string bundleFile(const std::string& name) const { return folder_.file("bundle/" + name); }
  // Writes the preferences file with these lines under [General].
  void writePreferences(const std::vector<std::string>& lines) const;

  ProgramRun run(const std::vector<std::string>& arguments, const WhileRunning& during = nullptr,
                 double timeoutSeconds = 60) const;

 private:
  TempDir folder_;
};

// Copies the sample movie into the folder as `name` and returns its path.
std::string CopySampleMovie(const std::string& folder, const std::string& name);
// The first seconds of the sample movie, copied without re-encoding, as folder/name; empty when
// ffmpeg failed.
std::string ShortSampleMovie(const std::string& folder, const std::string& name, double seconds);
// Whether ffprobe reads the file as a movie with at least one stream.
bool PlaysAsMovie(const std::string& path);
// The folder's entries whose names start with a dot: the temporary files of unfinished outputs.
std::vector<std::string> HiddenEntries(const std::string& folder);

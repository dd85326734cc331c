// A small process forked from the program before it has a second thread, whose children become the
// conversions' workers. A worker is then the program as it started, its libraries loaded and its
// pages shared, in a fork's time rather than an exec's that loads some 190 libraries again. It is
// never a fork of the program later on: that would copy locks held by Qt's and FFmpeg's threads;
// the launcher never has a second thread, so each of its children is as clean as a new program.
#pragma once

#include <sys/types.h>

#include "platform/media/exporters/ExportWorker.h"

// A worker the launcher started: its process ID and the channel on which the launcher takes its
// signals and says how it ended.
struct LaunchedWorker {
  pid_t pid = 0;
  int channel = -1;
};

// Asks the launcher for a worker that reads its job from `job` and reports on `reports`, with this
// process's standard output and error; false when there is no launcher to ask.
bool LaunchExportWorker(int job, int reports, LaunchedWorker* worker);
// Has the launcher send `signal` to the worker, unless it has ended already.
void SignalLaunchedWorker(const LaunchedWorker& worker, int signal);
// Sets the worker's wait status once it has ended, and closes the channel; false when the launcher
// ended first, taking the worker with it and leaving workers to start as programs from then on.
bool AwaitLaunchedWorker(LaunchedWorker* worker, int* status);

// The worker's side, run in a child of `parent` with the job on standard input and the report
// descriptor open: converts or measures, and ends the process.
[[noreturn]] void RunExportWorker(pid_t parent);

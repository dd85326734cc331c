// What a conversion's worker process and the program that started it say to each other on their
// pipes: the job one way; progress and the outcome the other. Both ends are the same program, so
// the fields go in one fixed order, numbers as eight bytes and text with its length first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/MovieRecord.h"

struct WorkerJob {
  ExportJob job;
  bool verbose = false;      // say on standard error what confinement the system could not give
  bool measureOnly = false;  // open and measure the source, writing nothing
};

struct WorkerOutcome {
  ComponentResult status = noErr;
  Failure failure;
  Failure notice;
  MovieFacts facts;  // what a measuring worker found
};

// One message from the worker: a fraction of progress, or the outcome (the last message).
struct WorkerReport {
  std::optional<double> fractionDone;
  std::optional<WorkerOutcome> outcome;
};

std::string EncodeWorkerJob(const WorkerJob& job);
bool DecodeWorkerJob(std::string_view bytes, WorkerJob* job);

std::string EncodeProgressReport(double fractionDone);
std::string EncodeOutcomeReport(const WorkerOutcome& outcome);
// Takes the first whole message off the front of `received`; false while none is complete yet, or
// (with `malformed` set) when what came is no message at all.
bool TakeWorkerReport(std::string* received, WorkerReport* report, bool* malformed);

// The word after the program's name that starts it as a worker; the parent's process ID follows.
inline constexpr char kExportWorkerWord[] = "--export-worker";
// The worker's descriptor for its reports; the job comes on its standard input.
inline constexpr int kWorkerReportDescriptor = 3;

// Whole writes and reads on a pipe, through interruptions: false when the other end is gone.
bool WriteWholly(int fd, const std::string& bytes);
std::string ReadToEnd(int fd);

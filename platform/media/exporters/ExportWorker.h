// Each conversion runs in a process of its own: the program as it started (a child of its
// launcher, or the program started again) in a worker mode, given the job on its standard input,
// confined to reading the source and writing in the output's folder, and telling its progress and
// outcome on a pipe. A movie that makes a decoder misbehave reaches nothing else, and a decoder
// that crashes takes only its worker down. Movies are measured the same way, by a worker that
// writes nothing.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/pipeline/ExportPipeline.h"
#include "platform/media/stages/MovieRecord.h"

// The program's first call, before any other thread starts: in a worker's launch it runs that
// conversion and ends the process; otherwise it notes that this program is its own worker and
// forks the launcher its workers come from.
void EnterExportWorkerIfLaunchedAsOne(int argc, const char* const* argv);

// Forks the launcher that workers come from (ExportWorkerLauncher.h); to be called before any
// thread starts. Without one (test programs, or once it is gone) a worker is started as a program
// of its own.
void StartExportWorkerLauncher();
// Ends the launcher and waits for it, so that its workers' time and memory count among this
// process's children's, as they did when it started them itself. Called at exit() too.
void EndExportWorkerLauncher();

// The program that runs the workers: this one where it entered through the call above, else the
// one kExportWorkerVariable names; "" when neither.
std::string ExportWorkerProgram();

// The environment variable naming the worker program for programs that cannot be one (tests,
// benchmarks linking the export components alone).
inline constexpr char kExportWorkerVariable[] = "POCKETMOVIE_EXPORT_WORKER";

// Whether the workers say on standard error what confinement the system could not give them.
void SetExportWorkerVerbose(bool verbose);

// RunExportJob's contract, run in a worker: the progress routine hears every report on this
// thread, and a nonzero answer stops the worker as it would stop the export. A worker that dies
// by a signal fails with decoderCrashed, leaving no hidden file; no worker program, with
// programNotFound.
ComponentResult RunExportJobInWorker(const ExportJob& job, const ExportProgress& progress, Failure* failure,
                                     Failure* notice);

// OpenSourceMovie's measuring, run in a worker that may read the source and write nothing: a
// file crafted to break the demuxers breaks only that worker (decoderCrashed).
OSErr MeasureMovieInWorker(const std::string& sourcePath, MovieFacts* facts, Failure* failure);

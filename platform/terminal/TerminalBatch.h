// Several movies from the terminal: each converted by a run of this program of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/terminal/CommandLine.h"

namespace framework {

// Converts every movie the options name, `jobs` at a time, and prints one line per movie as it
// ends and a summary. Returns the exit status: 0 only when every movie was written (or already
// was, with skipExisting). formatName is the output format every run uses ("3gp").
// runMovie, given the command line of a launch with one movie, converts it as that launch would
// and returns its exit status; a run forked from a single-threaded batch calls it instead of
// starting this program again.
using MovieRun = std::function<int(std::vector<std::string>& arguments)>;
int RunTerminalBatch(const RunOptions& options, const std::string& formatName, MovieRun runMovie = {});

// How many movies at once by default: one per core, no more than the movies, and no more than
// the memory at hand holds.
int DefaultBatchJobs(size_t movies);

}  // namespace framework

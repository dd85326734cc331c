// How a run of a terminal batch tells the batch what became of its movie: on a pipe of its own
// that the batch hands it, never on its standard error, so that the batch reads a code and writes
// the movie's line itself, in the user's language and with the names the user gave.
#pragma once

#include <optional>
#include <string>

#include "platform/Failure.h"

namespace framework {

struct RunResult {
  Failure failure;         // none when the movie was written
  std::string outputPath;  // where it was written
  Failure notice;          // what the written movie's owner should know of it (frames dropped, a rate overshot)
};

// The environment variable that names the channel's file descriptor in a run of a batch.
inline constexpr char kRunResultVariable[] = "POCKETMOVIE_RESULT_FD";

// In a run of a batch: sends the result on the channel the batch gave. Elsewhere nothing.
void SendRunResult(const RunResult& result);
// In the batch: the result a run sent, from all it wrote on its channel; none when it sent none
// (it ended before it could say).
std::optional<RunResult> ReadRunResult(const std::string& received);

}  // namespace framework

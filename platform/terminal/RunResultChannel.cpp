#include "platform/terminal/RunResultChannel.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace framework {

// Four fields, each ended by a NUL, which no path holds: the code's number, the subject, the
// detail and the output's path.
void SendRunResult(const RunResult& result) {
  const char* variable = std::getenv(kRunResultVariable);
  const std::string named = variable ? variable : "";
  int fd = -1;
  const auto [end, error] = std::from_chars(named.data(), named.data() + named.size(), fd);
  if (named.empty() || error != std::errc() || end != named.data() + named.size() || fd < 0) return;
  std::string message = std::to_string(int(result.failure.code));
  for (const std::string* field : {&result.failure.subject, &result.failure.detail, &result.outputPath}) {
    message += '\0';
    message += *field;
  }
  message += '\0';
  for (size_t sent = 0; sent < message.size();) {
    const ssize_t written = write(fd, message.data() + sent, message.size() - sent);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the batch is gone; there is nobody to tell
    sent += size_t(written);
  }
}

std::optional<RunResult> ReadRunResult(const std::string& received) {
  std::vector<std::string> fields;
  for (size_t start = 0; start < received.size();) {
    const size_t end = received.find('\0', start);
    if (end == std::string::npos) return std::nullopt;  // cut off
    fields.push_back(received.substr(start, end - start));
    start = end + 1;
  }
  int code = 0;
  if (fields.size() != 4) return std::nullopt;
  const auto [end, error] = std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), code);
  if (error != std::errc() || end != fields[0].data() + fields[0].size() || code < 0 ||
      code >= int(FailureCode::count)) {
    return std::nullopt;
  }
  return RunResult{{FailureCode(code), fields[1], fields[2]}, fields[3]};
}

}  // namespace framework

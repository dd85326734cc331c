#include "platform/terminal/RunResultChannel.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <vector>

namespace framework {

namespace {

constexpr size_t kFailureFields = 4;  // the code's number, the subject and the two details

void AddFailure(const Failure& failure, std::string* message) {
  *message += std::to_string(int(failure.code));
  for (const std::string* field : {&failure.subject, &failure.detail, &failure.secondDetail}) {
    *message += '\0';
    *message += *field;
  }
}

std::optional<Failure> FailureAt(const std::vector<std::string>& fields, size_t first) {
  int code = 0;
  const std::string& number = fields[first];
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), code);
  if (error != std::errc() || end != number.data() + number.size() || code < 0 || code >= int(FailureCode::count)) {
    return std::nullopt;
  }
  return Failure{FailureCode(code), fields[first + 1], fields[first + 2], fields[first + 3]};
}

}  // namespace

// The failure's fields, the output's path and the notice's fields, each ended by a NUL, which no
// path holds.
void SendRunResult(const RunResult& result) {
  const char* variable = std::getenv(kRunResultVariable);
  const std::string named = variable ? variable : "";
  int fd = -1;
  const auto [end, error] = std::from_chars(named.data(), named.data() + named.size(), fd);
  if (named.empty() || error != std::errc() || end != named.data() + named.size() || fd < 0) return;
  std::string message;
  AddFailure(result.failure, &message);
  message += '\0';
  message += result.outputPath;
  message += '\0';
  AddFailure(result.notice, &message);
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
  if (fields.size() != 2 * kFailureFields + 1) return std::nullopt;
  const std::optional<Failure> failure = FailureAt(fields, 0);
  const std::optional<Failure> notice = FailureAt(fields, kFailureFields + 1);
  if (!failure || !notice) return std::nullopt;
  return RunResult{*failure, fields[kFailureFields], *notice};
}

}  // namespace framework

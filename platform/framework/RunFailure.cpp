#include "platform/framework/RunFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/framework/FrameworkInternal.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

std::string& firstFailure() {
  static auto* reason = new std::string;
  return *reason;
}

std::string describeStatus(long status) {
  switch (status) {
    case userCanceledErr:
    case -1:
      return "aborted";
    case dskFulErr:
      return "disk full";
    case fnfErr:
      return "no such file";
    case permErr:
    case wrPermErr:
      return "permission denied";
    default:
      return "the export failed (status " + std::to_string(status) + ")";
  }
}

bool anyRunFailed = false;

}  // namespace

void NoteFailure(const std::string& reason) {
  if (firstFailure().empty()) firstFailure() = reason;
}

std::string RunFailureReason() {
  const MovieExportReport report = LastMovieExportReport();
  if (report.started) {
    if (report.finished && report.status == noErr) return {};
    return !report.failureReason.empty() ? report.failureReason : describeStatus(report.status);
  }
  return !firstFailure().empty() ? firstFailure() : "the conversion did not start";
}

void RemoveEmptyOutputs() {
  for (const std::string& path : FilesCreated()) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0) unlink(path.c_str());
  }
}

void ForgetRunFailure() {
  firstFailure().clear();
  RecordMovieExportReport({});
  anyRunFailed = true;
}

bool AnyRunFailed() { return anyRunFailed; }

void ForgetFailures() {
  firstFailure().clear();
  RecordMovieExportReport({});
  anyRunFailed = false;
}

}  // namespace framework

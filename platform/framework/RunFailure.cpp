#include "platform/framework/RunFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/desktop/Translation.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

Failure& firstFailure() {
  static auto* failure = new Failure;
  return *failure;
}

Failure statusFailure(long status) {
  switch (status) {
    case userCanceledErr:
    case -1:
      return {FailureCode::aborted};
    case dskFulErr:
      return {FailureCode::diskFull};
    case fnfErr:
      return {FailureCode::noSuchFile};
    case permErr:
    case wrPermErr:
      return {FailureCode::permissionDenied};
    default:
      return {FailureCode::exportFailedStatus, {}, std::to_string(status)};
  }
}

bool anyRunFailed = false;

}  // namespace

void NoteFailure(const Failure& failure) {
  if (!firstFailure()) firstFailure() = failure;
}

Failure LastRunFailure() {
  const MovieExportReport report = LastMovieExportReport();
  if (report.started) {
    if (report.finished && report.status == noErr) return {};
    return report.failure ? report.failure : statusFailure(report.status);
  }
  return firstFailure() ? firstFailure() : Failure{FailureCode::conversionDidNotStart};
}

void RemoveEmptyOutputs() {
  for (const std::string& path : FilesCreated()) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0) unlink(path.c_str());
  }
}

void ForgetRunFailure() {
  firstFailure() = {};
  RecordMovieExportReport({});
  anyRunFailed = true;
}

bool AnyRunFailed() { return anyRunFailed; }

bool LastRunWritten() {
  const MovieExportReport report = LastMovieExportReport();
  return report.started && report.finished && report.status == noErr;
}

int WindowExitStatus() {
  if (LastRunWritten()) return 0;
  // The user quit the window without converting anything; a run that failed in it still counts.
  if (!LastMovieExportReport().started) return AnyRunFailed() ? 1 : 0;
  return 1;
}

void ForgetFailures() {
  firstFailure() = {};
  RecordMovieExportReport({});
  anyRunFailed = false;
}

}  // namespace framework

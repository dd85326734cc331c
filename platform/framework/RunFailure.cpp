#include "platform/framework/RunFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/desktop/Translation.h"
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
      return Tr("Terminal", "aborted");
    case dskFulErr:
      return Tr("Terminal", "disk full");
    case fnfErr:
      return Tr("Terminal", "no such file");
    case permErr:
    case wrPermErr:
      return Tr("Terminal", "permission denied");
    default:
      return Fill(Tr("Terminal", "the export failed (status %1)"), std::to_string(status));
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
    return !report.failureReason.empty() ? TranslatedReason(report.failureReason) : describeStatus(report.status);
  }
  return !firstFailure().empty() ? firstFailure() : Tr("Terminal", "the conversion did not start");
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
  firstFailure().clear();
  RecordMovieExportReport({});
  anyRunFailed = false;
}

}  // namespace framework

#include "platform/movies/MovieExport.h"

#include <mutex>

namespace {

// The export calls reach the component only through a live instance of an export component.
template <typename Call>
ComponentResult DispatchToExporter(MovieExportComponent ci, Call call) {
  ComponentCallScope scope(ci);
  auto* exporter = dynamic_cast<MovieExporter*>(scope.implementation());
  if (exporter == nullptr) return badComponentInstance;
  return call(*exporter);
}

std::mutex& ReportMutex() {
  static std::mutex mutex;
  return mutex;
}

MovieExportReport& StoredReport() {
  static MovieExportReport report;
  return report;
}

}  // namespace

MovieProgressUPP NewMovieProgressUPP(MovieProgressProcPtr userRoutine) { return userRoutine; }

void DisposeMovieProgressUPP(MovieProgressUPP) {}

ComponentResult MovieExportGetSettingsAsAtomContainer(MovieExportComponent ci, QTAtomContainer* settings) {
  if (settings == nullptr) return paramErr;
  *settings = nullptr;
  return DispatchToExporter(ci, [&](MovieExporter& e) { return e.getSettingsAsAtomContainer(settings); });
}

ComponentResult MovieExportSetSettingsFromAtomContainer(MovieExportComponent ci, QTAtomContainer settings) {
  return DispatchToExporter(ci, [&](MovieExporter& e) { return e.setSettingsFromAtomContainer(settings); });
}

ComponentResult MovieExportDoUserDialog(MovieExportComponent ci, Movie theMovie, Track onlyThisTrack,
                                        TimeValue startTime, TimeValue duration, Boolean* canceled) {
  return DispatchToExporter(
      ci, [&](MovieExporter& e) { return e.doUserDialog(theMovie, onlyThisTrack, startTime, duration, canceled); });
}

ComponentResult MovieExportSetProgressProc(MovieExportComponent ci, MovieProgressUPP proc, long refcon) {
  return DispatchToExporter(ci, [&](MovieExporter& e) { return e.setProgressProc(proc, refcon); });
}

ComponentResult MovieExportToFile(MovieExportComponent ci, const FSSpec* theFile, Movie theMovie, Track onlyThisTrack,
                                  TimeValue startTime, TimeValue duration) {
  return DispatchToExporter(
      ci, [&](MovieExporter& e) { return e.toFile(theFile, theMovie, onlyThisTrack, startTime, duration); });
}

ComponentResult MovieExportEstimateBytes(MovieExportComponent ci, Movie theMovie, double seconds, double* bytes) {
  if (!bytes) return paramErr;
  return DispatchToExporter(ci, [&](MovieExporter& e) { return e.estimateBytes(theMovie, seconds, bytes); });
}

// A copy, so that a report recorded meanwhile never changes one being read.
MovieExportReport LastMovieExportReport() {
  std::lock_guard lock(ReportMutex());
  return StoredReport();
}

void RecordMovieExportReport(const MovieExportReport& report) {
  std::lock_guard lock(ReportMutex());
  StoredReport() = report;
}

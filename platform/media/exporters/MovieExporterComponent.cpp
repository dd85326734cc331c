#include "platform/media/exporters/MovieExporterComponent.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>

#include "platform/media/exporters/ExportSizeEstimate.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/ExporterDialog.h"
#include "platform/media/exporters/MovieExporterJob.h"
#include "platform/media/pipeline/ExportPipeline.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/MovieRecord.h"
#include "platform/movies/FixMath.h"

namespace {

// Checks the request and fills the job; a nonzero status when it cannot be exported.
ComponentResult PrepareJob(const ExporterSettings& settings, ExporterKind kind, const FSSpec* theFile, Movie theMovie,
                           Track onlyThisTrack, TimeValue startTime, TimeValue duration, ExportJob* job,
                           Failure* failure) {
  std::string outputPath;
  if (theFile == nullptr || FSpGetPOSIXPath(theFile, &outputPath) != noErr) {
    *failure = {FailureCode::outputCannotBeNamed};
    return paramErr;
  }
  job->outputPath = outputPath;
  if (theMovie == nullptr) {
    *failure = {FailureCode::noSourceMovie};
    return invalidMovie;
  }
  if (onlyThisTrack != nullptr) {
    *failure = {FailureCode::singleTrackNotSupported};
    return paramErr;
  }
  TimeScale scale = GetMovieTimeScale(theMovie);
  if (startTime < 0 || duration <= 0 || scale <= 0) {
    *failure = {FailureCode::emptySpan};
    return invalidDuration;
  }
  *job = ResolveExportJob(settings, kind, theMovie->sourcePath, outputPath, double(startTime) / scale,
                          double(duration) / scale);
  return noErr;
}

}  // namespace

MovieExporterComponent::MovieExporterComponent(ExporterKind kind)
    : kind_(kind), settings_(DefaultExporterSettings(kind)) {}

ComponentResult MovieExporterComponent::getSettingsAsAtomContainer(QTAtomContainer* settings) {
  return ExporterSettingsToAtomContainer(settings_, kind_, settings);
}

ComponentResult MovieExporterComponent::setSettingsFromAtomContainer(QTAtomContainer settings) {
  return ReadExporterSettings(settings, kind_, &settings_);
}

ComponentResult MovieExporterComponent::doUserDialog(Movie, Track, TimeValue, TimeValue, Boolean* canceled) {
  if (canceled == nullptr) return paramErr;
  ExporterDialogModel model(kind_, settings_);
  const bool confirmed = PresentMovieExportDialog(model);
  if (confirmed) settings_ = model.settings();
  *canceled = !confirmed;
  return noErr;
}

ComponentResult MovieExporterComponent::estimateBytes(Movie theMovie, double seconds, double* bytes) {
  ExportJob job = ResolveExportJob(settings_, kind_, theMovie ? theMovie->sourcePath : "", "", 0, seconds);
  MovieFacts anySource;
  anySource.hasVideo = anySource.hasAudio = true;
  if (!theMovie) job.sizeLimitBytes = 0;
  *bytes = EstimatedExportBytes(job, theMovie ? theMovie->facts : anySource, seconds);
  return noErr;
}

ComponentResult MovieExporterComponent::setProgressProc(MovieProgressUPP proc, long refcon) {
  progress_ = proc;
  progressRefcon_ = refcon;
  return noErr;
}

ComponentResult MovieExporterComponent::toFile(const FSSpec* theFile, Movie theMovie, Track onlyThisTrack,
                                               TimeValue startTime, TimeValue duration) {
  // A progress routine may not start a second export of the same instance inside the first.
  if (exporting_) return paramErr;
  exporting_ = true;

  // Local copies: the routine may change or close this instance while it runs.
  const MovieProgressUPP proc = progress_;
  const long refcon = progressRefcon_;
  auto send = [&](SInt16 message, Fixed fraction) -> OSErr {
    return proc ? proc(theMovie, message, progressOpExportMovie, fraction, refcon) : OSErr(noErr);
  };

  MovieExportReport report;
  report.started = true;
  ExportJob job;
  ComponentResult result =
      PrepareJob(settings_, kind_, theFile, theMovie, onlyThisTrack, startTime, duration, &job, &report.failure);
  report.outputPath = job.outputPath;
  RecordMovieExportReport(report);

  const bool stoppedAtOpen = send(movieProgressOpen, 0) != noErr;
  Fixed lastFraction = 0;
  if (result == noErr) {
    ExportProgress onProgress = [&](double fraction) -> OSErr {
      if (stoppedAtOpen) return userCanceledErr;
      lastFraction = std::max(lastFraction, X2Fix(std::clamp(fraction, 0.0, 1.0)));
      return send(movieProgressUpdatePercent, lastFraction);
    };
    try {
      result = RunExportJobInWorker(job, onProgress, &report.failure, &report.notice);
    } catch (const std::bad_alloc&) {
      result = memFullErr;
      report.failure = {FailureCode::outOfMemory};
    } catch (const std::exception& e) {
      result = ioErr;
      report.failure = {FailureCode::exportFailed, {}, e.what()};
    }
  }
  if (result == noErr) lastFraction = fixed1;

  report.finished = true;
  report.status = result;
  if (result == noErr) report.failure = {};
  RecordMovieExportReport(report);
  exporting_ = false;
  // The application may end inside this message: the file is closed and nothing is left to do.
  send(movieProgressClose, lastFraction);
  return result;
}

// One conversion: measure the source, shape the exporter's settings from the controls, create the
// output beside the source and export the whole movie into it.
#include <algorithm>
#include <climits>

#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"
#include "platform/movies/FixMath.h"

namespace {

// The source's natural size, read through a movie object that lives only for the measurement.
// A file that is no movie measures 0 x 0; opening it for the export fails later.
NSSize naturalSizeOfMovieAt(const NSString& path) {
  NSURL* url = (new NSURL)->initFileURLWithPath(path);
  NSMovie* movie = (new NSMovie)->initWithURL(url, YES);
  Rect bounds = {};
  if (movie && movie->QTMovie()) GetMovieNaturalBoundsRect(movie->QTMovie(), &bounds);
  if (movie) movie->release();
  url->release();
  return {double(bounds.right - bounds.left), double(bounds.bottom - bounds.top)};
}

bool takesSizeFromFields(SInt32 sizeTag) { return sizeTag == 0 || (sizeTag >= 11 && sizeTag <= 13); }

// The preparation gave up: the exporter is closed and forgotten, so that neither a later run nor
// the next format choice nor quit uses or closes it again.
void abandonRun() {
  ShowProgressPercent(50);
  if (gQtExport) CloseComponent(gQtExport);
  gQtExport = nullptr;
}

}  // namespace

void ShowProgressPercent(double percent) {
  // Rounded halves upward; clamped first so that no value can overflow the conversion.
  const double rounded = std::clamp(percent + 0.5, double(INT_MIN), double(INT_MAX));
  if (gProgress) gProgress->setDoubleValue(percent);
  if (gTextPercent) gTextPercent->setIntValue(rounded == rounded ? static_cast<int>(rounded) : 0);
  // The main loop does not draw while a run holds the main thread.
  if (gProgress) gProgress->displayIfNeeded();
  if (gTextPercent) gTextPercent->displayIfNeeded();
  if (gTextPercentUnit) gTextPercentUnit->displayIfNeeded();
}

void ConverterController::setPercent(double percent) { ShowProgressPercent(percent); }

void ConverterController::convertMovie(id sender) {
  if (gConvertMode == kConvertRunning) {
    gConvertMode = kConvertAbortRequested;
    return;
  }
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();  // frees the panel when the action ends
  const NSArray fileTypes = {"mov", "avi"};
  NSOpenPanel* panel = NSOpenPanel::openPanel();
  if (panel->runModalForDirectory(NSHomeDirectory(), "Movies", fileTypes) == 1) {
    button->setEnabled(NO);
    textPercentUnit->setStringValue("%");
    setPercent(1);
    const NSString path = panel->filename();
    if (gQtExport) doConvert(path);
  }
  pool->release();
}

void ConverterController::doConvert(const NSString& path) {
  setPercent(2);

  const NSSize natural = naturalSizeOfMovieAt(path);
  const SInt32 sizeTag = tagOfSelectedItem(popupExportSize);
  double width = 0;
  double height = 0;
  if (takesSizeFromFields(sizeTag)) {
    width = widthMov->doubleValue();
    height = heightMov->doubleValue();
  } else {
    width = natural.width / sizeTag;
    height = natural.height / sizeTag;
  }
  widthMov->setDoubleValue(width);
  heightMov->setDoubleValue(height);

  QTDX_SetExportedMovieDimensions(gQtExport, X2Fix(height), X2Fix(width));
  QTDX_SetExportedMovieDataRateSetting(gQtExport, dataRate->intValue());

  // clip.mov becomes clip.mov.3gp beside it.
  const NSString outputPath = path.stringByAppendingString(NSString::stringWithCString(pExtName[m_nDefault3GPP]));
  // A folder or a broken link in the output's place ends the run before the export, not after it.
  if (!NSFileManager::defaultManager()->createFileAtPath(outputPath, nullptr, nullptr)) return abandonRun();
  FSSpec outputSpec = {};
  if (fileSpecForPath(outputPath, &outputSpec) != noErr) return abandonRun();
  spec = outputSpec;
  setPercent(3);

  FSSpec sourceSpec = {};
  if (fileSpecForPath(path, &sourceSpec) != noErr) return abandonRun();
  setPercent(4);

  SInt16 movieFile = 0;
  if (OpenMovieFile(&sourceSpec, &movieFile, fsRdPerm) != noErr) return abandonRun();
  mov = nullptr;
  if (NewMovieFromFile(&mov, movieFile, nullptr, nullptr, newMovieActive, nullptr) != noErr || !mov) {
    mov = nullptr;
    CloseMovieFile(movieFile);
    return abandonRun();
  }
  QTDX_SetExportedMovieTemporalSetting(gQtExport, frameRate->doubleValue());
  setPercent(5);

  button->setTitle(NSBundle::mainBundle()->localizedStringForKey("Abort", nullptr, nullptr));
  gConvertMode = kConvertRunning;
  // Shown and live before the export holds the main thread.
  button->setEnabled(YES);
  button->displayIfNeeded();

  exportMovie(nullptr);
  CloseMovieFile(movieFile);
}

void ConverterController::exportMovie(id sender) {
  const TimeValue duration = GetMovieDuration(mov);
  MovieExportToFile(gQtExport, &spec, mov, nullptr, 0, duration);
  DisposeMovie(mov);
  mov = nullptr;
}

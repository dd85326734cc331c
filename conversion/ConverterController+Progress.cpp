// The export's progress on the window (the bar and the percentage) and the abort: the progress
// callback watches the "Abort" button itself, since the main loop does not run while an export
// holds the main thread.
#include <algorithm>
#include <climits>

#include "app/ConverterController.h"
#include "platform/movies/FixMath.h"

namespace {

// Takes at most one pending left mouse-up off the queue, without waiting. Any other click is
// dropped: nothing may be dispatched while the export runs.
bool abortClickPending() {
  if (!gButton) return false;
  NSEvent* event = NSApplication::sharedApplication()->nextEventMatchingMask(NSLeftMouseUpMask, NSDate::distantPast(),
                                                                             NSDefaultRunLoopMode, YES);
  if (!event) return false;
  // The button lies directly in the content view, so its frame and the event share coordinates.
  return event->window() == gButton->window() && NSPointInRect(event->locationInWindow(), gButton->frame());
}

OSErr showExportProgress(Fixed fractionDone) {
  if (gConvertMode == kConvertRunning && abortClickPending()) {
    gConvertMode = kConvertAbortRequested;
    return userCanceledErr;
  }
  if (gConvertMode == kConvertAbortRequested) return -1;
  // The preparation used 1 to 5; the export shares out 10 to 100.
  const double percent = std::min(std::max(5.0 + 95.0 * Fix2X(fractionDone), 10.0), 100.0);
  ShowProgressPercent(percent);
  return noErr;
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

OSErr MovieProgressProc(Movie theMovie, SInt16 message, SInt16 whatOperation, Fixed percentDone, long refcon) {
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  OSErr result = noErr;
  if (gProgress) {
    if (message == movieProgressUpdatePercent) {
      result = showExportProgress(percentDone);
    } else if (message == movieProgressClose && !LastExportFailed() && !gBatchInProgress) {
      // The end of a complete or aborted export ends the application, unless a batch decides
      // between the next movie and the end once this export has returned. A failed one leaves
      // the window for another try.
      NSApplication::sharedApplication()->terminate(nullptr);
    }
  }
  pool->release();
  return result;
}

bool LastExportFailed() {
  const MovieExportReport report = LastMovieExportReport();
  return report.started && report.status != noErr && gConvertMode != kConvertAbortRequested;
}

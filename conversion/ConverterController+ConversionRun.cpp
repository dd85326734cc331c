// One conversion: measure the source, shape the exporter's settings from the controls, and export
// the whole movie into an output beside the source.
#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"
#include "platform/movies/FixMath.h"

namespace {

// The source's natural size, read through a movie object that lives only for the measurement;
// false for a file that is missing or no movie (a movie of sound alone measures 0 x 0).
bool measureMovieAt(const NSString& path, NSSize* natural) {
  NSURL* url = (new NSURL)->initFileURLWithPath(path);
  NSMovie* movie = (new NSMovie)->initWithURL(url, YES);
  Rect bounds = {};
  const bool measured = movie && movie->QTMovie();
  if (measured) GetMovieNaturalBoundsRect(movie->QTMovie(), &bounds);
  if (movie) movie->release();
  url->release();
  *natural = {double(bounds.right - bounds.left), double(bounds.bottom - bounds.top)};
  return measured;
}

// The preparation gave up: the progress stops at 50 (the terminal's last progress line), then the
// window gets ready for another try.
void abandonPreparation(ConverterController* controller) {
  ShowProgressPercent(50);
  controller->giveUpRun();
}

}  // namespace

// The menu's "Convert…" (Ctrl+O) does what the convert button does, an abort included.
void ConverterController::cancelConvert(id sender) { convertMovie(sender); }

void ConverterController::convertMovie(id sender) {
  if (gConvertMode == kConvertRunning) {
    gConvertMode = kConvertAbortRequested;
    return;
  }
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();  // frees the panel when the action ends
  NSOpenPanel* panel = NSOpenPanel::openPanel();
  panel->setMoviePreview([this](Movie movie) { return describeMovie(movie); });
  panel->setAllowsMultipleSelection(YES);
  // Every kind of movie that can be read, starting where the last movie was chosen, at first where
  // the user keeps videos.
  const NSString folder = m_movieFolder.str().empty() ? NSUserMoviesDirectory() : m_movieFolder;
  if (panel->runModalForDirectory(folder, "", NSMovie::movieFileTypes()) == 1) {
    m_movieFolder = panel->filename().stringByDeletingLastPathComponent();
    if (panel->filenames().size() > 1) {
      applicationOpenFiles(NSApplication::sharedApplication(), panel->filenames());
    } else {
      button->setEnabled(NO);
      textPercentUnit->setStringValue("%");
      setPercent(1);
      if (gQtExport) doConvert(panel->filename());
    }
  }
  pool->release();
}

// The run gave up or its export failed: the window says why and is ready for another try, as at
// launch. The exporter stays open, with whatever its settings dialog was given.
void ConverterController::giveUpRun() {
  if (!NSApplication::sharedApplication()->recoverFromFailedRun(&m_runFailure)) return;
  textStatus->setStringValue(m_runFailure.localizedDescription());
  showReady();
}

void ConverterController::showReady() {
  gConvertMode = kConvertIdle;
  button->setTitle(NSBundle::mainBundle()->localizedStringForKey("Convert", nullptr, nullptr));
  button->setEnabled(YES);
  setPercent(0);
  // Idle, the window shows no percentage at all: a bare "0" reads as a figure without its unit.
  textPercent->setStringValue("");
  textPercentUnit->setStringValue("");
}

void ConverterController::doConvert(const NSString& path) {
  textStatus->setStringValue("");
  setPercent(2);

  NSSize natural;
  // Nothing to convert: no output is made, and the size fields keep what the user sees.
  if (!measureMovieAt(path, &natural)) return abandonPreparation(this);
  m_movieNaturalSize = natural;
  const NSSize size = exportSizeFor(natural);
  widthMov->setDoubleValue(size.width);
  heightMov->setDoubleValue(size.height);
  applyOptions(size.width, size.height, dataRate->intValue(), frameRate->doubleValue());

  // clip.mov becomes clip.mov.3gp beside it; an output already there stays unless the user says.
  const std::string extension = OutputFormatOfTag(m_nDefault3GPP).extension;
  NSString outputPath = path.str() + extension;
  if (BOOL folder = NO; NSFileManager::defaultManager()->fileExistsAtPath(outputPath, &folder) && !folder) {
    const NSInteger choice =
        m_earlierOutputs == kAskAboutEarlierOutputs ? askAboutEarlierOutputs({outputPath}, extension) : m_earlierOutputs;
    if (choice == NSAlertOtherReturn) return showReady();
    if (choice == NSAlertAlternateReturn) outputPath = freeOutputPath(outputPath, extension);
  }
  // A folder or a broken link in the output's place ends the run before the export, not after it.
  // The export makes the output itself: nothing is under its name until the movie is complete.
  if (!NSFileManager::defaultManager()->canCreateFileAtPath(outputPath)) {
    giveUpRun();
    // In the window a movie whose own folder cannot be written goes, as in a batch, into a
    // folder the user chooses (the terminal's run has ended with its line instead).
    if (!gBatchInProgress && m_runFailure.code() == FailureCode::outputFolderNotWritable) {
      applicationOpenFiles(NSApplication::sharedApplication(), {path});
    }
    return;
  }
  FSSpec outputSpec = {};
  if (FSMakeFSSpecFromPath(outputPath.UTF8String(), &outputSpec) != noErr) return abandonPreparation(this);
  spec = outputSpec;
  setPercent(3);

  FSSpec sourceSpec = {};
  if (fileSpecForPath(path, &sourceSpec) != noErr) return abandonPreparation(this);
  setPercent(4);

  SInt16 movieFile = 0;
  if (OpenMovieFile(&sourceSpec, &movieFile, fsRdPerm) != noErr) return abandonPreparation(this);
  mov = nullptr;
  if (NewMovieFromFile(&mov, movieFile, nullptr, nullptr, newMovieActive, nullptr) != noErr || !mov) {
    mov = nullptr;
    CloseMovieFile(movieFile);
    return abandonPreparation(this);
  }
  setPercent(5);

  button->setTitle(NSBundle::mainBundle()->localizedStringForKey("Abort", nullptr, nullptr));
  gConvertMode = kConvertRunning;
  // Shown and live before the export holds the main thread.
  button->setEnabled(YES);
  button->displayIfNeeded();

  exportMovie(nullptr);
  CloseMovieFile(movieFile);
  // A complete or aborted export has ended the application at its close message.
  if (LastExportFailed()) giveUpRun();
}

void ConverterController::exportMovie(id sender) {
  const TimeValue duration = GetMovieDuration(mov);
  MovieExportToFile(gQtExport, &spec, mov, nullptr, 0, duration);
  DisposeMovie(mov);
  mov = nullptr;
}

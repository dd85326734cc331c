// Launch, a movie opened onto the application, and quit: the preferences go into the controls at
// launch and come back from them at quit.
#include "app/ConverterController.h"

namespace {

// A stored 0 and a missing key both mean "never chosen".
SInt32 integerPreference(NSUserDefaults* defaults, const char* key, SInt32 valueForZero) {
  auto value = static_cast<SInt32>(defaults->integerForKey(key));
  return value == 0 ? valueForZero : value;
}

// A field's number truncated toward zero; a value beyond 32 bits (a typed 1e20) is held at the
// limit instead of being converted out of range, and NaN is kept as 0.
SInt32 truncatedToSInt32(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<SInt32>(value);
}

}  // namespace

void ConverterController::applicationWillFinishLaunching(NSNotification* notification) {
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();

  m_nDefaultDataRate = integerPreference(defaults, "DataRate", 64);
  m_nDefaultFrameRate = integerPreference(defaults, "FrameRate", 12);
  m_nDefaultSizeX = integerPreference(defaults, "SizeX", 120);
  m_nDefaultSizeY = integerPreference(defaults, "SizeY", 90);
  // The custom size (tag 0) is a choice of its own, kept with its width and height; a missing
  // key, or a 0 stored without a size, is the half size.
  const bool customSizeStored = defaults->hasObjectForKey("SizeIndex") && defaults->hasObjectForKey("SizeX") &&
                                defaults->hasObjectForKey("SizeY");
  m_nDefaultSizeIndex = customSizeStored ? static_cast<SInt32>(defaults->integerForKey("SizeIndex"))
                                         : integerPreference(defaults, "SizeIndex", 2);
  m_nDefault3GPP = static_cast<SInt32>(defaults->integerForKey("3GPP"));
  // Older preference files have no limit, as a missing key reads 0.
  m_nDefaultFitSize = static_cast<SInt32>(defaults->integerForKey("FitSize"));
  // Likewise no choice of profile: High, which phones of the last decade play.
  m_nDefaultBaseline = defaults->integerForKey("Baseline") != 0 ? 1 : 0;
  for (const OutputFormat& format : kOutputFormats) {
    m_formatDataRates[size_t(&format - kOutputFormats)] = static_cast<SInt32>(defaults->integerForKey(format.dataRateKey));
  }
  m_movieFolder = defaults->stringForKey("MovieFolder");

  widthMov->setDoubleValue(m_nDefaultSizeX);
  heightMov->setDoubleValue(m_nDefaultSizeY);
  frameRate->setIntValue(m_nDefaultFrameRate);
  dataRate->setIntValue(m_nDefaultDataRate);
  sliderFrame->setIntValue(m_nDefaultFrameRate);
  sliderData->setIntValue(m_nDefaultDataRate);

  // A tag that no item carries leaves the menu without a selection, which reads as tag 0.
  popupCODEC->selectItemAtIndex(popupCODEC->indexOfItemWithTag(m_nDefault3GPP));
  popupExportSize->selectItemAtIndex(popupExportSize->indexOfItemWithTag(m_nDefaultSizeIndex));
  // A remembered custom size can be edited at once; every other item computes or fixes the size.
  widthMov->setEnabled(m_nDefaultSizeIndex == 0);
  heightMov->setEnabled(m_nDefaultSizeIndex == 0);
  showComputedSize(m_nDefaultSizeIndex);
  showFitKilobytes(m_nDefaultFitSize);
  if (checkOlderPhones) checkOlderPhones->setState(m_nDefaultBaseline ? NSOnState : NSOffState);

  EnterMovies();

  gProgress = progress;
  gProgress->setIndeterminate(NO);
  gTextPercent = textPercent;
  gTextPercentUnit = textPercentUnit;
  gButton = button;

  changeCODEC(nullptr);
  textStatus->setStringValue(NSBundle::mainBundle()->localizedStringForKey("DropHint", nullptr, nullptr));
  pool->release();
}

BOOL ConverterController::applicationOpenFile(NSApplication* application, const NSString& filename) {
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  button->setEnabled(NO);
  textPercentUnit->setStringValue("%");
  if (gQtExport) doConvert(NSString(filename));
  pool->release();
  return YES;
}

void ConverterController::applicationWillTerminate(NSNotification* notification) {
  DisposeMovieProgressUPP(gMovieProgressProcUPP);
  if (gQtExport) CloseComponent(gQtExport);
  // Forget what is gone: when the exit handler returns (tests, the terminal front end) an export
  // may still be unwinding, and nothing may close the instance a second time.
  gMovieProgressProcUPP = nullptr;
  gQtExport = nullptr;
  ExitMovies();

  NSUserDefaults* defaults = NSUserDefaults::standardUserDefaults();
  // Truncated toward zero: a width of 88.9 is kept as 88. A size still to be computed keeps the last.
  if (const SInt32 width = truncatedToSInt32(widthMov->doubleValue())) m_nDefaultSizeX = width;
  if (const SInt32 height = truncatedToSInt32(heightMov->doubleValue())) m_nDefaultSizeY = height;
  m_nDefaultFrameRate = frameRate->intValue();
  m_nDefaultDataRate = dataRate->intValue();
  if (popupFitSize) m_nDefaultFitSize = fitKilobytes();
  if (checkOlderPhones) m_nDefaultBaseline = checkOlderPhones->state() == NSOnState ? 1 : 0;

  defaults->setInteger(m_nDefaultDataRate, "DataRate");
  defaults->setInteger(m_nDefaultFrameRate, "FrameRate");
  defaults->setInteger(m_nDefaultSizeX, "SizeX");
  defaults->setInteger(m_nDefaultSizeY, "SizeY");
  defaults->setInteger(m_nDefaultSizeIndex, "SizeIndex");
  defaults->setInteger(m_nDefault3GPP, "3GPP");
  defaults->setInteger(m_nDefaultFitSize, "FitSize");
  defaults->setInteger(m_nDefaultBaseline, "Baseline");
  m_formatDataRates[size_t(&OutputFormatOfTag(m_nDefault3GPP) - kOutputFormats)] = m_nDefaultDataRate;
  for (const OutputFormat& format : kOutputFormats) {
    const SInt32 rate = m_formatDataRates[size_t(&format - kOutputFormats)];
    if (rate > 0) defaults->setInteger(rate, format.dataRateKey);
  }
  if (!m_movieFolder.str().empty()) defaults->setString(m_movieFolder, "MovieFolder");
  defaults->synchronize();
}

// What the chosen options cost before anything is converted: a minute of movie beside the data
// rate, and in the open panel the selected movie's whole conversion.
#include <cstdint>

#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"
#include "platform/desktop/SizeEstimateText.h"
#include "platform/movies/FixMath.h"

namespace {

constexpr double kSecondsAMinute = 60;

bool takesSizeFromFields(SInt32 sizeTag) { return sizeTag == 0 || (sizeTag >= 11 && sizeTag <= 13); }

}  // namespace

NSSize ConverterController::exportSizeFor(NSSize natural) {
  const SInt32 sizeTag = tagOfSelectedItem(popupExportSize);
  if (takesSizeFromFields(sizeTag)) return {widthMov->doubleValue(), heightMov->doubleValue()};
  return {natural.width / sizeTag, natural.height / sizeTag};
}

void ConverterController::applyOptions(double width, double height, SInt32 kilobytesPerSecond,
                                       double framesPerSecond) {
  QTDX_SetExportedMovieDimensions(gQtExport, X2Fix(height), X2Fix(width));
  QTDX_SetExportedMovieDataRateSetting(gQtExport, kilobytesPerSecond);
  QTDX_SetExportedMovieSizeLimit(gQtExport, fitKilobytes());
  const bool olderPhones = checkOlderPhones && checkOlderPhones->state() == NSOnState;
  QTDX_SetExportedMovieH264Profile(gQtExport, olderPhones ? kH264ProfileBaseline : kH264ProfileHigh);
  QTDX_SetExportedMovieTemporalSetting(gQtExport, framesPerSecond);
}

void ConverterController::optionsChanged(id sender) {
  if (!textEstimate || !gQtExport || gConvertMode != kConvertIdle) return;
  applyOptions(widthMov->typedDoubleValue(), heightMov->typedDoubleValue(), SInt32(dataRate->typedDoubleValue()), frameRate->typedDoubleValue());
  double bytes = 0;
  const bool estimated = MovieExportEstimateBytes(gQtExport, nullptr, kSecondsAMinute, &bytes) == noErr;
  textEstimate->setStringValue(estimated ? framework::PerMinuteEstimateText(bytes) : "");
}

NSString ConverterController::describeMovie(Movie movie) {
  Rect bounds = {};
  GetMovieNaturalBoundsRect(movie, &bounds);
  const NSSize natural{double(bounds.right - bounds.left), double(bounds.bottom - bounds.top)};
  const TimeValue duration = GetMovieDuration(movie);
  const double seconds = duration == INT32_MAX ? -1 : double(duration) / GetMovieTimeScale(movie);
  const NSSize size = exportSizeFor(natural);
  applyOptions(size.width, size.height, SInt32(dataRate->typedDoubleValue()), frameRate->typedDoubleValue());
  double bytes = 0;
  if (MovieExportEstimateBytes(gQtExport, movie, seconds, &bytes) != noErr) return "";
  return framework::MovieEstimateText(seconds, int(natural.width), int(natural.height), bytes);
}

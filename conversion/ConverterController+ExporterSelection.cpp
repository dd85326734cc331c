// Choosing the output format: a fresh export component of the format's subtype, with the progress
// callback attached and, for the formats that have them (3GPP2 and AMC), the format's own settings
// file and data-rate limit.
#include <algorithm>

#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"

void ConverterController::changeCODEC(id sender) {
  if (gQtExport) CloseComponent(gQtExport);
  gQtExport = nullptr;

  const SInt32 previousTag = m_nDefault3GPP;
  m_nDefault3GPP = tagOfSelectedItem(popupCODEC);
  const OutputFormat& format = OutputFormatOfTag(m_nDefault3GPP);
  gQtExport = OpenDefaultComponent(MovieExportType, format.exporter);

  DisposeMovieProgressUPP(gMovieProgressProcUPP);
  gMovieProgressProcUPP = NewMovieProgressUPP(MovieProgressProc);
  MovieExportSetProgressProc(gQtExport, gMovieProgressProcUPP, 0);

  // "Settings…" only where there is a file to keep what it sets.
  if (settingsButton) settingsButton->setEnabled(format.settingsFile != nullptr);
  // The 3GPP family is for older phones anyway; its MPEG-4 pictures or Baseline H.264 always.
  if (checkOlderPhones) checkOlderPhones->setEnabled(format.container == OutputContainer::mp4);
  if (format.settingsFile) {
    readSettingAtomFile(format.settingsFile);
    // The output's extension names the format anyway; saying so lets the settings dialog name it,
    // and a file format stored by an earlier version can no longer write another container.
    QTDX_SetExportedMovieFileFormat(gQtExport, format.fileFormat);
  }
  // Each format keeps the rate last used with it; one never chosen starts from the rate shown.
  // A cap lowers it only now, at the choice; a conversion applies whatever the field then shows.
  m_formatDataRates[size_t(&OutputFormatOfTag(previousTag) - kOutputFormats)] = dataRate->intValue();
  const SInt32 kept = m_formatDataRates[size_t(&format - kOutputFormats)];
  SInt32 rate = kept > 0 ? kept : dataRate->intValue();
  if (format.mostKilobytesPerSecond > 0) {
    rate = std::min<SInt32>(rate, format.mostKilobytesPerSecond);
    m_nDefaultDataRate = rate;
  }
  if (rate != dataRate->intValue()) {
    dataRate->setIntValue(rate);
    sliderData->setIntValue(rate);
  }
}

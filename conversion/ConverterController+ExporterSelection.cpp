// Choosing the output format: a fresh export component of the format's subtype, with the progress
// callback attached and, for the formats that have them (3GPP2 and AMC), the format's own settings
// file and data-rate limit.
#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"

void ConverterController::changeCODEC(id sender) {
  if (gQtExport) CloseComponent(gQtExport);
  gQtExport = nullptr;

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
  if (format.mostKilobytesPerSecond > 0) {
    // Lowered only now, at the choice; a conversion applies whatever the field then shows.
    m_nDefaultDataRate = dataRate->intValue();
    const SInt32 limit = format.mostKilobytesPerSecond;
    if (m_nDefaultDataRate > limit) {
      m_nDefaultDataRate = limit;
      dataRate->setIntValue(limit);
      sliderData->setIntValue(limit);
    }
  }
}

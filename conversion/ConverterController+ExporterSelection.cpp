// Choosing the output format: a fresh export component of the format's subtype, with the progress
// callback attached and, for 3GPP2 and AMC, the format's own settings file and data-rate limit.
#include "app/ConverterController.h"
#include "export_settings/ExporterSettingsAtoms.h"

void ConverterController::changeCODEC(id sender) {
  if (gQtExport) CloseComponent(gQtExport);
  gQtExport = nullptr;

  m_nDefault3GPP = tagOfSelectedItem(popupCODEC);
  gQtExport = OpenDefaultComponent(MovieExportType, m_nDefault3GPP <= 0 ? kQTFileTypeMP4 : kQTFileType3GPP);

  DisposeMovieProgressUPP(gMovieProgressProcUPP);
  gMovieProgressProcUPP = NewMovieProgressUPP(MovieProgressProc);
  MovieExportSetProgressProc(gQtExport, gMovieProgressProcUPP, 0);

  const char* settingsFile = SettingsFileOfFormat(m_nDefault3GPP);
  // "Settings…" only where there is a file to keep what it sets.
  if (settingsButton) settingsButton->setEnabled(settingsFile != nullptr);
  if (settingsFile) {
    readSettingAtomFile(settingsFile);
    // The output's extension names the format anyway; saying so lets the settings dialog name it,
    // and a file format stored by an earlier version can no longer write another container.
    QTDX_SetExportedMovieFileFormat(gQtExport, m_nDefault3GPP == 2 ? FOUR_CHAR_CODE("3g2 ") : FOUR_CHAR_CODE("amc "));
    // Lowered only now, at the choice; a conversion applies whatever the field then shows.
    m_nDefaultDataRate = dataRate->intValue();
    const SInt32 limit = m_nDefault3GPP == 2 ? 8 : 4;  // kilobytes per second: 3GPP2, AMC
    if (m_nDefaultDataRate > limit) {
      m_nDefaultDataRate = limit;
      dataRate->setIntValue(limit);
      sliderData->setIntValue(limit);
    }
  }
}

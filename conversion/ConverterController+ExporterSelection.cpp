// Choosing the output format: a fresh export component of the format's subtype, with the progress
// callback attached and, for 3GPP2 and AMC, the format's own settings file and data-rate limit.
#include "app/ConverterController.h"

namespace {

struct FormatWithSettingsFile {
  SInt32 index;
  const char* settingsFile;
  SInt32 dataRateLimit;  // kilobytes per second
};
constexpr FormatWithSettingsFile kFormatsWithSettingsFile[] = {{2, kSettingFile3GPP2, 8}, {3, kSettingFileAmc, 4}};

}  // namespace

void ConverterController::changeCODEC(id sender) {
  if (gQtExport) CloseComponent(gQtExport);
  gQtExport = nullptr;

  m_nDefault3GPP = tagOfSelectedItem(popupCODEC);
  gQtExport = OpenDefaultComponent(MovieExportType, m_nDefault3GPP <= 0 ? kQTFileTypeMP4 : kQTFileType3GPP);

  DisposeMovieProgressUPP(gMovieProgressProcUPP);
  gMovieProgressProcUPP = NewMovieProgressUPP(MovieProgressProc);
  MovieExportSetProgressProc(gQtExport, gMovieProgressProcUPP, 0);

  for (const FormatWithSettingsFile& format : kFormatsWithSettingsFile) {
    if (format.index != m_nDefault3GPP) continue;
    readSettingAtomFile(format.settingsFile);
    // Lowered only now, at the choice; a conversion applies whatever the field then shows.
    m_nDefaultDataRate = dataRate->intValue();
    if (m_nDefaultDataRate > format.dataRateLimit) {
      m_nDefaultDataRate = format.dataRateLimit;
      dataRate->setIntValue(format.dataRateLimit);
      sliderData->setIntValue(format.dataRateLimit);
    }
    return;
  }
}

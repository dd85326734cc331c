// The exporter settings that some formats (3GPP2 and AMC) each keep in a file of their own in the
// bundle's folder, edited through the export component's own settings dialog.
#include "app/ConverterController.h"
#include "export_settings/SettingsFileStorage.h"

OSErr ConverterController::makeSettingAtomFileSpec(const char* fileName, FSSpec* outSpec, UInt8 create) {
  const NSString bundleFolder = NSBundle::mainBundle()->bundlePath();
  // Without a folder there is no file to name; both callers then do nothing.
  if (bundleFolder.str().empty()) return fnfErr;
  const NSString path = bundleFolder.stringByAppendingString(NSString::stringWithCString("/"))
                            .stringByAppendingString(NSString::stringWithCString(fileName));
  // An existing file keeps its settings, so a cancelled dialog loses nothing.
  if (create) NSFileManager::defaultManager()->createFileAtPath(path, nullptr, nullptr);
  return fileSpecForPath(path, outSpec);
}

void ConverterController::readSettingAtomFile(const char* fileName) {
  FSSpec file = {};
  if (makeSettingAtomFileSpec(fileName, &file, 0) == noErr) QTDX_GetExporterSettingsFromFile(gQtExport, &file);
}

void ConverterController::writeSettingAtomFile(const char* fileName) {
  if (NSBundle::mainBundle()->bundlePath().str().empty()) return;  // nowhere to keep them
  Boolean cancelled = false;
  MovieExportDoUserDialog(gQtExport, nullptr, nullptr, 0, 0, &cancelled);
  // The file is made only once there is something to keep: a cancelled dialog leaves none behind.
  FSSpec file = {};
  if (!cancelled && makeSettingAtomFileSpec(fileName, &file, 1) == noErr) {
    QTDX_SaveExporterSettingsInFile(gQtExport, &file);
  }
}

void ConverterController::setting3GPP2(id sender) {
  if (const char* settingsFile = OutputFormatOfTag(tagOfSelectedItem(popupCODEC)).settingsFile) {
    writeSettingAtomFile(settingsFile);
    optionsChanged(sender);  // a new sound codec changes what a minute costs
  }
}

// Any file read as an export component's settings file, then the settings taken back out.
#include <cstdint>

#include "export_settings/SettingsFileStorage.h"
#include "platform/media/BuiltInExporters.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterBuiltInMovieExporters();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FSSpec file = fuzz::WriteScratchFile("settings.atom", data, size);
  for (OSType subType : fuzz::kExporterSubTypes) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
    Require(exporter != nullptr, "the export component opens");
    const std::string before = fuzz::SettingsOf(exporter);
    const OSErr status = QTDX_GetExporterSettingsFromFile(exporter, &file);
    if (size == 0) Require(status == fnfErr, "an empty settings file yields nothing");
    const std::string after = fuzz::SettingsOf(exporter);
    if (status != noErr) Require(after == before, "a refused settings file changes nothing");
    CloseComponent(exporter);
  }
  return 0;
}

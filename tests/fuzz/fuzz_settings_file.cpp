// Any file read as an export component's settings file, then the settings taken back out.
#include "export_settings/SettingsFileStorage.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FSSpec file = fuzz::WriteScratchFile("settings.atom", data, size);
  fuzz::ForEachExporter([&](MovieExportComponent exporter) {
    const OSErr status = QTDX_GetExporterSettingsFromFile(exporter, &file);
    if (size == 0) fuzz::Require(status == fnfErr, "an empty settings file yields nothing");
    return status;
  });
  return 0;
}

// Saves the phone exporter's settings into the file named, through the same calls as the settings
// dialog's save; the sweep of failing file-system calls runs it as a program of its own.
#include <cstdio>

#include "export_settings/SettingsFileStorage.h"
#include "platform/media/exporters/BuiltInExporters.h"
#include "platform/movies/Components.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  RegisterBuiltInMovieExporters();
  MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
  FSSpec spec{};
  OSErr status = exporter ? FSMakeFSSpecFromPath(argv[1], &spec) : OSErr(badComponentInstance);
  if (status == noErr) status = QTDX_SaveExporterSettingsInFile(exporter, &spec);
  if (exporter) CloseComponent(exporter);
  if (status != noErr) std::fprintf(stderr, "save_settings: failed with status %d\n", status);
  return status == noErr ? 0 : 1;
}

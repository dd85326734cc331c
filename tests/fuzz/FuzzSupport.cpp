#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/media/exporters/BuiltInExporters.h"
#include "platform/movies/Movies.h"
#include "tests/support/TempDir.h"

// Every target starts with the movie calls ready and the real export components registered.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterMovies();
  RegisterBuiltInMovieExporters();
  return 0;
}

namespace fuzz {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

void WriteFile(const std::string& path, const void* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  Require(file && std::fwrite(bytes, 1, size, file) == size && std::fclose(file) == 0, "the file is written");
}

FSSpec WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  static const TempDir folder(std::getenv("TMPDIR") || access("/dev/shm", W_OK) != 0 ? nullptr : "/dev/shm");
  WriteFile(folder.file(name), data, size);
  FSSpec spec{};
  Require(FSMakeFSSpecFromPath(folder.file(name).c_str(), &spec) == noErr, "the scratch file has an FSSpec");
  return spec;
}

test_support::AtomImage SettingsOf(MovieExportComponent exporter) {
  QTAtomContainer settings = nullptr;
  Require(MovieExportGetSettingsAsAtomContainer(exporter, &settings) == noErr, "the settings can be had");
  Require(QTValidateAtomContainer(settings) == noErr, "the settings given out are a well-formed container");
  Require(MovieExportSetSettingsFromAtomContainer(exporter, settings) == noErr,
          "the component takes back the settings it gave out");
  test_support::AtomImage image = test_support::ImageOf(settings);
  QTDisposeAtomContainer(settings);
  return image;
}

void ForEachExporter(const std::function<ComponentResult(MovieExportComponent)>& load) {
  for (OSType subType : kExporterSubTypes) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
    Require(exporter != nullptr, "the export component opens");
    const test_support::AtomImage before = SettingsOf(exporter);
    const ComponentResult status = load(exporter);
    const test_support::AtomImage after = SettingsOf(exporter);  // checked whether the load was taken or not
    if (status != noErr) Require(after == before, "a refused load changes nothing");
    CloseComponent(exporter);
  }
}

}  // namespace fuzz

// What the fuzz targets share: their start-up, a scratch file for the input, containers from raw
// bytes, and a check that stops the run on a broken promise. Each target is one source file.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/files/Files.h"
#include "platform/media/exporters/BuiltInExporters.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/Movies.h"
#include "tests/support/AtomImage.h"
#include "tests/support/TempDir.h"

// Every target starts with the movie calls ready and the real export components registered;
// libFuzzer calls it first.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterMovies();
  RegisterBuiltInMovieExporters();
  return 0;
}

namespace fuzz {

// The two real export components' subtypes.
constexpr OSType kExporterSubTypes[] = {kQTFileTypeMP4, kQTFileType3GPP};

// Aborts with the message, so that libFuzzer keeps the input as a crash.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

inline void WriteFile(const std::string& path, const void* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  Require(file && std::fwrite(bytes, 1, size, file) == size && std::fclose(file) == 0, "the file is written");
}

// Writes the input as the whole file `name` in a scratch folder of this process (on tmpfs when
// there is one and $TMPDIR names no other place: the file calls flush, and a disk would make every
// execution wait), removed at exit.
inline FSSpec WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  static const TempDir folder(std::getenv("TMPDIR") || access("/dev/shm", W_OK) != 0 ? nullptr : "/dev/shm");
  WriteFile(folder.file(name), data, size);
  FSSpec spec{};
  Require(FSMakeFSSpecFromPath(folder.file(name).c_str(), &spec) == noErr, "the scratch file has an FSSpec");
  return spec;
}

// The component's current settings as bytes; checks that they form a container the component
// takes back.
inline test_support::AtomImage SettingsOf(MovieExportComponent exporter) {
  QTAtomContainer settings = nullptr;
  Require(MovieExportGetSettingsAsAtomContainer(exporter, &settings) == noErr, "the settings can be had");
  Require(QTValidateAtomContainer(settings) == noErr, "the settings given out are a well-formed container");
  Require(MovieExportSetSettingsFromAtomContainer(exporter, settings) == noErr,
          "the component takes back the settings it gave out");
  test_support::AtomImage image = test_support::ImageOf(settings);
  QTDisposeAtomContainer(settings);
  return image;
}

// Runs `load` on a fresh instance of each real export component; the settings must stay well-formed,
// and a load it refuses must leave them as they were.
inline void ForEachExporter(const std::function<ComponentResult(MovieExportComponent)>& load) {
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

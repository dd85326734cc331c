// What the fuzz targets share: their start-up, a scratch file for the input, containers from raw
// bytes, and a check that stops the run on a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/files/Files.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/MovieExport.h"
#include "tests/support/AtomImage.h"

// Readies the movie calls and registers the real export components; libFuzzer calls it first.
extern "C" int LLVMFuzzerInitialize(int*, char***);

namespace fuzz {

// Aborts with the message, so that libFuzzer keeps the input as a crash.
void Require(bool holds, const char* what);

// Writes the bytes as the whole file.
void WriteFile(const std::string& path, const void* bytes, size_t size);

// Writes the input as the whole file `name` in a scratch folder of this process (on tmpfs when
// there is one and $TMPDIR names no other place: the file calls flush, and a disk would make every
// execution wait), removed at exit.
FSSpec WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

// The component's current settings as bytes; checks that they form a container the component
// takes back.
test_support::AtomImage SettingsOf(MovieExportComponent exporter);

// Runs `load` on a fresh instance of each real export component; the settings must stay well-formed,
// and a load it refuses must leave them as they were.
void ForEachExporter(const std::function<ComponentResult(MovieExportComponent)>& load);

// The two real export components' subtypes.
constexpr OSType kExporterSubTypes[] = {kQTFileTypeMP4, kQTFileType3GPP};

}  // namespace fuzz

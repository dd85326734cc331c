// What the fuzz targets share: a scratch folder for the input file, containers from raw bytes,
// and a check that stops the run on a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/MacTypes.h"
#include "platform/files/Files.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/MovieExport.h"

namespace fuzz {

// Aborts with the message, so that libFuzzer keeps the input as a crash.
void Require(bool holds, const char* what);

// A folder for this process's files, removed at exit. On tmpfs when there is one: the file
// calls flush, and a disk would make every execution wait.
const std::string& ScratchFolder();

// Writes the bytes as the whole file `name` in the scratch folder and names it by an FSSpec.
FSSpec WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

// A new container holding exactly these bytes (possibly none).
QTAtomContainer ContainerOf(const uint8_t* data, size_t size);

// The container's bytes.
std::string BytesOf(QTAtomContainer container);

// The component's current settings as bytes; checks that they form a container the component
// takes back.
std::string SettingsOf(MovieExportComponent exporter);

// The two real export components' subtypes.
constexpr OSType kExporterSubTypes[] = {kQTFileTypeMP4, kQTFileType3GPP};

}  // namespace fuzz

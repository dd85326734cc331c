#include "tests/fuzz/FuzzSupport.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/memory/Memory.h"

namespace fuzz {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

const std::string& ScratchFolder() {
  // Never freed: the exit handler that removes the folder runs after static objects are gone.
  static const std::string& folder = *[] {
    std::string parent = "/tmp";
    if (const char* tmp = getenv("TMPDIR"); tmp && *tmp) {
      parent = tmp;
    } else if (access("/dev/shm", W_OK) == 0) {
      parent = "/dev/shm";
    }
    std::string pattern = parent + "/pocketmovie-fuzz-XXXXXX";
    Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchFolder(), ignored);
    });
    return new std::string(pattern);
  }();
  return folder;
}

FSSpec WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  Require(file != nullptr, "the scratch file can be written");
  if (size > 0) Require(std::fwrite(data, 1, size, file) == size, "the scratch file takes the input");
  Require(std::fclose(file) == 0, "the scratch file closes");
  FSSpec spec{};
  Require(FSMakeFSSpecFromPath(path.c_str(), &spec) == noErr, "the scratch file has an FSSpec");
  return spec;
}

QTAtomContainer ContainerOf(const uint8_t* data, size_t size) {
  Handle block = NewHandle(Size(size));
  Require(block != nullptr, "a block for the input");
  if (size > 0) std::memcpy(*block, data, size);
  return block;
}

std::string BytesOf(QTAtomContainer container) {
  if (container == nullptr || *container == nullptr) return {};
  return std::string(*container, size_t(GetHandleSize(container)));
}

std::string SettingsOf(MovieExportComponent exporter) {
  QTAtomContainer settings = nullptr;
  Require(MovieExportGetSettingsAsAtomContainer(exporter, &settings) == noErr, "the settings can be had");
  Require(QTValidateAtomContainer(settings) == noErr, "the settings given out are a well-formed container");
  Require(MovieExportSetSettingsFromAtomContainer(exporter, settings) == noErr,
          "the component takes back the settings it gave out");
  std::string bytes = BytesOf(settings);
  QTDisposeAtomContainer(settings);
  return bytes;
}

}  // namespace fuzz

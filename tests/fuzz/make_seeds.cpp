// Writes the settings containers that the two real export components give out into the folder
// named on the command line, one file per container; the fuzzers start from these.
#include <cstdio>
#include <string>

#include "tests/fuzz/FuzzSupport.h"

namespace {

// The settings after a rewrite of one atom, so that the seeds hold more than the defaults.
std::string Changed(MovieExportComponent exporter, OSType parentType, OSType type, UInt32 value) {
  QTAtomContainer settings = nullptr;
  fuzz::Require(MovieExportGetSettingsAsAtomContainer(exporter, &settings) == noErr, "settings");
  const QTAtom parent = parentType == 0 ? kParentAtomIsContainer
                                        : QTFindChildByID(settings, kParentAtomIsContainer, parentType, 1, nullptr);
  const QTAtom atom = QTFindChildByID(settings, parent, type, 1, nullptr);
  const UInt8 bigEndian[4] = {UInt8(value >> 24), UInt8(value >> 16), UInt8(value >> 8), UInt8(value)};
  fuzz::Require(atom != 0 && QTSetAtomData(settings, atom, 4, bigEndian) == noErr, "the atom changes");
  std::string bytes = fuzz::BytesOf(settings);
  QTDisposeAtomContainer(settings);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  LLVMFuzzerInitialize(&argc, &argv);
  for (OSType subType : fuzz::kExporterSubTypes) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
    fuzz::Require(exporter != nullptr, "the export component opens");
    const std::string prefix = std::string(argv[1]) + (subType == kQTFileTypeMP4 ? "/mpg4" : "/3gpp");
    fuzz::WriteFile(prefix + "-defaults", fuzz::SettingsOf(exporter));
    fuzz::WriteFile(prefix + "-176x144", Changed(exporter, FOUR_CHAR_CODE("vide"), FOUR_CHAR_CODE("wdth"), 176u << 16));
    fuzz::WriteFile(prefix + "-no-sound",
                    Changed(exporter, FOUR_CHAR_CODE("soun"), FOUR_CHAR_CODE("cdec"), FOUR_CHAR_CODE("none")));
    if (subType == kQTFileType3GPP)
      fuzz::WriteFile(prefix + "-3g2", Changed(exporter, 0, FOUR_CHAR_CODE("ffmt"), FOUR_CHAR_CODE("3g2 ")));
    CloseComponent(exporter);
  }
  return 0;
}

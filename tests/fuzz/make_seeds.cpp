// Writes the settings containers that the two real export components give out into the folder
// named on the command line, one file per component; the fuzzers start from these.
#include "tests/fuzz/FuzzSupport.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  LLVMFuzzerInitialize(&argc, &argv);
  for (OSType subType : fuzz::kExporterSubTypes) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
    fuzz::Require(exporter != nullptr, "the export component opens");
    const test_support::AtomImage settings = fuzz::SettingsOf(exporter);
    fuzz::WriteFile(std::string(argv[1]) + (subType == kQTFileTypeMP4 ? "/mpg4" : "/3gpp"), settings.data(),
                    settings.size());
    CloseComponent(exporter);
  }
  return 0;
}

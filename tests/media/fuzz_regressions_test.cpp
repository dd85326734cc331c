// Inputs on which a fuzz target once found a fault, fed through the same calls. Each folder under
// tests/fuzz/regressions holds one target's inputs, kept as the fuzzer wrote them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/BuiltInExporters.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/MovieExport.h"
#include "tests/support/RecordingExporter.h"
#include "tests/support/TempDir.h"

namespace {

using test_support::AtomImage;
using test_support::ContainerFrom;
using test_support::ImageOf;

std::vector<std::string> InputsOf(const std::string& target) {
  const auto folder = std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz" / "regressions" / target;
  std::vector<std::string> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) inputs.push_back(entry.path().string());
  return inputs;
}

AtomImage SettingsOf(MovieExportComponent exporter) {
  QTAtomContainer settings = nullptr;
  EXPECT_EQ(MovieExportGetSettingsAsAtomContainer(exporter, &settings), noErr);
  AtomImage image = ImageOf(settings);
  QTDisposeAtomContainer(settings);
  return image;
}

}  // namespace

// Taking settings only reads the caller's container: a lock and unlock on the way used to move a
// saturated lock count in the image's header.
TEST(FuzzRegressions, SettingsContainersAreTakenOrRefusedWithoutTouchingTheCallersCopy) {
  RegisterBuiltInMovieExporters();
  const std::vector<std::string> inputs = InputsOf("settings_container");
  ASSERT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    const std::string bytes = ReadWholeFile(input);
    const AtomImage image(bytes.begin(), bytes.end());
    for (OSType subType : {kQTFileTypeMP4, kQTFileType3GPP}) {
      SCOPED_TRACE(input + (subType == kQTFileTypeMP4 ? " into mpg4" : " into 3gpp"));
      MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
      ASSERT_NE(exporter, nullptr);
      const AtomImage before = SettingsOf(exporter);
      QTAtomContainer container = ContainerFrom(image);
      const ComponentResult status = MovieExportSetSettingsFromAtomContainer(exporter, container);
      EXPECT_EQ(ImageOf(container), image);
      if (status != noErr) {
        EXPECT_EQ(SettingsOf(exporter), before);
      }
      QTDisposeAtomContainer(container);
      CloseComponent(exporter);
    }
  }
}

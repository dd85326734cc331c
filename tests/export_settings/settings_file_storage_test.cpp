#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "export_settings/SettingsFileStorage.h"
#include "platform/memory/Memory.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"
#include "tests/support/TempDir.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

const AtomImage kSettings = atom_layout::Container({atom_layout::Atom("wdth", 1, {}, {0, 0xB0, 0, 0})});

FSSpec SpecOf(const std::string& path) {
  FSSpec spec{};
  EXPECT_EQ(FSMakeFSSpecFromPath(path.c_str(), &spec), noErr);
  return spec;
}

}  // namespace

TEST(SettingsFileStorage, SavedFileHoldsExactlyTheContainerAndLoadsBackUnchanged) {
  TempDir dir;
  const AtomImage& settings = kSettings;
  FSSpec spec = SpecOf(dir.write("setting3gpp2.atom", std::string(500, 'z')));  // longer than the settings

  ScopedRecordingExporter saver(settings);
  ASSERT_EQ(QTDX_SaveExporterSettingsInFile(saver.instance(), &spec), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("setting3gpp2.atom")), std::string(settings.begin(), settings.end()));
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, kSettingsFileType);
  EXPECT_EQ(info.fdCreator, kSettingsFileCreator);

  ScopedRecordingExporter loader(AtomImage{});
  ASSERT_EQ(QTDX_GetExporterSettingsFromFile(loader.instance(), &spec), noErr);
  EXPECT_EQ(loader.state().count(kSetSettingsCall), 1u);
  EXPECT_EQ(loader.state().settings, settings);

  // An empty or missing file loads nothing, and reading never creates it.
  for (const char* contents : {"", static_cast<const char*>(nullptr)}) {
    fs::remove(dir.file("settingAmc.atom"));
    if (contents) dir.write("settingAmc.atom", contents);
    FSSpec other = SpecOf(dir.file("settingAmc.atom"));
    EXPECT_EQ(QTDX_GetExporterSettingsFromFile(saver.instance(), &other), fnfErr);
    EXPECT_EQ(fs::exists(dir.file("settingAmc.atom")), contents != nullptr);
  }
  EXPECT_EQ(saver.state().count(kSetSettingsCall), 0u);
  EXPECT_EQ(saver.state().settings, settings);
}

TEST(SettingsFileStorage, NothingToWriteLeavesTheOldFileUntouched) {
  TempDir dir;
  FSSpec spec = SpecOf(dir.write("settings", "old settings"));
  EXPECT_EQ(QTDX_WriteHandleToFile(nullptr, &spec), paramErr);
  Handle empty = NewHandle(0);
  EXPECT_EQ(QTDX_WriteHandleToFile(empty, &spec), paramErr);
  DisposeHandle(empty);

  ScopedRecordingExporter exporter(kSettings);
  exporter.state().getGivesNoContainer = true;
  EXPECT_EQ(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), paramErr);
  exporter.state().failedGetGivesContainer = true;
  exporter.state().failures[kGetSettingsCall] = cannotFindAtomErr;
  EXPECT_EQ(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), cannotFindAtomErr);
  // A 32-bit failure whose low half is zero must still read as a failure.
  exporter.state().failures[kGetSettingsCall] = 0x00010000;
  EXPECT_NE(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("settings")), "old settings");
}

TEST(SettingsFileStorage, ASaveOntoAFullDiskReportsItClosesTheFileAndLeavesNothingThatLoads) {
  SmallTmpfs volume(16);
  if (!volume.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  FSSpec spec = SpecOf(volume.write("settings", std::string(kSettings.begin(), kSettings.end())));
  ScopedRecordingExporter exporter(atom_layout::Container({atom_layout::Atom("big ", 1, {}, AtomImage(64 * 1024))}));
  const AtomImage big = exporter.state().settings;
  EXPECT_EQ(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), dskFulErr);
  // The old settings are gone from their name, as documented; what is left there does not load.
  EXPECT_TRUE(fs::exists(volume.file("settings")));
  EXPECT_NE(QTDX_GetExporterSettingsFromFile(exporter.instance(), &spec), noErr);
  EXPECT_EQ(exporter.state().settings, big);
  // No descriptor of this process is still open on the file.
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    EXPECT_NE(fs::read_symlink(entry.path(), ignored), fs::canonical(volume.file("settings")));
  }
}

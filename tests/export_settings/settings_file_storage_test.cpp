#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "export_settings/SettingsFileStorage.h"
#include "platform/memory/Memory.h"
#include "tests/support/RecordingExporter.h"
#include "tests/support/TempDir.h"

using namespace test_support;
namespace fs = std::filesystem;

namespace {

std::string AsString(const AtomImage& image) { return std::string(image.begin(), image.end()); }

FSSpec SpecOf(const std::string& path) {
  FSSpec spec{};
  EXPECT_EQ(FSMakeFSSpecFromPath(path.c_str(), &spec), noErr);
  return spec;
}

// Whether this process still has a descriptor open on the file.
bool IsOpenHere(const std::string& path) {
  const fs::path target = fs::canonical(path);
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    if (fs::read_symlink(entry.path(), ignored) == target) return true;
  }
  return false;
}

}  // namespace

TEST(SettingsFileStorage, SavedFileHoldsExactlyTheContainerAndLoadsBackUnchanged) {
  TempDir dir;
  const AtomImage settings = VideoSettingsImage();
  ASSERT_LT(settings.size(), 500u);
  FSSpec spec = SpecOf(dir.write("setting3gpp2.atom", std::string(500, 'z')));

  ScopedRecordingExporter saver(settings);
  ASSERT_EQ(QTDX_SaveExporterSettingsInFile(saver.instance(), &spec), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("setting3gpp2.atom")), AsString(settings));
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, kSettingsFileType);
  EXPECT_EQ(info.fdCreator, kSettingsFileCreator);

  ScopedRecordingExporter loader(AtomImage{});
  ASSERT_EQ(QTDX_GetExporterSettingsFromFile(loader.instance(), &spec), noErr);
  EXPECT_EQ(loader.state().settings, settings);
  ASSERT_EQ(loader.state().count(kSetSettingsCall), 1u);
  EXPECT_EQ(loader.state().calls.back().settings, settings);
}

TEST(SettingsFileStorage, AnEmptyOrMissingFileLeavesTheComponentAlone) {
  TempDir dir;
  const AtomImage settings = VideoSettingsImage();
  ScopedRecordingExporter exporter(settings);

  FSSpec missing = SpecOf(dir.file("settingAmc.atom"));
  EXPECT_EQ(QTDX_GetExporterSettingsFromFile(exporter.instance(), &missing), fnfErr);
  EXPECT_FALSE(fs::exists(dir.file("settingAmc.atom")));
  dir.write("settingAmc.atom", "");
  EXPECT_EQ(QTDX_GetExporterSettingsFromFile(exporter.instance(), &missing), fnfErr);

  EXPECT_EQ(exporter.state().count(kSetSettingsCall), 0u);
  EXPECT_EQ(exporter.state().settings, settings);
}

TEST(SettingsFileStorage, NothingToWriteLeavesTheOldFileUntouched) {
  TempDir dir;
  FSSpec spec = SpecOf(dir.write("settings", "old settings"));

  EXPECT_EQ(QTDX_WriteHandleToFile(nullptr, &spec), paramErr);
  Handle empty = NewHandle(0);
  EXPECT_EQ(QTDX_WriteHandleToFile(empty, &spec), paramErr);
  DisposeHandle(empty);

  ScopedRecordingExporter exporter(VideoSettingsImage());
  exporter.state().getGivesNoContainer = true;
  EXPECT_EQ(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), paramErr);
  exporter.state().getGivesNoContainer = false;
  exporter.state().failedGetGivesContainer = true;
  exporter.state().failures[kGetSettingsCall] = cannotFindAtomErr;
  EXPECT_EQ(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), cannotFindAtomErr);
  // A 32-bit failure whose low half is zero must still read as a failure.
  exporter.state().failures[kGetSettingsCall] = 0x00010000;
  EXPECT_NE(QTDX_SaveExporterSettingsInFile(exporter.instance(), &spec), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("settings")), "old settings");
}

TEST(SettingsFileStorage, AWriteThatFailsAfterOpeningClosesTheFile) {
  SmallTmpfs volume(16);
  if (!volume.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  FSSpec spec = SpecOf(volume.file("settings"));
  Handle block = NewHandleClear(64 * 1024);
  ASSERT_NE(block, nullptr);

  EXPECT_EQ(QTDX_WriteHandleToFile(block, &spec), dskFulErr);
  EXPECT_TRUE(fs::exists(volume.file("settings")));
  EXPECT_FALSE(IsOpenHere(volume.file("settings")));
  EXPECT_FALSE(HIsLocked(block));
  DisposeHandle(block);
}

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

FSSpec SpecOf(const std::string& path) {
  FSSpec spec{};
  EXPECT_EQ(FSMakeFSSpecFromPath(path.c_str(), &spec), noErr);
  return spec;
}

}  // namespace

TEST(SettingsFileStorage, SavedFileHoldsExactlyTheContainerAndLoadsBackUnchanged) {
  TempDir dir;
  const AtomImage settings = VideoSettingsImage();
  ASSERT_LT(settings.size(), 500u);
  FSSpec spec = SpecOf(dir.write("setting3gpp2.atom", std::string(500, 'z')));

  ScopedRecordingExporter saver(settings);
  ASSERT_EQ(QTDX_SaveExporterSettingsInFile(saver.instance(), &spec), noErr);
  EXPECT_EQ(ReadWholeFile(dir.file("setting3gpp2.atom")), std::string(settings.begin(), settings.end()));
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, kSettingsFileType);
  EXPECT_EQ(info.fdCreator, kSettingsFileCreator);

  ScopedRecordingExporter loader(AtomImage{});
  ASSERT_EQ(QTDX_GetExporterSettingsFromFile(loader.instance(), &spec), noErr);
  ASSERT_EQ(loader.state().count(kSetSettingsCall), 1u);
  EXPECT_EQ(loader.state().calls.back().settings, settings);

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

  ScopedRecordingExporter exporter(VideoSettingsImage());
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

TEST(SettingsFileStorage, AWriteThatFailsAfterOpeningClosesTheFile) {
  SmallTmpfs volume(16);
  if (!volume.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  FSSpec spec = SpecOf(volume.file("settings"));
  Handle block = NewHandleClear(64 * 1024);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(QTDX_WriteHandleToFile(block, &spec), dskFulErr);
  EXPECT_TRUE(fs::exists(volume.file("settings")));
  EXPECT_FALSE(HIsLocked(block));
  DisposeHandle(block);
  // No descriptor of this process is still open on the file.
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    EXPECT_NE(fs::read_symlink(entry.path(), ignored), fs::canonical(volume.file("settings")));
  }
}

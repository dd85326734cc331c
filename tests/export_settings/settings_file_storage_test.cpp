#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>

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

void ExpectSettingsFileType(const FSSpec& spec) {
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, kSettingsFileType);
  EXPECT_EQ(info.fdCreator, kSettingsFileCreator);
}

// The syncs and renames this program makes, in order, while `traced` is set: "sync PATH",
// "rename FROM TO". Defined here, these take the C library's place for the code linked into the
// test, and pass each call on to it.
std::vector<std::string>* traced = nullptr;

int TracedSync(int fd, const char* name) {
  std::error_code ignored;
  if (traced) traced->push_back("sync " + fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ignored).string());
  return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, name))(fd);
}

}  // namespace

extern "C" int fsync(int fd) { return TracedSync(fd, "fsync"); }
extern "C" int fdatasync(int fd) { return TracedSync(fd, "fdatasync"); }
extern "C" int rename(const char* from, const char* to) noexcept {
  if (traced) traced->push_back(std::string("rename ") + from + " " + to);
  return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}

TEST(SettingsFileStorage, SavedFileHoldsExactlyTheContainerAndReachesTheDiskBeforeItsName) {
  TempDir dir;
  const AtomImage& settings = kSettings;
  const FSSpec spec = SpecOf(dir.write("setting3gpp2.atom", std::string(500, 'z')));  // longer than the settings

  ScopedRecordingExporter saver(settings);
  std::vector<std::string> calls;
  traced = &calls;
  ASSERT_EQ(QTDX_SaveExporterSettingsInFile(saver.instance(), &spec), noErr);
  traced = nullptr;
  // The new file reaches the disk before it takes the old one's place: a crash leaves one or the other.
  const auto renamed = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
    return call.starts_with("rename ") && call.ends_with("/setting3gpp2.atom");
  });
  ASSERT_NE(renamed, calls.end()) << testing::PrintToString(calls);
  const std::string written = renamed->substr(7, renamed->find(' ', 7) - 7);
  EXPECT_TRUE(std::find(calls.begin(), renamed, "sync " + written) != renamed) << testing::PrintToString(calls);
  EXPECT_EQ(ReadWholeFile(dir.file("setting3gpp2.atom")), std::string(settings.begin(), settings.end()));
  ExpectSettingsFileType(spec);
  // Loaded back, the settings are seen in the real window's next launch and every run's settings.
}

TEST(SettingsFileStorage, ASaveThatFailsAnywhereLeavesTheOldFileAsItWasAndNothingBeside) {
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

  // The file system fails the save at each of its steps.
  ScopedRecordingExporter saver(kSettings);
  ScopedRecordingExporter bigger(atom_layout::Container({atom_layout::Atom("big ", 1, {}, AtomImage(64 * 1024))}));
  // `files`: room for this many entries, all taken after the first save; 0: any number.
  for (const auto& [name, files, readOnly, status] : {std::tuple{"the disk fills while writing", 0L, false, dskFulErr},
                                                      {"no room for one more file", 8L, false, dskFulErr},
                                                      {"the volume turned read-only", 0L, true, wPrErr}}) {
    SCOPED_TRACE(name);
    SmallTmpfs volume(16, files);
    if (!volume.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    spec = SpecOf(volume.file("settings"));
    ASSERT_EQ(QTDX_SaveExporterSettingsInFile(saver.instance(), &spec), noErr);
    int fillers = 0;  // extended attributes count against the entries on some kernels
    while (files && std::ofstream(volume.file("filler" + std::to_string(fillers)))) ++fillers;
    ASSERT_TRUE(!files || fillers > 0);
    ASSERT_TRUE(!readOnly || volume.makeReadOnly());
    EXPECT_EQ(QTDX_SaveExporterSettingsInFile(bigger.instance(), &spec), status);
    EXPECT_EQ(ReadWholeFile(volume.file("settings")), std::string(kSettings.begin(), kSettings.end()));
    ExpectSettingsFileType(spec);
    // Nothing written beside is left, and no descriptor of this process is still open there.
    EXPECT_TRUE(EntryNames(volume.path(), ".").empty());
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ignored;
      EXPECT_NE(fs::read_symlink(entry.path(), ignored).parent_path(), fs::path(volume.path()));
    }
  }
}

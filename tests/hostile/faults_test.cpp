// A full disk, a killed process, a source that changes underfoot and a folder that turns read-only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "export_settings/SettingsFileStorage.h"
#include "platform/files/Files.h"
#include "platform/media/BuiltInExporters.h"
#include "platform/memory/Memory.h"
#include "platform/movies/Components.h"
#include "tests/hostile/CleanOutcome.h"
#include "tests/hostile/ProgramRun.h"
#include "tests/support/SampleMovies.h"

namespace fs = std::filesystem;

namespace {

FSSpec SpecOf(const std::string& path) {
  FSSpec spec{};
  EXPECT_EQ(FSMakeFSSpecFromPath(path.c_str(), &spec), noErr);
  return spec;
}

// Saves the phone exporter's settings through the settings-file code.
OSErr SaveExporterSettings(const std::string& path) {
  RegisterBuiltInMovieExporters();
  MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
  if (!exporter) return OSErr(badComponentInstance);
  FSSpec spec = SpecOf(path);
  OSErr status = QTDX_SaveExporterSettingsInFile(exporter, &spec);
  CloseComponent(exporter);
  return status;
}

// Whether this process still has a descriptor open on the file.
bool IsOpenHere(const std::string& path) {
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    if (fs::read_symlink(entry.path(), ignored) == path) return true;
  }
  return false;
}

std::map<std::string, std::string> PreferencesIn(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

// After a run, whatever its end: the output is missing, empty, or a movie that plays.
void ExpectNothingOrAMovie(const std::string& output) {
  if (!fs::exists(output) || fs::file_size(output) == 0) return;
  EXPECT_TRUE(PlaysAsMovie(output)) << output << " claims to be a movie and is not";
}

void RemoveHiddenEntries(const std::string& folder) {
  for (const std::string& name : HiddenEntries(folder)) fs::remove(folder + "/" + name);
}

WhileRunning AtProgress(int percent, std::function<void(pid_t)> action) {
  return [percent, action](pid_t child, double, const std::string& errors) {
    const size_t sign = errors.rfind("%\n");
    if (sign == std::string::npos) return false;
    const size_t start = errors.rfind('\n', sign - 1);
    if (std::stoi(errors.substr(start == std::string::npos ? 0 : start + 1)) < percent) return false;
    action(child);
    return true;
  };
}

}  // namespace

TEST(Faults, AFullDiskEndsTheExportWithItsOwnLineAndNoMovie) {
  ProgramSandbox sandbox;
  const std::string movie = CopySampleMovie(sandbox.folder().path(), "clip.mov");
  ASSERT_EQ(sandbox.run({movie}).status, 0);
  const long outputKilobytes = long(fs::file_size(movie + ".mp4") / 1024);
  const long sourceKilobytes = long(fs::file_size(movie) / 1024) + 4;

  // Room for a little of the output, and for all of it but its last pages.
  for (long room : {16L, outputKilobytes - 8, outputKilobytes - 4}) {
    SCOPED_TRACE(std::to_string(room) + " KB free");
    SmallTmpfs volume(sourceKilobytes + room);
    if (!volume.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    const std::string source = CopySampleMovie(volume.path(), "clip.mov");
    const ProgramRun run = sandbox.run({source});
    ExpectCleanOutcome(run, source + ".mp4");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("disk is full"), std::string::npos) << run.errors;
  }
}

TEST(Faults, ASettingsSaveOntoAFullDiskReportsItAndLeavesNothingOpen) {
  SmallTmpfs volume(16);
  if (!volume.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const std::string settings = volume.file("setting3gpp2.atom");
  ASSERT_EQ(SaveExporterSettings(settings), noErr);
  const std::string saved = ReadWholeFile(settings);
  ASSERT_FALSE(saved.empty());
  // A second name keeps the old file's pages, so removing it frees nothing; then fill the rest.
  fs::create_hard_link(settings, volume.file("kept.atom"));
  {
    std::ofstream filler(volume.file("filler"), std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
  }

  EXPECT_EQ(SaveExporterSettings(settings), dskFulErr);
  EXPECT_FALSE(IsOpenHere(settings));
  // The old settings are gone from their name, as documented; what is left there does not load.
  EXPECT_NE(ReadWholeFile(settings), saved);
  EXPECT_EQ(ReadWholeFile(volume.file("kept.atom")), saved);
  RegisterBuiltInMovieExporters();
  MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
  ASSERT_NE(exporter, nullptr);
  FSSpec spec = SpecOf(settings);
  EXPECT_NE(QTDX_GetExporterSettingsFromFile(exporter, &spec), noErr);
  CloseComponent(exporter);
}

TEST(Faults, KilledAtAnyMomentLeavesPreferencesSettingsAndOutputSound) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  const std::string movie = ShortSampleMovie(folder, "clip.mov", 1);
  ASSERT_FALSE(movie.empty());
  sandbox.writePreferences({"3GPP=2", "DataRate=40", "FrameRate=10", "SizeIndex=11", "SizeX=176", "SizeY=144"});
  const auto preferences = PreferencesIn(sandbox.configFile());
  const std::string settingsFiles[] = {sandbox.bundleFile("setting3gpp2.atom"), sandbox.bundleFile("settingAmc.atom")};
  for (const std::string& file : settingsFiles) ASSERT_EQ(SaveExporterSettings(file), noErr);
  const std::string settings = ReadWholeFile(settingsFiles[0]);

  const ProgramRun whole = sandbox.run({"--format", "3g2", movie});
  ASSERT_EQ(whole.status, 0) << whole.errors;
  fs::remove(movie + ".3g2");

  // Kills spread over the whole run, from start-up to the preferences written at the end.
  std::mt19937 random(20261206);
  std::uniform_real_distribution<double> moment(0, whole.seconds * 1.2);
  int killedMidway = 0;
  for (int kill = 0; kill < 50; ++kill) {
    const std::string format = kill % 2 ? "amc" : "3g2";
    SCOPED_TRACE("kill " + std::to_string(kill) + ", " + format);
    const double at = moment(random);
    const ProgramRun run = sandbox.run({"--format", format, movie}, [at](pid_t child, double seconds, const auto&) {
      if (seconds < at) return false;
      ::kill(child, SIGKILL);
      return true;
    });
    killedMidway += run.status == -1;
    EXPECT_EQ(PreferencesIn(sandbox.configFile()), preferences);
    for (const std::string& file : settingsFiles) EXPECT_EQ(ReadWholeFile(file), settings) << file;
    ExpectNothingOrAMovie(movie + "." + format);
    fs::remove(movie + "." + format);
    RemoveHiddenEntries(folder);
  }
  EXPECT_GT(killedMidway, 25);
  EXPECT_EQ(sandbox.run({"--format", "amc", movie}).status, 0);
  EXPECT_TRUE(PlaysAsMovie(movie + ".amc"));
}

TEST(Faults, ASourceRemovedOrChangedWhileConvertingEndsCleanly) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  const std::string original = MakeSampleMovie(folder, "long.mp4", SampleMovie().lasting(12));
  ASSERT_FALSE(original.empty());
  const std::string movie = folder + "/clip.mp4";
  const auto size = fs::file_size(original);

  const std::map<std::string, std::function<void()>> changes = {
      {"removed", [&] { fs::remove(movie); }},
      {"replaced by another file", [&] { fs::rename(sandbox.folder().write("text", "not a movie"), movie); }},
      {"cut short in place", [&] { fs::resize_file(movie, size / 3); }},
      {"overwritten in place", [&] {
         std::fstream file(movie, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(std::streamoff(size / 4));
         file << std::string(size / 2, '\x5a');
       }},
  };
  for (const auto& [change, act] : changes) {
    for (int percent : {1, 30}) {
      SCOPED_TRACE(change + " at " + std::to_string(percent) + "%");
      fs::copy_file(original, movie, fs::copy_options::overwrite_existing);
      const ProgramRun run = sandbox.run({movie}, AtProgress(percent, [&](pid_t) { act(); }));
      ExpectCleanOutcome(run, movie + ".mp4");
      if (change == "removed") {
        EXPECT_TRUE(run.status == 0 || run.errors.find("no such file") != std::string::npos) << run.errors;
      }
      fs::remove(movie + ".mp4");
    }
  }
}

TEST(Faults, AFolderTurnedReadOnlyBeforeTheRunGetsNoOutput) {
  SmallTmpfs volume(1024);
  if (!volume.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const std::string movie = CopySampleMovie(volume.path(), "clip.mov");
  ASSERT_EQ(mount("tmpfs", volume.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);

  ProgramSandbox sandbox;
  const ProgramRun run = sandbox.run({movie});
  EXPECT_EQ(run.status, 1);
  ExpectCleanOutcome(run, movie + ".mp4");
  EXPECT_FALSE(fs::exists(movie + ".mp4"));
}

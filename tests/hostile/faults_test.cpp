// A full disk, a killed, interrupted or stopped process, a source that changes underfoot, a folder
// that turns read-only and one shared with a writer on another host. (A settings save onto a full disk is checked with the settings files.)

#include <cstring>
#include <map>
#include <random>

#include "platform/OutputFormats.h"
#include "tests/hostile/ProgramRun.h"

namespace fs = std::filesystem;

namespace {

// The ID of a process that has ended, as a killed writer's is.
pid_t EndedProcess() {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  return ended;
}

// Holds an advisory lock on the file, as a live writer of it does; the open descriptor.
int HoldLock(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  if (fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Acts once the run's progress lines reach the percentage.
WhileRunning AtProgress(int percent, std::function<void(pid_t)> action) {
  return [percent, action](pid_t child, double, const std::string& errors) {
    if (LastPercent(errors) < percent) return false;
    action(child);
    return true;
  };
}

}  // namespace

TEST(Faults, AFullDiskOrAReadOnlyFolderEndsTheExportWithItsOwnLineAndNoMovie) {
  ProgramSandbox sandbox;
  const std::string movie = sandbox.folder().file("clip.mov");
  fs::copy_file(POCKETMOVIE_SAMPLE, movie);
  // A picture too large to keep for a second pass: written as it is encoded, whatever room is left.
  const std::vector<std::string> written = {"--size", "800x600", movie};
  ASSERT_EQ(sandbox.run(written).status, 0);
  // In whole pages, as the file system counts its room, so that no rounding decides a case.
  const long page = sysconf(_SC_PAGESIZE);
  const auto pages = [page](std::uintmax_t bytes) { return long((bytes + page - 1) / page); };
  const long outputPages = pages(fs::file_size(movie + ".mp4"));

  // Room for a little of the output, or for all of it but its last page.
  for (long room : {4L, outputPages - 1}) {
    SCOPED_TRACE(std::to_string(room) + " pages free, " + std::to_string(outputPages) + " needed");
    SmallTmpfs volume((pages(fs::file_size(movie)) + room) * page / 1024);
    if (!volume.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    const std::string source = volume.file("clip.mov");
    fs::copy_file(movie, source);
    const ProgramRun run = sandbox.run({"--size", "800x600", source});
    ExpectCleanOutcome(run, source + ".mp4");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("disk is full"), std::string::npos) << run.errors;
  }

  // A folder turned read-only before the run.
  SmallTmpfs volume(1024);
  const std::string source = volume.file("clip.mov");
  fs::copy_file(movie, source);
  ASSERT_TRUE(volume.makeReadOnly());
  const ProgramRun run = sandbox.run({source});
  EXPECT_EQ(run.status, 1);
  ExpectCleanOutcome(run, source + ".mp4");
  EXPECT_NE(run.errors.find("output folder not writable: " + volume.path() + "\n"), std::string::npos) << run.errors;

  // An earlier output there: the frames a size limit keeps for its second pass find no room beside
  // it, said in the user's language, and the earlier output stays as it was.
  SmallTmpfs earlier(8192);
  const std::string kept = earlier.file("clip.mov");
  fs::copy_file(movie, kept);
  earlier.write("clip.mov.3gp", "older bytes");
  ASSERT_TRUE(earlier.makeReadOnly());
  const ProgramRun german = sandbox.run({"--format", "3gp", "--size", "natural", "--fit", "1M", kept}, nullptr, "de");
  EXPECT_EQ(german.status, 1);
  EXPECT_EQ(ResultLines(german.errors),
            std::vector<std::string>{"pocketmovie: die Bilder können nicht neben der Ausgabe zwischengespeichert "
                                     "werden: der Ordner ist nicht beschreibbar: " + earlier.path()});
  EXPECT_EQ(ReadWholeFile(kept + ".3gp"), "older bytes");
}

TEST(Faults, KilledAtAnyMomentLeavesPreferencesSettingsAndOutputSound) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  const std::string movie = MakeSampleMovie(folder, "clip.mov", SampleMovie().in("mov").lasting(1));
  sandbox.folder().write("config/pocketmovie/pocketmovie.conf",
                         "[General]\n3GPP=2\nDataRate=40\nFrameRate=10\nSizeIndex=11\nSizeX=176\nSizeY=144\n");
  const std::string settingsFiles[] = {sandbox.bundleFile("setting3gpp2.atom"), sandbox.bundleFile("settingAmc.atom")};
  // Saved through the settings-file code, as the settings dialog saves them.
  for (const std::string& file : settingsFiles) {
    ASSERT_EQ(std::system((POCKETMOVIE_SAVE_SETTINGS " '" + file + "'").c_str()), 0);
  }
  EXPECT_TRUE(EntryNames(sandbox.folder().file("bundle"), ".").empty()) << "a saved file's hidden name outlived it";
  const std::string settings = ReadWholeFile(settingsFiles[0]);

  const ProgramRun whole = sandbox.run({"--format", "3g2", movie});
  ASSERT_EQ(whole.status, 0) << whole.errors;
  fs::remove(movie + ".3g2");
  const std::string preferences = ReadWholeFile(sandbox.configFile());  // as the program writes them back
  ASSERT_NE(preferences.find("SizeX=176"), std::string::npos) << preferences;

  // Kills spread over the whole run, from start-up to the preferences written at the end.
  std::mt19937 random(20261206);
  std::uniform_real_distribution<double> moment(0, whole.seconds * 1.2);
  int killedMidway = 0;
  for (int kill = 0; kill < 50; ++kill) {
    const std::string output = movie + (kill % 2 ? ".amc" : ".3g2");
    SCOPED_TRACE("kill " + std::to_string(kill) + ", " + output);
    const double at = moment(random);
    const ProgramRun run = sandbox.run({"--format", output.substr(output.size() - 3), movie},
                                       [at](pid_t child, double seconds, const auto&) {
                                         return seconds >= at && ::kill(child, SIGKILL) == 0;
                                       });
    killedMidway += run.status == -1;
    EXPECT_EQ(ReadWholeFile(sandbox.configFile()), preferences);
    for (const std::string& file : settingsFiles) EXPECT_EQ(ReadWholeFile(file), settings) << file;
    EXPECT_TRUE(!fs::exists(output) || ProbeMovie(output).plays()) << output;
    fs::remove(output);
  }
  // Most kills land while the program runs; a loaded machine shifts the timing, so only a fifth
  // of them is required, enough to show the loop is not killing finished runs only.
  EXPECT_GE(killedMidway, 10);

  // The next run into the folder clears what killed runs left, of every kind (and an earlier
  // version's names), and nothing else: not what a live writer holds locked, whatever process ID
  // its name carries (another host's may be any), nor another program's files.
  const std::string ended = std::to_string(EndedProcess());
  const std::string gone = ".pocketmovie-" + ended;
  fs::create_directories(folder + "/" + gone + "-3.staging");
  std::vector<std::string> abandoned = {gone + "-1.part", gone + "-2", gone + "-2.statistics",
                                        gone + "-2.statistics.mbtree", gone + "-3.staging/clip.mov.3g2"};
  for (const OutputFormat& format : kOutputFormats) {
    abandoned.push_back(".clip.mov" + std::string(format.extension) + "." + ended + "-1.part");
  }
  for (const std::string& name : abandoned) sandbox.folder().write(name, "abandoned");
  const std::string live = gone + "-4";
  sandbox.folder().write(live + ".part", "still being written");
  const int held = HoldLock(sandbox.folder().write(live, ""));
  ASSERT_GE(held, 0) << std::strerror(errno);
  sandbox.folder().write(".notes.part", "someone else's");
  // That run's standard error a pipe its reader soon closes: the lines are lost, not the movie.
  const std::vector<std::string> readerGone = {"bash", "-c", "\"$0\" \"$@\" 2>&1 | head -2 >/dev/null; exit ${PIPESTATUS[0]}"};
  EXPECT_EQ(sandbox.run({"--format", "amc", movie}, nullptr, "en", readerGone).status, 0);
  EXPECT_TRUE(ProbeMovie(movie + ".amc").plays());
  EXPECT_EQ(EntryNames(folder, "."), (std::vector<std::string>{".notes.part", live, live + ".part"}));
  close(held);
}

// Killed while x264 keeps its first-pass statistics beside the output (an ".mp4" fitted to a size):
// the next run into the folder removes them with the rest.
TEST(Faults, AKilledTwoPassRunLeavesNothingOnceTheNextRunIsDone) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  const std::string movie = MakeSampleMovie(folder, "clip.mp4", SampleMovie().lasting(3).busy());
  const std::vector<std::string> fitted = {"--format", "mp4", "--fit", "600K", movie};
  const ProgramRun killed = sandbox.run(fitted, [&](pid_t child, double, const std::string&) {
    for (const std::string& name : EntryNames(folder, ".")) {
      if (name.find("statistics") != std::string::npos) return kill(child, SIGKILL) == 0;
    }
    return false;
  });
  ASSERT_EQ(killed.status, -1) << "the run ended before x264 wrote its statistics\n" << killed.errors;
  EXPECT_FALSE(EntryNames(folder, ".").empty());
  const ProgramRun next = sandbox.run(fitted);
  EXPECT_EQ(next.status, 0) << next.errors;
  EXPECT_LE(fs::file_size(movie + ".mp4"), 600u * 1024);
  EXPECT_TRUE(EntryNames(folder, ".").empty());
}

// Two hosts converting into one shared folder, played by a run in a PID namespace of its own whose
// process ID here is that of an ended process: a run on this side, cleaning the folder as every
// run does, leaves the other's hidden file alone while it is written.
TEST(Faults, ALiveWriterOnAnotherHostKeepsItsHiddenFiles) {
  ProgramSandbox otherHost;
  ProgramSandbox thisHost;
  const std::string folder = otherHost.folder().path();
  const std::string movie = MakeSampleMovie(folder, "long.mp4", SampleMovie().size(640, 480).lasting(40));
  const std::string small = MakeSampleMovie(folder, "small.mov", SampleMovie().in("mov").lasting(1));
  const pid_t ended = EndedProcess();
  // The run is the shell's first child there, given the process ID after the last one used, its
  // workers' launcher the next, the worker that measures the movie (once: the second look finds it
  // measured) the one after, and its conversion's worker, the writer, the one after that.
  const std::vector<std::string> namespaceOfItsOwn = {
      "unshare", "--pid", "--fork", "--kill-child", "--mount-proc", "sh", "-c",
      "echo " + std::to_string(ended - 4) + " > /proc/sys/kernel/ns_last_pid && \"$0\" \"$@\""};
  const std::string othersNames = ".pocketmovie-" + std::to_string(ended) + "-";
  bool overlapped = false;
  // At its natural size the picture is written as it is decoded: its hidden files stay the same
  // for the whole of the run, however long this side's run takes.
  const ProgramRun other = otherHost.run(
      {"--format", "mp4", "--size", "natural", movie},
      [&](pid_t, double, const std::string&) {
        const std::vector<std::string> names = EntryNames(folder, othersNames);
        if (std::none_of(names.begin(), names.end(), [](const std::string& name) { return name.ends_with(".part"); })) {
          return false;
        }
        const ProgramRun here = thisHost.run({"--format", "3gp", small});
        EXPECT_EQ(here.status, 0) << here.errors;
        overlapped = EntryNames(folder, othersNames) == names;
        return true;
      },
      "en", namespaceOfItsOwn);
  if (other.status != 0 && !fs::exists(small + ".3gp")) {
    GTEST_SKIP() << "NOTICE: cannot start a run in a PID namespace of its own here: " << other.errors;
  }
  EXPECT_TRUE(overlapped) << "the other run's hidden files went while it ran";
  EXPECT_EQ(other.status, 0) << other.errors;
  EXPECT_TRUE(ProbeMovie(movie + ".mp4").plays());
  EXPECT_TRUE(EntryNames(folder, ".").empty());
}

TEST(Faults, ASourceChangedOrARunStoppedMidwayEndsCleanly) {
  ProgramSandbox sandbox;
  const std::string folder = sandbox.folder().path();
  const std::string original = MakeSampleMovie(folder, "long.mp4", SampleMovie().lasting(12));
  const std::string movie = folder + "/clip.mp4";
  const auto size = fs::file_size(original);

  const std::map<std::string, std::function<void(pid_t)>> changes = {
      {"removed", [&](pid_t) { fs::remove(movie); }},
      {"replaced by another file", [&](pid_t) { fs::rename(sandbox.folder().write("text", "not a movie"), movie); }},
      {"cut short in place", [&](pid_t) { fs::resize_file(movie, size / 3); }},
      {"overwritten in place", [&](pid_t) {
         std::fstream file(movie, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(std::streamoff(size / 4));
         file << std::string(size / 2, '\x5a');
       }},
      // Nothing about the movie: the conversion starts again in a worker of its own.
      {"its workers' launcher killed", [](pid_t child) {
         const pid_t launcher = LauncherOf(child);
         ASSERT_GT(launcher, 0);
         kill(launcher, SIGKILL);
       }},
  };
  for (const auto& [change, act] : changes) {
    for (int percent : {1, 30}) {
      SCOPED_TRACE(change + " at " + std::to_string(percent) + "%");
      fs::copy_file(original, movie, fs::copy_options::overwrite_existing);
      const ProgramRun run = sandbox.run({movie}, AtProgress(percent, act));
      ExpectCleanOutcome(run, movie + ".mp4");
      if (change == "removed") {
        EXPECT_TRUE(run.status == 0 || run.errors.find("no such file") != std::string::npos) << run.errors;
      }
      if (change.ends_with("launcher killed")) {
        EXPECT_EQ(run.status, 0) << run.errors;
      }
      fs::remove(movie + ".mp4");
    }
  }

  // Ctrl-C, a kill and a closed terminal abort as the button does, and never at the cost of an
  // earlier complete movie (here one at a size this run would not write). The picture is written as
  // it is encoded: one kept for a second pass has nothing written before that pass.
  fs::copy_file(original, movie, fs::copy_options::overwrite_existing);
  const std::string output = movie + ".mp4";
  ASSERT_EQ(sandbox.run({"--size", "quarter", movie}).status, 0);
  const std::string earlier = ReadWholeFile(output);
  for (int stop : {SIGINT, SIGTERM, SIGHUP}) {
    for (bool overEarlier : {true, false}) {
      SCOPED_TRACE(std::string(strsignal(stop)) + (overEarlier ? ", over an earlier movie" : ""));
      fs::remove(output);
      if (overEarlier) sandbox.folder().write(fs::path(output).filename(), earlier);
      const ProgramRun run =
          sandbox.run({"--size", "800x600", movie}, AtProgress(30, [stop](pid_t child) { kill(child, stop); }));
      EXPECT_EQ(run.status, 1);
      const std::vector<std::string> lines = ResultLines(run.errors);
      ASSERT_EQ(lines.size(), 1u) << run.errors;
      EXPECT_EQ(lines[0].rfind("pocketmovie: aborted", 0), 0u) << lines[0];
      // Without an earlier movie the shorter one is kept, as the abort button keeps it.
      if (overEarlier) {
        EXPECT_EQ(ReadWholeFile(output), earlier);
      } else {
        EXPECT_TRUE(ProbeMovie(output).plays());
      }
      EXPECT_TRUE(EntryNames(folder, ".").empty());
    }
  }
  // What the last abort kept is no complete movie: a batch that leaves those alone makes it again.
  const ProgramRun again = sandbox.run({"--skip-existing", movie});
  EXPECT_EQ(ResultLines(again.errors).back(), "pocketmovie: 1 written, 0 failed") << again.errors;
}

// A decoder that a movie has turned (here a library put into the worker's decoding) reaches
// nothing but the source and the output's folder, and when it crashes only its worker goes.
TEST(Faults, AHostileDecoderReachesNothingAndItsCrashEndsOnlyItsWorker) {
  ProgramSandbox sandbox;
  const TempDir& folder = sandbox.folder();
  fs::create_directories(folder.file("movies"));
  fs::create_directories(folder.file("home"));
  folder.write("secret", "beside the movies' folder");
  folder.write("home/secret", "in the home folder");
  const std::string movie = MakeSampleMovie(folder.file("movies"), "clip.mp4", SampleMovie());
  setenv("LD_PRELOAD", POCKETMOVIE_INTRUDER, 1);
  setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
  setenv("HOME", folder.file("home").c_str(), 1);
  setenv("POCKETMOVIE_INTRUDER", ("probe:" + folder.path()).c_str(), 1);
  const ProgramRun probed = sandbox.run({movie});
  EXPECT_EQ(probed.status, 0) << probed.errors;
  // The movie is measured before it is converted, each in a confined worker, never by the program,
  // and only once.
  std::vector<std::string> intruded;
  for (const std::string& line : ResultLines(probed.errors)) {
    if (line.rfind("intruder:", 0) == 0) intruded.push_back(line);
  }
  EXPECT_EQ(intruded.size(), 2u) << probed.errors;
  for (const std::string& line : intruded) EXPECT_EQ(line, "intruder: 5 of 5 refused");
  EXPECT_FALSE(fs::exists(folder.file("written")));

  const std::string earlier = ReadWholeFile(movie + ".mp4");
  setenv("POCKETMOVIE_INTRUDER", "crash", 1);
  // A sanitizer build would turn the crash into an exit with its report; the worker must die by it.
  setenv("ASAN_OPTIONS", "verify_asan_link_order=0:handle_segv=0", 1);
  const ProgramRun crashed = sandbox.run({movie});
  unsetenv("LD_PRELOAD");
  EXPECT_EQ(crashed.status, 1);
  EXPECT_EQ(ResultLines(crashed.errors).back(), "pocketmovie: the movie could not be decoded (the decoder crashed)")
      << crashed.errors;
  EXPECT_EQ(ReadWholeFile(movie + ".mp4"), earlier);
  EXPECT_TRUE(EntryNames(folder.file("movies"), ".").empty());

  // A movie that breaks the reader while it is only being measured, before any conversion.
  const std::string breaking = folder.file("movies/crash.mp4");
  fs::copy_file(movie, breaking);
  setenv("LD_PRELOAD", POCKETMOVIE_INTRUDER, 1);
  setenv("POCKETMOVIE_INTRUDER", "crash-measuring", 1);
  const ProgramRun measured = sandbox.run({breaking});
  unsetenv("LD_PRELOAD");
  EXPECT_EQ(measured.status, 1);
  EXPECT_EQ(ResultLines(measured.errors).back(),
            "pocketmovie: the movie could not be decoded (the decoder crashed): " + breaking)
      << measured.errors;
  EXPECT_FALSE(fs::exists(breaking + ".mp4"));

  // A kernel without Landlock (strace makes it say so): said once under --verbose, and the movie
  // converts all the same. LeakSanitizer cannot work under a tracer.
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  const ProgramRun unconfined =
      sandbox.run({"--verbose", movie}, nullptr, "en",
                  {"strace", "-f", "-qq", "-o", "/dev/null", "-e", "inject=landlock_create_ruleset:error=ENOSYS"});
  if (unconfined.status == 127 || unconfined.errors.starts_with("strace:")) GTEST_SKIP() << unconfined.errors;
  EXPECT_EQ(unconfined.status, 0) << unconfined.errors;
  EXPECT_EQ(ResultLines(unconfined.errors),
            (std::vector<std::string>{
                "pocketmovie: this system leaves the conversion unconfined in: files and network (no Landlock)",
                "pocketmovie: wrote " + movie + ".mp4"}));
}

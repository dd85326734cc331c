// Several movies in one launch from the terminal: every movie gets its line and its output or its
// reason, whatever the others do, and nothing unfinished is ever under an output's name.

#include "tests/hostile/ProgramRun.h"

namespace fs = std::filesystem;

namespace {

bool HasLine(const ProgramRun& run, const std::string& line) {
  const std::vector<std::string> lines = ResultLines(run.errors);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// How many of a batch's runs have their hidden folder in `folder`.
size_t StagingFolders(const std::string& folder) {
  const std::vector<std::string> names = EntryNames(folder, ".");
  return size_t(std::count_if(names.begin(), names.end(),
                              [&](const std::string& name) { return fs::is_directory(folder + "/" + name); }));
}

// How many workers the program's launcher runs: each run's comes from that one launcher.
size_t LaunchedWorkers(pid_t program) {
  const pid_t launcher = LauncherOf(program);
  return launcher ? ChildrenOf(launcher).size() : 0;
}

}  // namespace

TEST(Batch, EveryMovieIsConvertedPastAFailureWithoutOverwritingASameNamedOneAndAgainOnlyWhereNeeded) {
  ProgramSandbox sandbox;
  const TempDir& folder = sandbox.folder();
  fs::create_directories(folder.file("trip/day2"));
  const std::string first = MakeSampleMovie(folder.file("trip"), "clip.mov", SampleMovie().in("mov").lasting(1));
  const std::string second = MakeSampleMovie(folder.file("trip/day2"), "clip.mov", SampleMovie().in("mov").size(160, 120).lasting(1));
  // A camera's name in capitals, though the file holds no movie: found by its extension all the same.
  const std::string broken = folder.write("trip/MVI_0001.MOV", "not a movie at all");
  folder.write("trip/notes.txt", "no movie either");
  const std::string out = folder.file("phone");

  // The folder's own movies, then the second clip.mov, and a name that is not there.
  const ProgramRun run =
      sandbox.run({"--format", "3gp", "--output-dir", out, folder.file("trip"), second, folder.file("gone.mov")});
  EXPECT_EQ(run.status, 1) << run.errors;
  const std::vector<std::string> lines = ResultLines(run.errors);
  ASSERT_EQ(lines.size(), 5u) << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: wrote " + out + "/clip.mov.3gp")) << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: wrote " + out + "/clip.mov (2).3gp (a movie of the same name is already in this batch)"))
      << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: not a movie: " + broken)) << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: no such file: " + folder.file("gone.mov"))) << run.errors;
  EXPECT_EQ(lines.back(), "pocketmovie: 2 written, 2 failed");
  // Which clip.mov got which name follows the order given, however the runs overlapped.
  EXPECT_EQ(ProbeMovie(out + "/clip.mov.3gp").stream("video")->width, 160) << "the first one, 320 x 240 halved";
  EXPECT_EQ(ProbeMovie(out + "/clip.mov (2).3gp").stream("video")->width, 80);
  EXPECT_EQ(EntryNames(out).size(), 2u);
  EXPECT_TRUE(EntryNames(folder.file("trip"), ".").empty());

  // In German, also the line a run sends its batch (the missing one fails before any run starts).
  const ProgramRun german = sandbox.run({"--format", "3gp", "--output-dir", out, broken, folder.file("gone.mov")}, nullptr, "de");
  EXPECT_EQ(ResultLines(german.errors),
            (std::vector<std::string>{"pocketmovie: keine solche Datei: " + folder.file("gone.mov"),
                                      "pocketmovie: kein Film: " + broken,
                                      "pocketmovie: 0 geschrieben, 2 fehlgeschlagen"}))
      << german.errors;

  // A movie that drops frames to hold its rate says so, naming itself among the others' lines.
  const std::string busy = MakeSampleMovie(folder.path(), "busy.mp4", SampleMovie().busy().lasting(2));
  const ProgramRun dropped = sandbox.run({"--format", "3gp", "--rate", "1", "--output-dir", folder.file("slow"), busy});
  const std::vector<std::string> droppedLines = ResultLines(dropped.errors);
  ASSERT_EQ(droppedLines.size(), 3u) << dropped.errors;
  EXPECT_EQ(droppedLines[0].rfind("pocketmovie: " + folder.file("slow/busy.mp4.3gp") + ": video written at ", 0), 0u)
      << dropped.errors;

  // A stopped batch run again: a complete output stays, a damaged or missing one is made again.
  fs::remove(broken);
  fs::resize_file(out + "/clip.mov (2).3gp", fs::file_size(out + "/clip.mov (2).3gp") / 2);
  const auto untouched = fs::last_write_time(out + "/clip.mov.3gp");
  const ProgramRun again = sandbox.run({"--format", "3gp", "--output-dir", out, "--skip-existing", folder.file("trip"), second});
  EXPECT_EQ(again.status, 0) << again.errors;
  EXPECT_TRUE(HasLine(again, "pocketmovie: skipped " + first + ": " + out + "/clip.mov.3gp is already a complete movie"))
      << again.errors;
  EXPECT_TRUE(HasLine(again, "pocketmovie: 1 written, 0 failed, 1 already complete")) << again.errors;
  EXPECT_EQ(fs::last_write_time(out + "/clip.mov.3gp"), untouched);
  EXPECT_TRUE(ProbeMovie(out + "/clip.mov (2).3gp").plays());

  // Beside the sources, over a folder holding the outputs of an earlier run (those are no sources),
  // links back to folders already searched and sound files, one with a newline in its name.
  fs::copy_file(out + "/clip.mov.3gp", first + ".3gp");
  fs::create_directory_symlink(".", folder.file("trip/again"));
  fs::create_directory_symlink("..", folder.file("trip/day2/up"));
  for (const char* sound : {"memo.ogg", "memo.m4a", "memo\n.wav"}) {
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=d=1 '" + folder.file("trip/day2/") + sound + "'"));
  }
  const ProgramRun beside = sandbox.run({"--format", "3gp", "--recursive", "--jobs", "1", folder.file("trip")});
  EXPECT_EQ(beside.status, 0) << beside.errors;
  EXPECT_EQ(ResultLines(beside.errors).back(), "pocketmovie: 5 written, 0 failed") << beside.errors;
  EXPECT_TRUE(HasLine(beside, "pocketmovie: wrote " + folder.file("trip/day2/memo\\n.wav.3gp"))) << beside.errors;
  EXPECT_TRUE(ProbeMovie(second + ".3gp").plays());
  EXPECT_FALSE(fs::exists(first + ".3gp.3gp"));
}

// Ctrl-C aborts the running movies and skips the rest, leaving no output; a batch killed outright
// leaves its hidden folders only until the next batch.
TEST(Batch, CtrlCAbortsTheRunningMoviesAndAKilledBatchLeavesItsHiddenFoldersOnlyUntilTheNext) {
  ProgramSandbox sandbox;
  const std::string movies = sandbox.folder().file("movies");
  fs::create_directories(movies);
  const std::string movie = MakeSampleMovie(movies, "a.mp4", SampleMovie().size(640, 480).lasting(20));
  for (const char* name : {"b.mp4", "c.mp4", "d.mp4"}) fs::copy_file(movie, movies + "/" + name);
  // Acts once both runs are under way: their hidden folders are there, and their workers.
  const auto onceBothRun = [&movies](std::function<bool(pid_t)> act) -> WhileRunning {
    return [&movies, act](pid_t batch, double, const std::string&) {
      return StagingFolders(movies) >= 2 && LaunchedWorkers(batch) == 2 && act(batch);
    };
  };
  const ProgramRun run =
      sandbox.run({"--jobs", "2", movies}, onceBothRun([](pid_t batch) { return kill(batch, SIGINT) == 0; }));
  EXPECT_EQ(run.status, 1) << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: " + movies + "/a.mp4: aborted")) << run.errors;
  EXPECT_TRUE(HasLine(run, "pocketmovie: 0 written, 0 failed, 2 aborted, 2 not started")) << run.errors;
  EXPECT_LT(run.seconds, 30);
  EXPECT_EQ(EntryNames(movies), (std::vector<std::string>{"a.mp4", "b.mp4", "c.mp4", "d.mp4"}));

  const ProgramRun killed = sandbox.run({"--jobs", "2", movies}, onceBothRun([](pid_t batch) {
    for (pid_t child : ChildrenOf(batch)) kill(child, SIGKILL);
    return kill(batch, SIGKILL) == 0;
  }));
  ASSERT_EQ(killed.status, -1) << killed.errors;
  EXPECT_GE(StagingFolders(movies), 1u);
  fs::remove(movies + "/c.mp4");
  fs::remove(movies + "/d.mp4");
  const ProgramRun next = sandbox.run({movies});
  EXPECT_EQ(next.status, 0) << next.errors;
  EXPECT_EQ(EntryNames(movies), (std::vector<std::string>{"a.mp4", "a.mp4.mp4", "b.mp4", "b.mp4.mp4"}));
}

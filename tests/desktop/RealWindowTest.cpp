// The whole application in a real window, used with the mouse as a person would.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <regex>

#include "tests/desktop/DesktopSession.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSourceSeconds = 40;
// Longer than the window is wide, with nowhere to break but its slashes.
constexpr const char* kLongFolder = "Urlaubsfilme-2026-Gardasee-Bootsfahrt-Originalaufnahmen/ungeschnitten";

class RealWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = DesktopSession::Get();
    if (!session_) GTEST_SKIP() << "needs Xvfb and xdotool";
    // Big enough that the export lasts a few seconds at its natural size, so there is time to click.
    source_ = MakeSampleMovie(folder_.path(), "clip.mov",
                              SampleMovie().in("mov").video("mpeg4").size(640, 480).lasting(kSourceSeconds));
  }

  DesktopSession* session_ = nullptr;
  TempDir folder_;
  std::string source_;
};

std::string Geometry(QWidget* widget) {
  const QRect frame = widget->geometry();
  return QString::asprintf("%d,%d %dx%d ", frame.x(), frame.y(), frame.width(), frame.height()).toStdString();
}

// Chooses the file in the open panel as a user would: the panel's name field, then Return; with
// `preview`, once the panel has said what the movie will take.
std::vector<Probe::Step> ChooseInPanel(const std::string& path, bool preview = false) {
  return {[](Probe& p) {
            auto* panel = qobject_cast<QFileDialog*>(p.modal());
            if (!p.exposed(panel)) return false;
            p.note("panelFolder", panel->directory().absolutePath().toStdString());
            p.note("panelName", "[" + qobject_cast<QLineEdit*>(p.control("fileNameEdit"))->text().toStdString() + "]");
            p.note("panelFilters", panel->nameFilters().join('|').toStdString());
            p.click(panel->findChild<QLineEdit*>("fileNameEdit"));  // where the keys go
            return true;
          },
          [path, preview](Probe& p) {
            qobject_cast<QLineEdit*>(p.control("fileNameEdit"))->setText(QString::fromStdString(path));
            const QString line = qobject_cast<QLabel*>(p.control("moviePreview"))->text();
            if (preview && line.isEmpty()) return false;
            p.note("preview", line.toStdString());
            p.key("Return");
            return true;
          }};
}

// Answers the question in front with the button of that text, once it is shown; notes what it asked.
Probe::Step Answer(const std::string& button) {
  return [button](Probe& p) {
    auto* alert = qobject_cast<QMessageBox*>(p.modal());
    if (!p.exposed(alert) || alert->objectName() != "alertPanel") return false;
    QString shown = alert->text() + " | " + alert->informativeText().trimmed();
    p.note("alert", shown.replace('\n', " / ").toStdString());
    p.note("alertTitle", alert->windowTitle().toStdString());
    p.note("behind" + button, p.title("button").toStdString() + (p.control("button")->isEnabled() ? "" : " off"));
    p.note("clippedAlert", p.clipped(alert));
    p.shot("alert-" + button, alert);
    for (QAbstractButton* choice : alert->buttons()) {
      if (choice->text().toStdString() == button) p.click(choice);
    }
    return true;
  };
}

// The convert button opens the file panel, the chosen movie converts with the bar moving, a click
// elsewhere is swallowed, and a click on "Abort" ends the application with a shorter movie; so
// do Space and Return on the focused "Abort", Escape, closing the window and the accessible
// "press" of "Abort" (what a screen reader calls over the accessibility bus).
TEST_F(RealWindowTest, ConvertFromThePanelThenAbort) {
  const std::string earlier = folder_.write("clip.mov.mp4", "an earlier output");
  std::vector<Probe::Step> steps{[](Probe& p) {
    if (!p.exposed(p.window()) || p.title("textEstimate").isEmpty()) return false;
    p.shot("window-before", p.window());
    p.note("clippedBefore", p.clipped(p.window()));
    p.note("estimate", p.title("textEstimate").toStdString());
    qobject_cast<QLineEdit*>(p.control("dataRate"))->setText("8");
    return true;
  }, [](Probe& p) {
    p.note("estimateAt8", p.title("textEstimate").toStdString());
    qobject_cast<QLineEdit*>(p.control("dataRate"))->setText("64");
    p.click(p.control("button"));
    return true;
  }};
  for (Probe::Step& step : ChooseInPanel(source_, true)) steps.push_back(step);
  steps.insert(steps.end(), {
      Answer("Keep Both"),
      [](Probe& p) {
        if (p.title("button") != "Abort" || p.progress() < 20) return false;
        p.shot("window-during", p.window());
        p.note("clippedDuring", p.clipped(p.window()));
        p.note("titleDuring", p.window()->windowTitle().toStdString());
        p.note("timeLeft", p.title("textTimeLeft").toStdString());
        p.click(p.control("popupCODEC"));
        return true;
      },
      [](Probe& p) {
        if (p.progress() < 40) return false;
        p.note("menuOpen", QApplication::activePopupWidget() ? "yes" : "no");
        p.note("abortAt", std::to_string(p.millisecondsSinceStart()));
        p.click(p.control("button"));
        return true;
      },
      [](Probe& p) { return p.endOfRunShown("end-aborted"); }});
  const DesktopSession::Run run =
      session_->launch(folder_.path(), {"--size", "natural", "--fps", "25"}, steps, [](Probe& p) {
        p.note("quitAt", std::to_string(p.millisecondsSinceStart()));
        p.note("formatAtQuit", p.title("popupCODEC").toStdString());
        p.shot("window-after", p.window());
      });

  ASSERT_TRUE(run.exited) << run.all();
  const std::vector<double> shown = run.numbers("progress");
  ASSERT_GE(shown.size(), 4u);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GT(shown[i], shown[i - 1]) << "the bar went back";
  // The click on the format menu neither stopped the export (the bar went on to 40) nor opened
  // the menu, then or later.
  EXPECT_EQ(run.note("menuOpen"), "no");
  EXPECT_EQ(run.note("formatAtQuit"), "MPEG-4 (.mp4)");
  // The export takes the abort within a quarter second; the rest is its worker closing the part
  // kept and the end's word being dismissed, which a loaded machine may stretch but not to seconds.
  EXPECT_LT(run.numbers("quitAt").at(0) - run.numbers("abortAt").at(0), 2500);
  // Idle with the estimate, during with the time left, the replace question and the end: all whole.
  EXPECT_EQ(run.clipped(), "") << run.all();
  // The time left stands beside the percentage, and the percentage in the title.
  EXPECT_TRUE(std::regex_match(run.note("timeLeft"), std::regex("[0-9]+:[0-5][0-9] left"))) << run.note("timeLeft");
  EXPECT_TRUE(std::regex_match(run.note("titleDuring"), std::regex("[2-9][0-9]% – pocketmovie"))) << run.all();
  // What a minute costs (64 KB/s and AAC sound, then 8 KB/s), and the movie's whole size in the panel.
  EXPECT_EQ(run.note("estimate") + " | " + run.note("estimateAt8"), "about 4.5 MB a minute | about 1.2 MB a minute");
  EXPECT_EQ(run.note("preview"), "0:40, 640×480 → about 2.4 MB");

  // The earlier output is asked about and kept; the new one is numbered, and the end says its length.
  EXPECT_EQ(run.note("alert"), "Replace the earlier movie? | clip.mov.mp4 is already in " + folder_.path() +
                                   ". Replace it, or keep both and write the new movie as clip.mov (2).mp4?");
  EXPECT_EQ(ReadWholeFile(earlier), "an earlier output");
  const ProbedMovie written = ProbeMovie(folder_.file("clip.mov (2).mp4"));
  ASSERT_TRUE(written.readable);
  EXPECT_GT(written.seconds, 1);
  EXPECT_LT(written.seconds, kSourceSeconds - 5);
  std::smatch kept;
  const std::string end = run.note("endOfRun");
  ASSERT_TRUE(std::regex_match(end, kept, std::regex(R"(Aborted: clip\.mov \(2\)\.mp4 keeps the first 0:(\d\d) \| 2 buttons)")))
      << end;
  EXPECT_NEAR(std::stoi(kept[1]), written.seconds, 1);

  const std::pair<const char*, std::function<void(Probe&)>> gestures[] = {
      {"space", [](Probe& p) { p.key("space"); }},
      {"Return", [](Probe& p) { p.key("Return"); }},
      {"Escape", [](Probe& p) { p.key("Escape"); }},
      {"close", [](Probe& p) { p.window()->windowHandle()->close(); }},
      {"accessible press", [](Probe& p) {
         QAccessible::queryAccessibleInterface(p.control("button"))->actionInterface()->doAction(
             QAccessibleActionInterface::pressAction());
       }}};
  for (const auto& [name, gesture] : gestures) {
    SCOPED_TRACE(name);
    fs::remove(source_ + ".mp4");
    std::vector<Probe::Step> abortSteps{[&gesture](Probe& p) {
      if (p.title("button") != "Abort" || p.progress() < 20) return false;
      p.window()->activateWindow();
      p.control("button")->setFocus();
      gesture(p);
      return true;
    }};
    const DesktopSession::Run aborted =
        session_->launch(folder_.path(), {"--size", "natural", "--fps", "25", source_}, abortSteps);
    ASSERT_TRUE(aborted.exited) << aborted.all();
    EXPECT_LT(ProbeMovie(source_ + ".mp4").seconds, kSourceSeconds - 5) << aborted.all();
  }
}

// A run refused late in its decode (what the pictures take makes the size limit certain to be
// overrun only then): what the user clicked and typed while it ran is dropped, not handed to the
// window that stays for another try.
TEST_F(RealWindowTest, InputDuringARefusedRunIsDropped) {
  auto ticksAfterFailure = std::make_shared<int>(0);
  std::vector<Probe::Step> steps{
      [](Probe& p) {
        if (p.title("button") != "Abort" || p.progress() < 20) return false;
        p.click(p.control("popupCODEC"));
        p.key("a");  // in the menu, the first format starting with A
        return true;
      },
      [ticksAfterFailure](Probe& p) {  // a moment for anything given back to arrive
        return !p.title("textStatus").isEmpty() && p.control("button")->isEnabled() && ++*ticksAfterFailure > 30;
      },
      [](Probe& p) {
        p.note("menuOpen", QApplication::activePopupWidget() ? "yes" : "no");
        p.note("format", p.title("popupCODEC").toStdString());
        NSApplication::sharedApplication()->terminate(nullptr);
        return true;
      }};
  const DesktopSession::Run run = session_->launch(
      folder_.path(), {"--format", "3gp", "--size", "quarter", "--fps", "25", "--rate", "8", "--fit", "100K", source_},
      steps);
  ASSERT_TRUE(run.exited) << run.all();
  EXPECT_EQ(run.note("menuOpen"), "no");
  EXPECT_EQ(run.note("format"), "3GPP (.3gp)");
}

// A movie that is missing (given at launch), a text file named like a movie, a photo and a movie
// in a folder nobody may write (chosen in the panel): each run says why in the window, leaves no
// empty output and the window ready, and a good movie then converts in the same window.
TEST_F(RealWindowTest, EachFailureIsShownAndTheNextMovieConverts) {
  const std::string videos = folder_.file("Videos");
  fs::create_directories(videos);
  fs::create_directories(folder_.file("config"));
  folder_.write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_VIDEOS_DIR=\"$HOME/Videos\"\n");
  const std::string notes = folder_.write("Videos/notes.mov", "shopping: milk, eggs\n");
  const std::string missing = folder_.file(std::string("Videos/") + kLongFolder + "/gone.mov");
  const std::string photo = folder_.file("photo.jpg");  // the next panel opens beside it
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc2 -frames:v 1 '" + photo + "'"));
  const std::string good = MakeSampleMovie(folder_.path(), "short.mov", SampleMovie().in("mov").lasting(4));
  const std::string alsoGood = MakeSampleMovie(folder_.path(), "also.mov", SampleMovie().in("mov").lasting(2));
  // A movie that crashes the reader measuring it (a decoder gone bad in the workers): only that
  // worker goes down.
  const std::string crashing = folder_.file("crash.mov");
  fs::copy_file(good, crashing);
  std::vector<std::string> panelSources{notes, photo, crashing};
  std::vector<std::string> expected{"no such file: " + missing, "not a movie: " + notes,
                                    "not a movie: a single picture: " + photo,
                                    "the movie could not be decoded (the decoder crashed): " + crashing};
  // The output cannot even be made there: the run gives up before its export.
  SmallTmpfs readOnly(long(fs::file_size(good) / 1024) + 64);
  const bool readOnlyCase = readOnly.mounted() && fs::copy_file(good, readOnly.file("clip.mov")) &&
                            readOnly.makeReadOnly();
  if (readOnlyCase) {
    panelSources.push_back(readOnly.file("clip.mov"));
    // Then it asks for a folder to write into, as a batch does; cancelled, the window says so.
    expected.insert(expected.end(), {"output folder not writable: " + readOnly.path(),
                                     "clip.mov: its folder cannot be written and no other folder was chosen"});
  }
  // Each failure is noted once the window shows a new reason with the button ready again.
  auto lastReason = std::make_shared<QString>();
  auto failureShown = [lastReason](Probe& p) {
    const QString reason = p.title("textStatus");
    if (reason.isEmpty() || reason == *lastReason || !p.control("button")->isEnabled() ||
        !p.laidOut(p.window())) {
      return false;
    }
    const std::string clipped = p.clipped(p.window());
    if (clipped != "none" && !p.triedFor(500)) return false;
    p.note("reason", reason.toStdString());
    p.note("clipped", clipped);
    p.note("ready", p.title("button").toStdString() + " " + std::to_string(p.progress()) + " " +
                        p.title("textPercent").toStdString());
    *lastReason = reason;
    return true;
  };
  std::vector<Probe::Step> steps{failureShown};
  for (const std::string& source : panelSources) {
    steps.push_back([](Probe& p) { p.click(p.control("button")); return true; });
    for (Probe::Step& step : ChooseInPanel(source)) steps.push_back(step);
    steps.push_back(failureShown);
  }
  if (readOnlyCase) {
    steps.push_back([](Probe& p) {
      auto* panel = qobject_cast<QFileDialog*>(p.modal());
      if (!p.exposed(panel) || panel->objectName() != "folderPanel") return false;
      const QString message = panel->findChild<QLabel*>("panelMessage")->text();
      p.note("folderPanel", (panel->windowTitle() + " | " + message).toStdString());
      panel->reject();
      return true;
    });
    steps.push_back(failureShown);
  }
  steps.push_back([](Probe& p) {
    p.shot("window-failure", p.window());
    p.click(p.control("button"));
    return true;
  });
  for (Probe::Step& step : ChooseInPanel("\"" + good + "\" \"" + alsoGood + "\"")) steps.push_back(step);

  setenv("LD_PRELOAD", POCKETMOVIE_INTRUDER, 1);
  setenv("POCKETMOVIE_INTRUDER", "crash-measuring", 1);
  const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
  const std::string keptOptions = sanitizerOptions ? sanitizerOptions : "";
  setenv("ASAN_OPTIONS", (keptOptions + ":verify_asan_link_order=0:handle_segv=0").c_str(), 1);
  const DesktopSession::Run run = session_->launch(folder_.path(), {"--size", "quarter", missing}, steps, [](Probe& p) {
    p.note("statusAtQuit", "[" + p.title("textStatus").toStdString() + "]");
  });
  unsetenv("LD_PRELOAD");
  setenv("ASAN_OPTIONS", keptOptions.c_str(), 1);
  ASSERT_TRUE(run.exited) << run.all();
  EXPECT_EQ(run.status, 0);
  std::vector<std::string> reasons;
  for (auto [it, end] = run.notes.equal_range("reason"); it != end; ++it) reasons.push_back(it->second);
  EXPECT_EQ(reasons, expected) << run.all();
  for (auto [it, end] = run.notes.equal_range("ready"); it != end; ++it) EXPECT_EQ(it->second, "Convert… 0.000000 ");
  EXPECT_EQ(run.clipped(), "") << run.all();
  for (const std::string& source : {missing, notes}) EXPECT_FALSE(fs::exists(source + ".mp4")) << source;
  EXPECT_EQ(run.note("statusAtQuit"), "[]");
  EXPECT_TRUE(ProbeMovie(good + ".mp4").readable && ProbeMovie(alsoGood + ".mp4").readable);

  // The panel opens in the user's videos folder, then where the last movie was chosen, also at the
  // next launch, with an empty name and every movie type offered.
  const std::string folders = "panelFolder " + videos + "\npanelFolder " + videos + "\npanelFolder " + folder_.path();
  EXPECT_NE(run.all().find(folders + "\n"), std::string::npos) << run.all();
  EXPECT_NE(ReadWholeFile(folder_.file("config/pocketmovie/pocketmovie.conf")).find("MovieFolder=" + folder_.path()),
            std::string::npos);
  EXPECT_EQ(run.note("panelName"), "[]");
  const std::string filters = run.note("panelFilters");
  for (std::string type : {"*.mov", "*.avi", "*.mp4", "*.mkv", "*.webm", "*.3gp", "*.3g2", "*.mpg", "*.ts", "*.wmv"}) {
    EXPECT_TRUE(filters.find(type + " ") != std::string::npos || filters.find(type + ")") != std::string::npos)
        << type << " in " << filters;
  }
  EXPECT_NE(filters.find("All files (*)"), std::string::npos) << filters;
  if (!readOnlyCase) GTEST_SKIP() << "the read-only folder's case was left out: cannot mount a read-only folder here";
  EXPECT_EQ(run.note("folderPanel"),
            "Choose a Folder | The folder of clip.mov cannot be written: choose a folder for the converted movies");
}

// Settings for the AMC format made in the dialog are there after a restart and used by the next
// conversion, which starts from a folder dropped on the window and ends with a word on what it wrote.
TEST_F(RealWindowTest, AmcSettingsFromTheDialogOutliveARestart) {
  auto chooseIn = [](const char* menu, const char* item) {
    return [menu, item](Probe& p) { return p.choose(qobject_cast<QComboBox*>(p.control(menu)), item); };
  };
  std::vector<Probe::Step> steps{
      [](Probe& p) {
        if (!p.exposed(p.control("settingsButton"))) return false;
        p.note("estimateBefore", p.title("textEstimate").toStdString());
        p.click(p.control("settingsButton"));
        return true;
      },
      [](Probe& p) {
        if (!p.modal() || p.modal()->objectName() != "exporterSettings" || !p.exposed(p.modal())) return false;
        p.shot("settings-dialog", p.modal());
        p.note("dialogTitle", p.modal()->windowTitle().toStdString());
        // What every conversion sets from the window, or the output's extension decides, is not offered.
        for (const char* name : {"fileFormat", "videoDataRate", "keyFrameInterval"}) {
          if (p.modal()->findChild<QWidget*>(name)) p.note("offered", name);
        }
        return true;
      },
      chooseIn("soundCodec", "AMR-NB (speech)"),
      chooseIn("videoCodec", "H.263"),
      [](Probe& p) {
        p.click(p.modal()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        return true;
      },
      [](Probe& p) {
        if (p.modal()) return false;
        p.note("estimateAfter", p.title("textEstimate").toStdString());
        NSApplication::sharedApplication()->terminate(nullptr);
        return true;
      }};
  const DesktopSession::Run first = session_->launch(folder_.path(), {"--format", "amc"}, steps);
  ASSERT_TRUE(first.exited) << first.all();
  EXPECT_EQ(first.note("dialogTitle"), "AMC settings");
  EXPECT_EQ(first.note("offered"), "(none)");
  EXPECT_NE(first.note("estimateAfter"), first.note("estimateBefore")) << first.all();
  ASSERT_TRUE(fs::exists(folder_.file("bundle/settingAmc.atom")));
  EXPECT_FALSE(fs::exists(folder_.file("bundle/setting3gpp2.atom")));

  std::vector<Probe::Step> restart{
      [folder = folder_.path()](Probe& p) {
        if (!p.exposed(p.window())) return false;
        p.note("hint", p.title("textStatus").toStdString());
        // Dropped on a text field, the folder's movie is for the window, not text for the field.
        const QString frameRate = p.title("frameRate");
        p.note("dropTaken", p.drop(p.control("frameRate"), {folder}) ? "yes" : "no");
        p.note("frameRateKept", p.title("frameRate") == frameRate ? "yes" : "no");
        return true;
      },
      [](Probe& p) { return p.endOfRunShown("end-written"); }};
  const DesktopSession::Run second =
      session_->launch(folder_.path(), {"--format", "amc", "--size", "natural", "--rate", "1"}, restart,
                       [](Probe& p) { p.note("progressAtQuit", std::to_string(p.progress())); });
  ASSERT_TRUE(second.exited) << second.all();
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.note("dropTaken"), "yes");
  EXPECT_EQ(second.note("hint"), "Drop movies here to convert them.");
  EXPECT_EQ(second.note("frameRateKept"), "yes");
  EXPECT_EQ(second.numbers("progressAtQuit").at(0), 100);
  const long kilobytes = std::lround(double(fs::file_size(source_ + ".amc")) / 1024);
  // A rate this picture cannot hold: the window says what became of it.
  EXPECT_EQ(second.note("endOfRun").rfind("Written: clip.mov.amc, " + std::to_string(kilobytes) + " KB / video written at ", 0), 0u)
      << second.note("endOfRun");
  EXPECT_NE(second.note("endOfRun").find(" KB/s | 2 buttons"), std::string::npos) << second.note("endOfRun");
  EXPECT_EQ(second.clipped(), "") << second.all();

  const ProbedMovie written = ProbeMovie(source_ + ".amc");
  ASSERT_TRUE(written.readable);
  EXPECT_NEAR(written.seconds, kSourceSeconds, 1);
  // 640x480 is no size of H.263's: the dialog said it would be MPEG-4 Visual.
  ASSERT_TRUE(written.stream("audio") && written.stream("video"));
  EXPECT_EQ(written.stream("audio")->codec, "amr_nb");
  EXPECT_EQ(written.stream("video")->codec, "mpeg4");
}

// A folder and a movie given at launch (as "Open With" on a selection hands them over): one question
// about the earlier output among them, a broken one fails, the next is aborted and the rest converted
// anyway, the one in a read-only folder goes into a folder the user picks, and the failures are
// listed before the application quits with a failure status.
TEST_F(RealWindowTest, SeveralMoviesConvertInTurnPastAnAbortAndAFailure) {
  SmallTmpfs readOnly(4096);
  if (!readOnly.mounted()) GTEST_SKIP() << "cannot mount a read-only folder here";
  const std::string last = readOnly.file("last.mov");
  fs::copy_file(POCKETMOVIE_SAMPLE, last);
  ASSERT_TRUE(readOnly.makeReadOnly());
  const std::string broken = folder_.write("broken.mov", "no movie in here");
  const std::string chosen = folder_.file("phone");
  fs::create_directories(chosen);
  const std::string longName = "Familienurlaub am Gardasee – Tag 3 – Bootsfahrt (Originalaufnahme) 日本語.avi";
  fs::rename(source_, folder_.file(longName));
  source_ = folder_.file(longName);

  const std::string earlier = folder_.write(longName + ".3gp", "an earlier output");
  std::vector<Probe::Step> steps{
      Answer("Keep Both"),
      [](Probe& p) {
        if (p.title("button") != "Abort" || p.progress() < 20) return false;
        p.note("fields", Geometry(p.control("frameRate")) + Geometry(p.control("settingsButton")));
        p.note("clippedDuring", p.clipped(p.window()));
        p.note("during", p.title("textBatch").toStdString() + " | " + p.control("textBatch")->toolTip().toStdString());
        p.shot("batch-during", p.window());
        p.click(p.control("button"));
        return true;
      },
      Answer("Convert Them"),
      [chosen](Probe& p) {
        auto* panel = qobject_cast<QFileDialog*>(p.modal());
        if (!p.exposed(panel)) return false;
        p.note("panelFor", p.title("textBatch").toStdString());
        p.note("fields", Geometry(p.control("frameRate")) + Geometry(p.control("settingsButton")));
        p.note("panelMessage", panel->findChild<QLabel*>("panelMessage")->text().toStdString());
        panel->setDirectory(QString::fromStdString(chosen));
        QMetaObject::invokeMethod(panel, "accept");
        return true;
      },
      Answer("Quit")};
  // The folder gives its two movies, not the earlier output beside them.
  const DesktopSession::Run run = session_->launch(folder_.path(), {"--format", "3gp", folder_.path(), last}, steps);

  ASSERT_TRUE(run.exited) << run.all();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.all().find("alert Replace the earlier movie? | " + longName + ".3gp is already in"), std::string::npos);
  // The long name is shortened in its middle and moves no field; the whole name is in its tooltip.
  const auto fields = run.notes.equal_range("fields");
  ASSERT_EQ(std::distance(fields.first, fields.second), 2) << run.all();
  EXPECT_EQ(fields.first->second, std::next(fields.first)->second);
  EXPECT_EQ(run.clipped(), "") << run.all();
  EXPECT_EQ(run.note("during"), "1 of 3   " + longName + " | 1 of 3   " + longName);
  EXPECT_EQ(run.note("panelFor"), "3 of 3   last.mov");
  EXPECT_NE(run.note("panelMessage").find("last.mov"), std::string::npos) << run.all();
  for (auto [title, end] = run.notes.equal_range("alertTitle"); title != end; ++title) {
    EXPECT_EQ(title->second, "pocketmovie");
  }
  EXPECT_NE(run.all().find("alert Skip the other movies? | 2 movies of this batch are still to convert.\n"),
            std::string::npos)
      << run.all();
  EXPECT_NE(run.all().find("alert 2 of 3 movies were not converted | " + longName +
                           ": aborted / broken.mov: not a movie\n"),
            std::string::npos)
      << run.all();
  EXPECT_EQ(ReadWholeFile(earlier), "an earlier output");
  EXPECT_EQ(run.note("behindQuit"), "Convert… off");
  EXPECT_TRUE(ProbeMovie(chosen + "/last.mov.3gp").readable);
  EXPECT_EQ(EntryNames(chosen), std::vector<std::string>{"last.mov.3gp"});
  EXPECT_FALSE(fs::exists(broken + ".3gp"));
}

// In German and in Japanese every text of the window and the settings dialog is translated and
// fits, a failure's reason, the question about an earlier output and the word at the end included,
// before, during and after a conversion, and the "Abort" button stops it as in English. Each control
// has an access key of its own; the frame rate takes the language's decimal mark, and a data rate
// beyond the range stays as typed, marked, until the field is left.
TEST_F(RealWindowTest, GermanAndJapaneseWindowsShowTheirTextsWhole) {
  const std::string missing = folder_.file(std::string(kLongFolder) + "/gone.mov");
  for (const auto& [language, noSuchFile, left, keepBoth, aborted, aMinute, frameKey, fraction, keys, settled] :
       {std::tuple{"de", "keine solche Datei: ", "noch ", "Beide behalten", "Abgebrochen: ",
                   "etwa 490 KB pro Minute", "alt+i", "2 comma 5", "ABDEFGHIT Ctrl+O Ctrl+Q",
                   "Datenrate: aus 300 wurde 256 (ganze Zahlen, 1 bis 256)"},
        {"ja", "ファイルがありません: ", "残り ", "両方残す", "中止: ", "1 分あたり約 490 KB",
         "alt+r", "2 period 5", "DFILORSTW Ctrl+O Ctrl+Q", "データレート：300 を 256 にしました（整数、1～256）"}}) {
    SCOPED_TRACE(language);
    fs::remove_all(folder_.file("config/pocketmovie"));  // each language from the same options
    folder_.write("clip.mov.amc", "an earlier output");
    fs::remove(folder_.file("clip.mov (2).amc"));
    std::vector<Probe::Step> steps{
        [language](Probe& p) {  // the movie given at launch is missing: the window says so, taller for its lines
          if (!p.exposed(p.window()) || p.title("textStatus").isEmpty() || !p.control("button")->isEnabled() ||
              !p.laidOut(p.window())) {
            return false;
          }
          if (p.clipped(p.window()) != "none" && !p.triedFor(500)) return false;
          p.shot(std::string("window-") + language, p.window());
          p.note("reason", p.title("textStatus").toStdString());
          p.note("estimate", p.title("textEstimate").toStdString());
          p.note("convertTitle", p.title("button").toStdString());
          p.note("clippedBefore", p.clipped(p.window()));
          p.click(p.control("settingsButton"));
          return true;
        },
        [language](Probe& p) {
          if (!p.modal() || !p.exposed(p.modal())) return false;
          p.shot(std::string("settings-") + language, p.modal());
          p.note("clippedSettings", p.clipped(p.modal()));
          p.click(p.modal()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
          return true;
        },
        [frameKey](Probe& p) {  // back in the window, to the frame rate by its access key
          if (p.modal() || QApplication::activeWindow() != p.window()) return p.window()->activateWindow(), false;
          p.note("accessKeys", p.accessKeys());
          p.key(frameKey);
          return true;
        },
        [fraction](Probe& p) {
          if (!p.control("frameRate")->hasFocus()) return false;
          p.key((std::string("ctrl+a ") + fraction + " alt+d ctrl+a 3 0 0").c_str());
          return true;
        },
        [](Probe& p) {
          if (p.title("dataRate") != "300") return false;
          p.key("Tab");
          return true;
        },
        [](Probe& p) {
          if (p.title("dataRate") == "300") return false;
          p.note("settled", p.title("textStatus").toStdString());
          p.note("frameRate", std::to_string(dynamic_cast<NSControl*>(NSViewNamed("frameRate"))->doubleValue()));
          return true;
        },
        [source = source_](Probe& p) { return !p.modal() && p.drop(p.window(), {source}); },
        Answer(keepBoth),
        [language](Probe& p) {
          if (p.progress() < 20 || p.title("textTimeLeft").isEmpty()) return false;
          p.note("timeLeft", p.title("textTimeLeft").toStdString());
          p.shot(std::string("window-") + language + "-during", p.window());
          p.note("abortTitle", p.title("button").toStdString());
          p.note("clippedDuring", p.clipped(p.window()));
          p.click(p.control("button"));
          return true;
        },
        [language](Probe& p) { return p.endOfRunShown(std::string("end-") + language); }};
    const DesktopSession::Run run =
        session_->launch(folder_.path(), {"--format", "amc", "--size", "natural", missing}, steps, {}, language);
    ASSERT_TRUE(run.exited) << run.all();
    EXPECT_EQ(run.note("reason"), noSuchFile + missing);
    EXPECT_EQ(run.note("estimate"), aMinute);
    EXPECT_NE(run.note("convertTitle"), "Convert…");
    EXPECT_NE(run.note("abortTitle"), "Abort");
    EXPECT_NE(run.note("abortTitle"), run.note("convertTitle"));
    EXPECT_EQ(run.clipped(), "") << run.all();
    EXPECT_EQ(run.note("timeLeft").rfind(left, 0), 0u) << run.note("timeLeft");
    EXPECT_NE(run.note("alert").find("clip.mov (2).amc"), std::string::npos) << run.note("alert");
    EXPECT_EQ(run.note("endOfRun").rfind(aborted, 0), 0u) << run.note("endOfRun");
    EXPECT_EQ(run.note("accessKeys"), keys);
    EXPECT_EQ(run.note("settled"), settled);
    EXPECT_EQ(run.note("frameRate"), "2.500000");
  }
}

}  // namespace

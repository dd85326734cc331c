// The whole application in a real window, used with the mouse as a person would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cmath>
#include <filesystem>
#include <string>

#include "platform/framework/AppKit.h"
#include "tests/desktop/DesktopSession.h"
#include "tests/support/SampleMovies.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSourceSeconds = 40;

class RealWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = DesktopSession::Get();
    if (!session_) GTEST_SKIP() << "needs Xvfb and xdotool";
    // Big enough that the export lasts a few seconds at its natural size, so there is time to click.
    source_ = MakeSampleMovie(folder_.path(), "clip.mov",
                              SampleMovie().in("mov").video("mpeg4").size(640, 480).lasting(kSourceSeconds));
    ASSERT_FALSE(source_.empty());
  }

  static Probe::Step ClickWhen(const char* name) {
    return [name](Probe& p) {
      QWidget* control = p.control(name);
      if (!p.exposed(control) || !control->isEnabled()) return false;
      p.click(control);
      return true;
    };
  }

  static QAbstractButton* DialogButton(Probe& p, QDialogButtonBox::StandardButton which) {
    auto* buttons = p.modal() ? p.modal()->findChild<QDialogButtonBox*>() : nullptr;
    return buttons ? buttons->button(which) : nullptr;
  }

  static std::string Items(QComboBox* menu) {
    std::string items;
    for (int i = 0; i < menu->count(); ++i) items += (i ? "|" : "") + menu->itemText(i).toStdString();
    return items;
  }

  DesktopSession* session_ = nullptr;
  TempDir folder_;
  std::string source_;
};

// The convert button opens the file panel, the chosen movie converts with the bar moving, a click
// elsewhere is swallowed, and a click on "Abort" ends the application with a shorter movie.
TEST_F(RealWindowTest, ConvertFromThePanelThenAbort) {
  const std::string source = source_;
  std::vector<Probe::Step> steps{
      [](Probe& p) {
        if (!p.exposed(p.window())) return false;
        p.shot("window-before", p.window());
        p.click(p.control("button"));
        return true;
      },
      [](Probe& p) {
        auto* panel = qobject_cast<QFileDialog*>(p.modal());
        if (!p.exposed(panel)) return false;
        p.note("panel", "shown");
        p.click(panel->findChild<QLineEdit*>("fileNameEdit"));  // where the keys go
        return true;
      },
      [source](Probe& p) {
        p.key("ctrl+a");  // over the suggested name
        p.type(source);
        return true;
      },
      [source](Probe& p) {
        auto* name = p.control("fileNameEdit");
        if (!name || qobject_cast<QLineEdit*>(name)->text().toStdString() != source) return false;
        // The name's completion list takes the first Return for itself.
        if (QApplication::activePopupWidget()) {
          p.key("Escape");
          return false;
        }
        p.key("Return");
        return true;
      },
      [](Probe& p) {
        if (p.title("button") != "Abort" || p.progress() < 20) return false;
        p.shot("window-during", p.window());
        p.note("elsewhereAt", std::to_string(p.progress()));
        p.click(p.control("popupCODEC"));
        return true;
      },
      [](Probe& p) {
        if (p.progress() < 40) return false;
        p.note("menuOpen", QApplication::activePopupWidget() ? "yes" : "no");
        p.note("abortAt", std::to_string(p.millisecondsSinceStart()));
        p.click(p.control("button"));
        return true;
      }};
  const DesktopSession::Run run = session_->launch(
      folder_.path(), {"--size", "natural", "--fps", "25"}, steps, [](Probe& p) {
        p.note("quitAt", std::to_string(p.millisecondsSinceStart()));
        p.note("formatAtQuit", p.title("popupCODEC").toStdString());
        p.shot("window-after", p.window());
      });

  ASSERT_TRUE(run.exited) << run.all();
  EXPECT_EQ(run.note("panel"), "shown");
  const std::vector<double> shown = run.numbers("progress");
  ASSERT_GE(shown.size(), 4u);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GT(shown[i], shown[i - 1]) << "the bar went back";
  for (auto [it, end] = run.notes.equal_range("progress"); it != end; ++it) {
    const double bar = std::atof(it->second.c_str());
    const std::string percent = it->second.substr(it->second.find(' ') + 1);
    if (bar >= 10) {
      EXPECT_EQ(percent, std::to_string(std::lround(bar))) << "beside " << bar;
    }
  }
  // The click on the format menu neither stopped the export nor opened the menu, then or later.
  EXPECT_GT(shown.back(), 40);
  EXPECT_EQ(run.note("menuOpen"), "no");
  EXPECT_EQ(run.note("formatAtQuit"), "MPEG-4 (.mp4)");
  EXPECT_LT(shown.back(), 100) << "the export was not stopped";
  EXPECT_LT(run.numbers("quitAt").at(0) - run.numbers("abortAt").at(0), 1000);

  const ProbedMovie written = ProbeMovie(source_ + ".mp4");
  ASSERT_TRUE(written.readable);
  EXPECT_GT(written.seconds, 1);
  EXPECT_LT(written.seconds, kSourceSeconds - 5);
}

// Settings for the AMC format made in the dialog (a cancel first, which keeps nothing) are there
// after a restart and used by the next conversion, which starts from a movie dropped on the
// window, here at the smallest size the window allows.
TEST_F(RealWindowTest, AmcSettingsFromTheDialogOutliveARestart) {
  const std::string savedSettings = folder_.file("bundle/settingAmc.atom");
  auto chooseIn = [](const char* menu, const char* item) {
    return [menu, item](Probe& p) {
      auto* combo = qobject_cast<QComboBox*>(p.control(menu));
      return combo && p.choose(combo, item);
    };
  };
  auto dialogShown = [](Probe& p) { return p.modal() && p.modal()->objectName() == "exporterSettings"; };
  std::vector<Probe::Step> steps{
      ClickWhen("settingsButton"),
      [dialogShown](Probe& p) {
        if (!dialogShown(p) || !p.exposed(p.modal())) return false;
        p.note("videoCodecs", Items(qobject_cast<QComboBox*>(p.control("videoCodec"))));
        p.note("soundCodecs", Items(qobject_cast<QComboBox*>(p.control("soundCodec"))));
        p.shot("settings-dialog", p.modal());
        return true;
      },
      chooseIn("soundCodec", "AMR-NB (speech)"),
      [](Probe& p) {
        p.note("amrSampleRates", Items(qobject_cast<QComboBox*>(p.control("soundSampleRate"))));
        p.note("amrChannels", Items(qobject_cast<QComboBox*>(p.control("soundChannels"))));
        p.click(DialogButton(p, QDialogButtonBox::Cancel));
        return true;
      },
      [savedSettings](Probe& p) {
        if (p.modal()) return false;
        p.note("sizeAfterCancel", std::to_string(fs::exists(savedSettings) ? fs::file_size(savedSettings) : 0));
        p.click(p.control("settingsButton"));
        return true;
      },
      [dialogShown](Probe& p) {
        if (!dialogShown(p) || !p.exposed(p.modal())) return false;
        p.note("soundAfterCancel", qobject_cast<QComboBox*>(p.control("soundCodec"))->currentText().toStdString());
        return true;
      },
      chooseIn("soundCodec", "AMR-NB (speech)"),
      chooseIn("videoCodec", "H.263"),
      [](Probe& p) {
        p.note("h263Note", p.control("h263Note")->isVisible() ? "shown" : "hidden");
        p.shot("settings-dialog-h263-amr", p.modal());
        p.click(DialogButton(p, QDialogButtonBox::Ok));
        return true;
      },
      [](Probe& p) {
        if (p.modal()) return false;
        NSApplication::sharedApplication()->terminate(nullptr);
        return true;
      }};
  const DesktopSession::Run first = session_->launch(folder_.path(), {"--format", "amc"}, steps);
  ASSERT_TRUE(first.exited) << first.all();
  EXPECT_EQ(first.note("videoCodecs"), "MPEG-4 Visual|H.263|H.264");
  EXPECT_EQ(first.note("soundCodecs"), "The format's default|AAC|AMR-NB (speech)|No sound");
  EXPECT_EQ(first.note("amrSampleRates"), "8 kHz");
  EXPECT_EQ(first.note("amrChannels"), "Mono");
  EXPECT_EQ(first.note("sizeAfterCancel"), "0");
  EXPECT_EQ(first.note("soundAfterCancel"), "The format's default");
  EXPECT_EQ(first.note("h263Note"), "shown");
  ASSERT_TRUE(fs::exists(savedSettings));
  EXPECT_GT(fs::file_size(savedSettings), 0u);
  EXPECT_FALSE(fs::exists(folder_.file("bundle/setting3gpp2.atom")));

  const std::string source = source_;
  std::vector<Probe::Step> restart{
      [](Probe& p) {
        if (!p.exposed(p.window())) return false;
        p.shot("window-default-size", p.window());
        p.window()->resize(760, 420);
        return true;
      },
      [](Probe& p) {
        if (p.window()->size() != QSize(760, 420)) return false;
        p.shot("window-large", p.window());
        p.window()->resize(p.window()->minimumSizeHint().expandedTo(p.window()->minimumSize()));
        return true;
      },
      [source](Probe& p) {
        const QSize smallest = p.window()->minimumSizeHint().expandedTo(p.window()->minimumSize());
        if (p.window()->size() != smallest) return false;
        p.shot("small-before", p.window());
        const std::string frameRate = p.title("frameRate").toStdString();
        p.note("dropTaken", p.drop(p.control("frameRate"), source) ? "yes" : "no");
        p.note("frameRateKept", p.title("frameRate").toStdString() == frameRate ? "yes" : "no");
        return true;
      },
      [](Probe& p) {
        if (p.title("button") != "Abort" || p.progress() < 30) return false;
        p.shot("small-during", p.window());
        return true;
      }};
  const DesktopSession::Run second = session_->launch(folder_.path(), {"--format", "amc", "--size", "natural"}, restart,
                                                       [](Probe& p) {
                                                         p.note("progressAtQuit", std::to_string(p.progress()));
                                                         p.shot("small-after", p.window());
                                                       });
  ASSERT_TRUE(second.exited) << second.all();
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.note("dropTaken"), "yes");
  EXPECT_EQ(second.note("frameRateKept"), "yes");
  EXPECT_EQ(second.numbers("progressAtQuit").at(0), 100);

  const ProbedMovie written = ProbeMovie(source_ + ".amc");
  ASSERT_TRUE(written.readable);
  EXPECT_NEAR(written.seconds, kSourceSeconds, 1);
  ASSERT_NE(written.stream("audio"), nullptr);
  EXPECT_EQ(written.stream("audio")->codec, "amr_nb");
  EXPECT_EQ(written.stream("audio")->sampleRate, 8000);
  EXPECT_EQ(written.stream("audio")->channels, 1);
  // 640x480 is no size of H.263's: the note said it would be MPEG-4 Visual.
  ASSERT_NE(written.stream("video"), nullptr);
  EXPECT_EQ(written.stream("video")->codec, "mpeg4");
}

}  // namespace

#include "platform/media/exporters/ExporterDialog.h"
#include "tests/app/ControllerFixture.h"
#include "tests/support/AtomImage.h"

namespace {

std::string settingsOf(MovieExportComponent exporter) {
  const test_support::AtomImage image = test_support::SettingsImage(exporter);
  return std::string(image.begin(), image.end());
}

// Each format's cap from the table: a higher rate is lowered to it at the choice, a lower one
// stays, and the slider moves only when the rate was lowered.
TEST_F(ControllerTest, AFormatWithADataRateCapLowersTheRateWhenItIsChosen) {
  launch();
  for (const OutputFormat& format : kOutputFormats) {
    const SInt32 cap = format.mostKilobytesPerSecond;
    for (const SInt32 before : {(cap > 0 ? cap : 50) + 2, cap > 0 ? cap : 50}) {
      SCOPED_TRACE(std::string(format.name) + " from " + std::to_string(before));
      c_->sliderData->setIntValue(1);
      c_->dataRate->setIntValue(before);
      c_->m_nDefaultDataRate = -1;
      chooseFormat(format.tag);
      const bool lowered = cap > 0 && before > cap;
      EXPECT_EQ(c_->dataRate->intValue(), lowered ? cap : before);
      EXPECT_EQ(c_->sliderData->intValue(), lowered ? cap : 1);
      EXPECT_EQ(c_->m_nDefaultDataRate, cap > 0 ? c_->dataRate->intValue() : -1) << "remembered only where capped";
    }
  }

  // Each format keeps the rate last used with it, also across launches: back to MPEG-4 is back to 64.
  quit();
  for (const OutputFormat& format : kOutputFormats) store(format.dataRateKey, 0);  // none kept yet
  launch();
  chooseFormat(0);
  c_->dataRate->setIntValue(64);
  for (const auto& [tag, rate] : std::vector<std::pair<NSInteger, int>>{{2, 8}, {3, 4}, {0, 64}, {3, 4}}) {
    chooseFormat(tag);
    EXPECT_EQ(c_->dataRate->intValue(), rate) << "format " << tag;
  }
  quit();
  launch();
  chooseFormat(0);
  EXPECT_EQ(c_->dataRate->intValue(), 64);
}

TEST_F(ControllerTest, FormatsTwoAndThreeKeepTheirOwnSettingsFiles) {
  // The dialog stands in for the user: it counts its showings and confirms a stretched picture,
  // or is cancelled.
  int dialogs = 0;
  bool confirm = true;
  SetMovieExportDialogPresenter([&](ExporterDialogModel& model) {
    ++dialogs;
    model.setStretch(true);
    return confirm;
  });
  launch();
  EXPECT_FALSE(c_->settingsButton->isEnabled());  // MPEG-4 keeps no settings file
  chooseFormat(1);
  EXPECT_FALSE(c_->settingsButton->isEnabled());
  c_->setting3GPP2(nullptr);
  EXPECT_EQ(dialogs, 0);
  chooseFormat(2);
  EXPECT_TRUE(c_->settingsButton->isEnabled());
  const std::string defaults = settingsOf(gQtExport);
  EXPECT_FALSE(fs::exists(bundle() / "setting3gpp2.atom"));  // reading never creates it

  c_->setting3GPP2(nullptr);
  EXPECT_EQ(dialogs, 1);
  chooseFormat(2);  // what the format reads back from its file, the window's own options aside
  const std::string chosen = settingsOf(gQtExport);
  EXPECT_NE(chosen, defaults);
  const std::string saved = ReadWholeFile(bundle() / "setting3gpp2.atom");
  EXPECT_FALSE(saved.empty());

  // Format 3 starts from the defaults, naming its own file format; its cancelled dialog leaves no file.
  confirm = false;
  chooseFormat(3);
  EXPECT_TRUE(c_->settingsButton->isEnabled());
  const std::string amcDefaults = settingsOf(gQtExport);
  EXPECT_EQ(amcDefaults.substr(0, amcDefaults.size() - 4), defaults.substr(0, defaults.size() - 4));
  EXPECT_EQ(amcDefaults.substr(amcDefaults.size() - 4), "amc ");
  c_->setting3GPP2(nullptr);
  EXPECT_FALSE(fs::exists(bundle() / "settingAmc.atom"));
  chooseFormat(3);
  EXPECT_EQ(settingsOf(gQtExport), amcDefaults);

  // Format 2 gets its settings back; a cancelled dialog keeps its file as it was.
  chooseFormat(2);
  EXPECT_EQ(settingsOf(gQtExport), chosen);
  EXPECT_EQ(chosen.substr(chosen.size() - 4), "3g2 ");
  c_->setting3GPP2(nullptr);
  EXPECT_EQ(ReadWholeFile(bundle() / "setting3gpp2.atom"), saved);
  EXPECT_EQ(EntryNames(bundle()).size(), 1u);
  chooseFormat(0);
  EXPECT_FALSE(c_->settingsButton->isEnabled());
  SetMovieExportDialogPresenter({});
}

}  // namespace

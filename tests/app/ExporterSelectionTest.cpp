#include "platform/media/exporters/ExporterDialog.h"
#include "tests/app/ControllerFixture.h"
#include "tests/support/AtomImage.h"

namespace {

std::string settingsOf(MovieExportComponent exporter) {
  const test_support::AtomImage image = test_support::SettingsImage(exporter);
  return std::string(image.begin(), image.end());
}

TEST_F(ControllerTest, FormatsTwoAndThreeLowerTheDataRateWhenTheyAreChosen) {
  launch();
  c_->sliderData->setIntValue(3);
  for (auto [before, format, after] : {std::tuple{10, 3, 4}, {10, 2, 8}, {8, 2, 8}, {3, 3, 3}}) {
    c_->dataRate->setIntValue(before);
    chooseFormat(format);
    EXPECT_EQ(c_->dataRate->intValue(), after);
    EXPECT_EQ(c_->m_nDefaultDataRate, after);
  }
  EXPECT_EQ(c_->sliderData->intValue(), 8);  // moved only when the rate was lowered
  c_->dataRate->setIntValue(50);
  chooseFormat(1);
  EXPECT_EQ(c_->dataRate->intValue(), 50);
  EXPECT_EQ(c_->m_nDefaultDataRate, 3);
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
  const std::string chosen = settingsOf(gQtExport);
  EXPECT_NE(chosen, defaults);
  const std::string saved = ReadWholeFile(bundle() / "setting3gpp2.atom");
  EXPECT_FALSE(saved.empty());

  // Format 3 starts from the defaults, naming its own file format; its cancelled dialog leaves an
  // empty file that loads nothing.
  confirm = false;
  chooseFormat(3);
  EXPECT_TRUE(c_->settingsButton->isEnabled());
  const std::string amcDefaults = settingsOf(gQtExport);
  EXPECT_EQ(amcDefaults.substr(0, amcDefaults.size() - 4), defaults.substr(0, defaults.size() - 4));
  EXPECT_EQ(amcDefaults.substr(amcDefaults.size() - 4), "amc ");
  c_->setting3GPP2(nullptr);
  EXPECT_EQ(fs::file_size(bundle() / "settingAmc.atom"), 0u);
  chooseFormat(3);
  EXPECT_EQ(settingsOf(gQtExport), amcDefaults);

  // Format 2 gets its settings back; a cancelled dialog keeps its file as it was.
  chooseFormat(2);
  EXPECT_EQ(settingsOf(gQtExport), chosen);
  EXPECT_EQ(chosen.substr(chosen.size() - 4), "3g2 ");
  c_->setting3GPP2(nullptr);
  EXPECT_EQ(ReadWholeFile(bundle() / "setting3gpp2.atom"), saved);
  EXPECT_EQ(EntryNames(bundle()).size(), 2u);
  chooseFormat(0);
  EXPECT_FALSE(c_->settingsButton->isEnabled());
  SetMovieExportDialogPresenter({});
}

}  // namespace

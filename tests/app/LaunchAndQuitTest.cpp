#include "tests/app/ControllerFixture.h"

TEST_F(ControllerTest, LaunchShowsTheDefaultsForMissingZeroAndUnknownPreferences) {
  launch();
  EXPECT_EQ((std::vector{c_->dataRate->doubleValue(), c_->sliderData->doubleValue(), c_->frameRate->doubleValue(),
                         c_->sliderFrame->doubleValue()}),
            (std::vector<double>{64, 64, 12, 12}));
  // Half size shows a dash until a movie gives its size; the custom size is there when chosen.
  EXPECT_EQ(c_->widthMov->stringValue().str() + c_->heightMov->stringValue().str(), "––");
  EXPECT_EQ(c_->textStatus->stringValue().str().rfind("Drop movies here", 0), 0u);
  EXPECT_EQ(c_->popupExportSize->selectedItem()->tag(), 2);
  EXPECT_EQ(c_->popupCODEC->selectedItem()->tag(), 0);
  EXPECT_EQ(c_->fitKilobytes(), 0);  // older preferences have no size limit
  EXPECT_FALSE(c_->fitSize->isEnabled());
  EXPECT_EQ(c_->checkOlderPhones->state(), NSOffState);  // High, unless chosen
  EXPECT_NE(gQtExport, nullptr);
  chooseSize(0);
  EXPECT_EQ((std::vector{c_->widthMov->intValue(), c_->heightMov->intValue()}), (std::vector{120, 90}));
  quit();

  for (const char* key : {"DataRate", "FrameRate", "SizeX", "SizeY"}) store(key, 0);
  store("SizeIndex", 7);  // no item carries these tags
  store("3GPP", 9);
  launch();
  EXPECT_EQ((std::vector{c_->m_nDefaultDataRate, c_->m_nDefaultFrameRate, c_->m_nDefaultSizeX, c_->m_nDefaultSizeY}),
            (std::vector<SInt32>{64, 12, 120, 90}));
  EXPECT_EQ(c_->popupExportSize->selectedItem(), nullptr);
  EXPECT_EQ(c_->popupCODEC->selectedItem(), nullptr);
  EXPECT_EQ(c_->m_nDefault3GPP, 0);  // no selected format reads as index 0
  EXPECT_NE(gQtExport, nullptr);
}

// Every key read at launch and written at quit under its own name, the custom size among them.
TEST_F(ControllerTest, EightChosenValuesComeBackAcrossLaunchesAndQuitKeepsWhatTheControlsShow) {
  const std::vector<const char*> keys = {"DataRate", "FrameRate", "SizeX", "SizeY", "SizeIndex", "3GPP", "FitSize",
                                         "Baseline"};
  const std::vector<NSInteger> chosen = {6, 20, 200, 150, 0, 2, 450, 1};
  for (size_t i = 0; i < keys.size(); ++i) store(keys[i], chosen[i]);
  for (int launchNumber = 1; launchNumber <= 2; ++launchNumber) {
    SCOPED_TRACE(launchNumber);
    launch();
    EXPECT_EQ((std::vector{c_->dataRate->intValue(), c_->sliderData->intValue(), c_->frameRate->intValue(),
                           c_->sliderFrame->intValue(), c_->widthMov->intValue(), c_->heightMov->intValue()}),
              (std::vector{6, 6, 20, 20, 200, 150}));
    EXPECT_EQ(c_->popupExportSize->selectedItem()->title().str(), "Custom size");
    EXPECT_TRUE(c_->widthMov->isEnabled() && c_->heightMov->isEnabled());
    EXPECT_EQ(c_->popupCODEC->selectedItem()->tag(), 2);
    EXPECT_EQ(c_->fitKilobytes(), 450);  // a limit the menu does not offer is typed in
    EXPECT_TRUE(c_->fitSize->isEnabled());
    EXPECT_EQ(c_->checkOlderPhones->state(), NSOnState);
    EXPECT_FALSE(c_->checkOlderPhones->isEnabled()) << "3GPP2 is Baseline anyway";
    quit();
    NSUserDefaults::resetStandardUserDefaults();
    std::vector<NSInteger> kept;
    for (const char* key : keys) kept.push_back(stored(key));
    EXPECT_EQ(kept, chosen);
  }

  // What the fields show at quit is kept, whole and within 32 bits; the menus' tags as chosen.
  launch();
  chooseSize(12);
  c_->frameRate->setStringValue("7.5");
  c_->widthMov->setDoubleValue(88.9);
  c_->heightMov->setStringValue("1e20");
  c_->checkOlderPhones->setState(NSOffState);
  quit();
  EXPECT_EQ(gQtExport, nullptr);
  std::vector<NSInteger> kept;
  for (const char* key : keys) kept.push_back(stored(key));
  EXPECT_EQ(kept, (std::vector<NSInteger>{6, 7, 88, 2147483647, 12, 2, 450, 0}));
  // A limit the menu offers is chosen there, and the field stays shut.
  store("FitSize", 600);
  launch();
  EXPECT_EQ(c_->popupFitSize->selectedItem()->tag(), 600);
  EXPECT_FALSE(c_->fitSize->isEnabled());
}

#include <vector>

#include "tests/app/ControllerFixture.h"

namespace {

TEST_F(ControllerTest, LaunchShowsTheDefaultsForMissingZeroAndUnknownPreferences) {
  launch();
  EXPECT_EQ((std::vector{c_->dataRate->doubleValue(), c_->sliderData->doubleValue(), c_->frameRate->doubleValue(),
                         c_->sliderFrame->doubleValue(), c_->widthMov->doubleValue(), c_->heightMov->doubleValue()}),
            (std::vector<double>{64, 64, 12, 12, 120, 90}));
  EXPECT_EQ(c_->popupExportSize->selectedItem()->tag(), 2);
  EXPECT_EQ(c_->popupCODEC->selectedItem()->tag(), 0);
  EXPECT_EQ(c_->fitKilobytes(), 0);  // older preferences have no size limit
  EXPECT_FALSE(c_->fitSize->isEnabled());
  EXPECT_NE(gQtExport, nullptr);
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

TEST_F(ControllerTest, QuitClosesTheExporterAndKeepsWhatTheControlsShow) {
  store("3GPP", 2);
  store("DataRate", 64);
  launch();
  EXPECT_EQ(c_->dataRate->intValue(), 8);  // the 3GPP2 limit
  chooseSize(12);
  c_->frameRate->setStringValue("7.5");
  c_->widthMov->setDoubleValue(88.9);
  c_->heightMov->setStringValue("1e20");  // held at the 32-bit limit, not converted out of range
  c_->showFitKilobytes(450);  // a limit the menu does not offer goes into the field
  quit();
  EXPECT_EQ(gQtExport, nullptr);
  std::vector<NSInteger> kept;
  for (const char* key : {"DataRate", "FrameRate", "SizeX", "SizeY", "SizeIndex", "3GPP", "FitSize"}) {
    kept.push_back(stored(key));
  }
  EXPECT_EQ(kept, (std::vector<NSInteger>{8, 7, 88, 2147483647, 12, 2, 450}));
  store("FitSize", 600);
  launch();
  EXPECT_EQ(c_->popupFitSize->selectedItem()->tag(), 600);
  EXPECT_FALSE(c_->fitSize->isEnabled());
}

}  // namespace

#include "platform/movies/FixMath.h"
#include "tests/app/ControllerFixture.h"

namespace {

OSErr update(double fraction) { return MovieProgressProc(nullptr, movieProgressUpdatePercent, 0, X2Fix(fraction), 0); }

TEST_F(ControllerTest, PercentagesAreShownRoundedAndTheExportSharesOutTenToAHundred) {
  launch();
  EXPECT_EQ(MovieProgressProc(nullptr, movieProgressOpen, 0, 0, 0), noErr);
  for (auto [fraction, shown] : {std::pair{0.0, 10.0}, {0.05, 10.0}, {0.5, 52.5}, {1.0, 100.0}}) {
    EXPECT_EQ(update(fraction), noErr);
    EXPECT_NEAR(c_->progress->doubleValue(), shown, 1e-3);
    EXPECT_EQ(c_->textPercent->intValue(), int(shown + 0.5));
  }
  gConvertMode = kConvertAbortRequested;
  EXPECT_EQ(update(0.7), -1);
  // Without the progress bar the callback does nothing, not even end the application.
  gProgress = nullptr;
  EXPECT_EQ(MovieProgressProc(nullptr, movieProgressClose, 0, 0, 0), noErr);
  EXPECT_FALSE(exitStatus_.has_value());
}

// The name leaves no room for the output's extension: the source is measured but no output can be
// created there, so each run stops once it has chosen its size.
TEST_F(ControllerTest, EachSizeItemGivesItsSizeAndAFailedRunLeavesNothingOpen) {
  launch();
  const std::string movie = sampleMovie(std::string(248, 'a') + ".mov");
  const std::tuple<NSInteger, double, double> sizes[] = {{0, 200, 150}, {1, 320, 240},  {2, 160, 120}, {3, 106.667, 80},
                                                         {4, 80, 60},   {11, 176, 144}, {12, 128, 96}, {13, 96, 80}};
  for (auto [tag, width, height] : sizes) {
    SCOPED_TRACE(tag);
    chooseFormat(1);
    chooseSize(tag);
    if (tag == 0) {
      c_->widthMov->setDoubleValue(200);
      c_->heightMov->setDoubleValue(150);
    }
    c_->button->setEnabled(NO);
    c_->doConvert(movie.c_str());
    EXPECT_EQ(c_->heightMov->isEnabled(), tag == 0);
    EXPECT_NEAR(c_->widthMov->doubleValue(), width, 1e-3);
    EXPECT_NEAR(c_->heightMov->doubleValue(), height, 1e-3);
    EXPECT_EQ(c_->textPercent->intValue(), 50);
    EXPECT_EQ(gQtExport, nullptr);
    EXPECT_FALSE(c_->button->isEnabled());
  }
  // With the exporter gone a file opened onto the application starts nothing.
  EXPECT_TRUE(c_->applicationOpenFile(NSApplication::sharedApplication(), movie.c_str()));
  EXPECT_EQ(gConvertMode, kConvertIdle);
}

}  // namespace

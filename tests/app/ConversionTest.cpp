#include "tests/app/ControllerFixture.h"

namespace {

// The name leaves no room for the output's extension: the source is measured but no output can be
// created there, so each run stops once it has chosen its size. Each item follows the custom size,
// whose fields must lock again.
TEST_F(ControllerTest, EachSizeItemGivesItsSizeAndAFailedRunLeavesTheWindowReady) {
  launch();
  const std::string movie = sampleMovie(std::string(248, 'a') + ".mov");
  const std::tuple<NSInteger, double, double> sizes[] = {{0, 200, 150}, {1, 320, 240},  {2, 160, 120}, {3, 106.667, 80},
                                                         {4, 80, 60},   {11, 176, 144}, {12, 128, 96}, {13, 96, 80}};
  for (auto [tag, width, height] : sizes) {
    SCOPED_TRACE(tag);
    chooseFormat(1);
    chooseSize(0);
    c_->widthMov->setDoubleValue(200);
    c_->heightMov->setDoubleValue(150);
    chooseSize(tag);
    EXPECT_EQ(c_->widthMov->isEnabled(), tag == 0);
    EXPECT_EQ(c_->heightMov->isEnabled(), tag == 0);
    c_->button->setEnabled(NO);
    c_->doConvert(movie.c_str());
    EXPECT_NEAR(c_->widthMov->doubleValue(), width, 1e-3);
    EXPECT_NEAR(c_->heightMov->doubleValue(), height, 1e-3);
    // Ready for another try; what else the window shows then is seen in the real window's failures.
    const std::string reason = c_->textStatus->stringValue().str();
    EXPECT_EQ(reason.rfind("the output's name is too long for the file system: " + movie + ".3gp", 0), 0u) << reason;
    EXPECT_TRUE(c_->button->isEnabled());
  }
  EXPECT_FALSE(exitStatus_.has_value());
  NSApplication::sharedApplication()->terminate(nullptr);  // the user gives up: no movie was made
  EXPECT_EQ(exitStatus_, 1);
}

}  // namespace

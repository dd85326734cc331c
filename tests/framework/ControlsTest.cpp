#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/framework/NumberText.h"
#include "tests/framework/TestWindow.h"

using framework::FormatDouble;
using framework::LeadingDouble;
using framework::LeadingInt;

TEST(NumberText, ReadsTheLeadingNumberLikeCocoa) {
  EXPECT_EQ(LeadingInt("12abc"), 12);
  EXPECT_EQ(LeadingInt("  -7.9"), -7);
  EXPECT_EQ(LeadingInt("abc"), 0);
  EXPECT_EQ(LeadingInt(""), 0);
  EXPECT_EQ(LeadingInt("99999999999"), INT_MAX);
  EXPECT_EQ(LeadingInt("-99999999999"), INT_MIN);

  EXPECT_DOUBLE_EQ(LeadingDouble(" 7.5 fps"), 7.5);
  EXPECT_DOUBLE_EQ(LeadingDouble("-3.5e2x"), -350);
  EXPECT_DOUBLE_EQ(LeadingDouble(".5"), 0.5);
  EXPECT_DOUBLE_EQ(LeadingDouble("2e"), 2);
  EXPECT_EQ(LeadingDouble("inf"), 0);
  EXPECT_EQ(LeadingDouble("nan"), 0);
  EXPECT_EQ(LeadingDouble("0x10"), 0);
  EXPECT_EQ(LeadingDouble("."), 0);
  EXPECT_EQ(LeadingDouble("1e-999"), 0);
  EXPECT_TRUE(std::isinf(LeadingDouble("1e999")));

  EXPECT_EQ(FormatDouble(176), "176");
  EXPECT_EQ(FormatDouble(320.0 / 3), "106.667");
  EXPECT_EQ(FormatDouble(7.5), "7.5");
  EXPECT_EQ(FormatDouble(-0.0), "0");
  EXPECT_EQ(FormatDouble(123456789), "123456789");
}

TEST(Controls, FieldsKeepExactNumbersUntilTheUserTypes) {
  TestController();
  NSTextField* width = Outlet<NSTextField>("widthMov");
  width->setDoubleValue(320.0 / 3);
  EXPECT_EQ(width->stringValue().str(), "106.667");
  EXPECT_DOUBLE_EQ(width->doubleValue(), 320.0 / 3);
  EXPECT_EQ(width->intValue(), 106);

  width->setStringValue("88.9 px");
  EXPECT_DOUBLE_EQ(width->doubleValue(), 88.9);
  EXPECT_EQ(width->intValue(), 88);
  width->setDoubleValue(1e20);
  EXPECT_EQ(width->intValue(), INT_MAX);

  NSTextField* percent = Outlet<NSTextField>("textPercent");
  percent->setIntValue(53);
  EXPECT_EQ(percent->stringValue().str(), "53");
  EXPECT_EQ(percent->intValue(), 53);

  width->setEnabled(NO);
  EXPECT_FALSE(width->isEnabled());
  width->setEnabled(YES);
  EXPECT_TRUE(width->isEnabled());
}

TEST(Controls, ProgressIndicatorShowsAFractionalPercentage) {
  TestController();
  NSProgressIndicator* progress = Outlet<NSProgressIndicator>("progress");
  auto* bar = static_cast<QProgressBar*>(progress->widget());
  progress->setIndeterminate(NO);
  progress->setDoubleValue(52.5);
  EXPECT_DOUBLE_EQ(progress->doubleValue(), 52.5);
  EXPECT_EQ(bar->value() - bar->minimum(), (bar->maximum() - bar->minimum()) * 525 / 1000);
  progress->setDoubleValue(250);
  EXPECT_EQ(bar->value(), bar->maximum());

  progress->setIndeterminate(YES);
  EXPECT_TRUE(progress->isIndeterminate());
  progress->setIndeterminate(NO);
  EXPECT_FALSE(progress->isIndeterminate());
  progress->setDoubleValue(10);
  EXPECT_EQ(bar->value(), bar->maximum() / 10);
  progress->displayIfNeeded();
}

TEST(Controls, SliderAndFieldFollowTheUserOnly) {
  TestController();
  NSTextField* rate = Outlet<NSTextField>("dataRate");
  NSSlider* slider = Outlet<NSSlider>("sliderData");
  auto* qtSlider = static_cast<QSlider*>(slider->widget());
  auto* qtField = static_cast<QLineEdit*>(rate->widget());

  rate->setIntValue(300);
  slider->setIntValue(300);  // beyond the slider's range: the field must keep its value
  EXPECT_EQ(rate->intValue(), 300);
  EXPECT_EQ(slider->intValue(), qtSlider->maximum());

  qtField->setText("");
  qtField->insert("40");  // typing
  EXPECT_EQ(slider->intValue(), 40);

  qtSlider->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the arrow key on the slider
  EXPECT_EQ(rate->intValue(), 41);
  EXPECT_EQ(slider->intValue(), 41);
}

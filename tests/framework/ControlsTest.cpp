#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

#include "platform/framework/NumberText.h"
#include "platform/framework/StringTable.h"
#include "tests/framework/TestWindow.h"

using framework::FormatDouble;
using framework::LeadingDouble;
using framework::LeadingInt;

TEST(NumberText, ReadsTheLeadingNumberLikeCocoa) {
  for (const auto& [text, value] : std::vector<std::pair<const char*, int>>{
           {"12abc", 12}, {"  -7.9", -7}, {"abc", 0}, {"", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}}) {
    EXPECT_EQ(LeadingInt(text), value) << text;
  }
  for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
           {" 7.5 fps", 7.5}, {"-3.5e2x", -350}, {".5", 0.5}, {"2e", 2}, {"inf", 0}, {"nan", 0}, {"0x10", 0},
           {".", 0}, {"1e-999", 0}, {"1e999", INFINITY}}) {
    EXPECT_EQ(LeadingDouble(text), value) << text;
  }
  for (const auto& [value, text] : std::vector<std::pair<double, const char*>>{
           {176, "176"}, {320.0 / 3, "106.667"}, {7.5, "7.5"}, {-0.0, "0"}, {123456789, "123456789"}}) {
    EXPECT_EQ(FormatDouble(value), text);
  }
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

TEST(WindowDescription, SendsActionsOnlyForTheUsersChoices) {
  RecordingController& controller = TestController();
  controller.calls.clear();
  auto* formats = Outlet<NSPopUpButton>("popupCODEC");
  auto* sizes = Outlet<NSPopUpButton>("popupExportSize");

  formats->selectItemAtIndex(formats->indexOfItemWithTag(2));
  sizes->selectItemAtIndex(-1);
  EXPECT_TRUE(controller.calls.empty()) << "selecting in code sends no action";
  EXPECT_EQ(formats->selectedItem()->tag(), 2);
  EXPECT_EQ(sizes->selectedItem(), nullptr);

  auto* combo = static_cast<QComboBox*>(formats->widget());
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  ASSERT_EQ(controller.calls, std::vector<std::string>{"changeCODEC:"});
  EXPECT_EQ(controller.lastSender, formats);

  emit static_cast<QComboBox*>(sizes->widget())->activated(0);
  static_cast<QPushButton*>(Outlet<NSButton>("button")->widget())->click();
  static_cast<QPushButton*>(NSViewNamed("settingsButton")->widget())->click();
  EXPECT_EQ(controller.calls,
            (std::vector<std::string>{"changeCODEC:", "selectExportSize:", "convertMovie:", "setting3GPP2:"}));
  controller.calls.clear();
  sizes->widget()->window()->findChild<QAction*>("actionConvert")->trigger();
  EXPECT_EQ(controller.calls, std::vector<std::string>{"cancelConvert:"});
}

TEST(Bundle, StringTableWithTheKeyAsFallback) {
  TestController();
  NSBundle* bundle = NSBundle::mainBundle();
  EXPECT_EQ(bundle->localizedStringForKey("Convert", nullptr, nullptr).str(), "Convert…");
  EXPECT_EQ(bundle->localizedStringForKey("Unknown", nullptr, nullptr).str(), "Unknown");
  const NSString value = "Given";
  EXPECT_EQ(bundle->localizedStringForKey("Unknown", &value, nullptr).str(), "Given");

  const auto table = framework::ParseStringTable(
      "/* a \"comment\" */ \"a\" = \"x\\\"y\";\n// line\n\"b\"=\"two\\nlines\"; \"c\" = \"unterminated");
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.at("a"), "x\"y");
  EXPECT_EQ(table.at("b"), "two\nlines");
}

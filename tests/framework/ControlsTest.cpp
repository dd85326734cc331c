#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <climits>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/desktop/NumberText.h"
#include "tests/framework/TestWindow.h"

using namespace framework;

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

// What the user types is what a slider's field and a size field can hold; what the program puts
// there (a run's options) stands.
TEST(Controls, SliderAndFieldFollowTheUserOnlyAndTakeSensibleNumbers) {
  TestController();
  NSTextField* rate = Outlet<NSTextField>("dataRate");
  NSSlider* slider = Outlet<NSSlider>("sliderData");
  auto* qtSlider = static_cast<QSlider*>(slider->widget());
  auto* qtField = static_cast<QLineEdit*>(rate->widget());

  rate->setIntValue(300);
  slider->setIntValue(300);  // beyond the slider's range: the field must keep its value
  EXPECT_EQ(rate->intValue(), 300);

  qtField->setText("");
  qtField->insert("40");  // typing
  EXPECT_EQ(slider->intValue(), 40);

  qtSlider->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the arrow key on the slider
  EXPECT_EQ(rate->intValue(), 41);
  EXPECT_EQ(slider->intValue(), 41);

  // Typed into a cleared field after the program showed a number: letters are refused, any number
  // stays as typed, marked when the field does not take it, until it is read (as a conversion reads
  // it), which settles it to the nearest number taken (each range's last, not one more) and says so;
  // an emptied field goes back to what it showed.
  for (const auto& [name, keys, read] : std::vector<std::tuple<const char*, const char*, double>>{
           {"dataRate", "abc", 41}, {"dataRate", "0", 1}, {"dataRate", "256", 256}, {"dataRate", "300", 256},
           {"dataRate", "-5", 1}, {"frameRate", "7.5", 7.5}, {"frameRate", "0", 1}, {"frameRate", "30", 30},
           {"frameRate", "31", 30}, {"frameRate", "7.1254", 7.1254}, {"widthMov", "15", 16}, {"widthMov", "4096", 4096},
           {"widthMov", "5000", 4096}, {"heightMov", "90.5", 91}, {"heightMov", "", 90}, {"fitSize", "2097152", 2097151}}) {
    SCOPED_TRACE(std::string(name) + " " + keys);
    auto* field = Outlet<NSTextField>(name);
    auto* edit = static_cast<QLineEdit*>(field->widget());
    const std::map<std::string, int> shown = {
        {"dataRate", 41}, {"frameRate", 12}, {"widthMov", 120}, {"heightMov", 90}, {"fitSize", 300}};
    field->setIntValue(shown.at(name));
    edit->selectAll();
    edit->del();
    for (const char key : std::string(keys)) edit->insert(QString(QChar(key)));
    const bool settled = keys[0] != 'a' && LeadingDouble(keys) != read && *keys;
    EXPECT_EQ(edit->text().toStdString(), keys[0] == 'a' ? "" : keys);
    EXPECT_EQ(edit->accessibleDescription().startsWith("Out of range: "), settled);
    EXPECT_DOUBLE_EQ(field->doubleValue(), read);
    EXPECT_EQ(field->stringValue().str(), FormatDouble(read));
    const std::string note = edit->accessibleName().toStdString() + ": " + keys + " became " + FormatDouble(read);
    EXPECT_EQ(Outlet<NSTextField>("textStatus")->stringValue().str().rfind(note, 0) == 0, settled);
  }
}

TEST(WindowDescription, SendsActionsOnlyForTheUsersChoices) {
  RecordingController& controller = TestController();
  controller.calls.clear();
  auto* formats = Outlet<NSPopUpButton>("popupCODEC");
  auto* sizes = Outlet<NSPopUpButton>("popupExportSize");
  formats->selectItemAtIndex(formats->indexOfItemWithTag(2));
  sizes->selectItemAtIndex(-1);
  EXPECT_TRUE(controller.calls.empty()) << "selecting in code sends no action";

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

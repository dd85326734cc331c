#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/framework/TestWindow.h"

namespace {

std::vector<NSInteger> tagsOf(NSPopUpButton* menu) {
  std::vector<NSInteger> tags;
  for (NSInteger i = 0; i < menu->numberOfItems(); ++i) tags.push_back(menu->itemAtIndex(i)->tag());
  return tags;
}

}  // namespace

TEST(WindowDescription, MakesTheDelegateAndConnectsEveryOutlet) {
  RecordingController& controller = TestController();
  EXPECT_EQ(NSLoadMainNib(), &controller) << "a second load gives the same object";
  EXPECT_EQ(NSApplication::sharedApplication()->delegate(), &controller);

  for (const char* name : {"button", "popupExportSize", "dataRate", "frameRate", "heightMov", "progress", "textPercent",
                           "textPercentUnit", "widthMov", "popupCODEC", "sliderFrame", "sliderData"}) {
    EXPECT_NE(std::find(controller.outlets.begin(), controller.outlets.end(), name), controller.outlets.end()) << name;
  }
  EXPECT_TRUE(Outlet<NSButton>("button"));
  EXPECT_TRUE(Outlet<NSTextField>("dataRate") && Outlet<NSTextField>("textPercent"));
  EXPECT_TRUE(Outlet<NSSlider>("sliderFrame") && Outlet<NSSlider>("sliderData"));
  EXPECT_TRUE(Outlet<NSProgressIndicator>("progress"));
  EXPECT_EQ(NSViewNamed("noSuchControl"), nullptr);

  EXPECT_EQ(tagsOf(Outlet<NSPopUpButton>("popupCODEC")), (std::vector<NSInteger>{0, 1, 2, 3}));
  EXPECT_EQ(tagsOf(Outlet<NSPopUpButton>("popupExportSize")), (std::vector<NSInteger>{0, 1, 2, 3, 4, 11, 12, 13}));
  EXPECT_EQ(Outlet<NSButton>("button")->title().str(), "Convert…");

  // The click test compares window coordinates with the frame: the button must sit in the window itself.
  NSButton* button = Outlet<NSButton>("button");
  EXPECT_EQ(button->widget()->parentWidget(), button->widget()->window());
  EXPECT_GT(button->frame().size.width, 0);
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
  sizes->selectItemAtIndex(99);
  EXPECT_EQ(sizes->selectedItem(), nullptr);
  EXPECT_EQ(sizes->indexOfItemWithTag(7), -1);

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

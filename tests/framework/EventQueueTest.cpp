#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "tests/framework/TestWindow.h"

namespace {

NSEvent* nextMouseUp() {
  return NSApplication::sharedApplication()->nextEventMatchingMask(NSLeftMouseUpMask, NSDate::distantPast(),
                                                                   NSDefaultRunLoopMode, YES);
}

void postClick(QWindow* window, QPointF at) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QCoreApplication::postEvent(window, new QMouseEvent(type, at, window->mapToGlobal(at), Qt::LeftButton, held,
                                                        Qt::NoModifier));
  }
}

}  // namespace

TEST(EventQueue, HandsOutAClickOnTheButtonAndDropsOtherInput) {
  RecordingController& controller = TestController();
  NSButton* button = Outlet<NSButton>("button");
  QWidget* window = button->widget()->window();
  window->show();
  QCoreApplication::processEvents();
  auto* field = static_cast<QLineEdit*>(Outlet<NSTextField>("frameRate")->widget());
  field->setText("1");
  field->setFocus();
  QCoreApplication::processEvents();
  controller.calls.clear();

  // A key press first, then a click in the middle of the button, as a user would during an export.
  QCoreApplication::postEvent(window->windowHandle(), new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5"));
  const NSRect frame = button->frame();
  postClick(window->windowHandle(), {frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2});

  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  NSEvent* click = nextMouseUp();
  ASSERT_NE(click, nullptr);
  EXPECT_EQ(click->type(), NSLeftMouseUp);
  EXPECT_EQ(click->window(), button->window());
  EXPECT_TRUE(NSPointInRect(click->locationInWindow(), button->frame()));
  EXPECT_EQ(nextMouseUp(), nullptr) << "one click, handed out once";
  pool->release();

  EXPECT_EQ(field->text(), "1") << "nothing is dispatched while the export asks";
  EXPECT_TRUE(controller.calls.empty()) << "the button's action must not run";

  // The main loop runs again: what was typed during the export was meant for the window as it was
  // then, and is dropped.
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(field->text(), "1");
  EXPECT_TRUE(controller.calls.empty());
}

// A modal question in the window, and an action sent later from the main loop.
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

NSInteger NSRunAlertPanel(const NSString& title, const NSString& message, const NSString& defaultButton,
                          const NSString& alternateButton) {
  framework::EnsureApplication();
  QMessageBox box(framework::MainWindowWidget());
  box.setObjectName(QStringLiteral("alertPanel"));
  // A window manager cuts a title to the width of the box: the question goes into its body, and the
  // title names only the program.
  box.setWindowTitle(QCoreApplication::applicationName());
  box.setText(QString::fromStdString(title.str()));
  box.setInformativeText(QString::fromStdString(message.str()));
  QPushButton* chosen = box.addButton(QString::fromStdString(defaultButton.str()), QMessageBox::AcceptRole);
  QPushButton* other = nullptr;
  if (!alternateButton.str().empty()) {
    other = box.addButton(QString::fromStdString(alternateButton.str()), QMessageBox::RejectRole);
    box.setEscapeButton(other);
  }
  box.setDefaultButton(chosen);
  box.exec();
  return box.clickedButton() == other && other ? NSAlertAlternateReturn : NSAlertDefaultReturn;
}

void NSObject::performSelector(const NSString& selector, NSObject* object, double delay) {
  framework::EnsureApplication();
  QTimer::singleShot(int(delay * 1000), [this, selector, object] {
    if (auto* target = dynamic_cast<NSNibConnectable*>(this)) target->sendAction(selector, object);
  });
}

// A modal question in the window, and an action sent later from the main loop.
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

NSInteger NSRunAlertPanel(const NSString& title, const NSString& message, const NSString& defaultButton,
                          const NSString& alternateButton, const NSString& otherButton) {
  if (framework::TerminalMode()) return NSAlertDefaultReturn;
  framework::EnsureApplication();
  QMessageBox box(framework::MainWindowWidget());
  box.setObjectName(QStringLiteral("alertPanel"));
  // A window manager cuts a title to the width of the box: the question goes into its body, and the
  // title names only the program.
  box.setWindowTitle(QCoreApplication::applicationName());
  box.setText(QString::fromStdString(title.str()));
  box.setInformativeText(QString::fromStdString(message.str()));
  QPushButton* chosen = box.addButton(QString::fromStdString(defaultButton.str()), QMessageBox::AcceptRole);
  const bool hasOther = !otherButton.str().empty();
  QPushButton* alternate = nullptr;
  if (!alternateButton.str().empty()) {
    alternate = box.addButton(QString::fromStdString(alternateButton.str()),
                              hasOther ? QMessageBox::ActionRole : QMessageBox::RejectRole);
  }
  QPushButton* other =
      hasOther ? box.addButton(QString::fromStdString(otherButton.str()), QMessageBox::RejectRole) : nullptr;
  // Escape takes the other button where there is one, else the alternate.
  if (other || alternate) box.setEscapeButton(other ? other : alternate);
  box.setDefaultButton(chosen);
  box.exec();
  if (other && box.clickedButton() == other) return NSAlertOtherReturn;
  return alternate && box.clickedButton() == alternate ? NSAlertAlternateReturn : NSAlertDefaultReturn;
}

void NSObject::performSelector(const NSString& selector, NSObject* object, double delay) {
  framework::EnsureApplication();
  QTimer::singleShot(int(delay * 1000), [this, selector, object] {
    if (auto* target = dynamic_cast<NSNibConnectable*>(this)) target->sendAction(selector, object);
  });
}

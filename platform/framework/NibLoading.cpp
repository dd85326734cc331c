// Loading the window description: the controls, the object it names, and the outlets and actions
// between them. Outlets are the controls' object names; a control's action is its "action"
// property; menu tags are a "tags" property (one per item, in order); a slider names the field it
// follows in a "field" property and holds it to its range (fractions where the field says
// "fractions"); fields marked "pictureSide" take whole picture sides; the root names the
// delegate's class in "delegateClass".
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QUiLoader>
#include <QWidget>

#include <cmath>
#include <map>
#include <string>

#include "platform/framework/FieldLimits.h"
#include "platform/framework/FileDrop.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/NibLoading.h"
#include "platform/framework/NumberText.h"
#include "platform/media/stages/ExportJob.h"

namespace {

constexpr const char* kDescriptionPath = ":/pocketmovie/MainWindow.ui";

std::map<std::string, std::function<NSObject*()>>& registeredClasses() {
  static auto* classes = new std::map<std::string, std::function<NSObject*()>>;
  return *classes;
}

struct LoadedDescription {
  QWidget* root = nullptr;
  NSObject* owner = nullptr;
  std::map<std::string, NSView*> views;  // by outlet name; the framework keeps them until exit
};
LoadedDescription* loaded = nullptr;

NSView* makeView(QWidget* widget) {
  if (qobject_cast<QAbstractButton*>(widget)) return new NSButton(widget);
  if (qobject_cast<QComboBox*>(widget)) return new NSPopUpButton(widget);
  if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QLabel*>(widget)) return new NSTextField(widget);
  if (qobject_cast<QAbstractSlider*>(widget)) return new NSSlider(widget);
  if (qobject_cast<QProgressBar*>(widget)) return new NSProgressIndicator(widget);
  return nullptr;
}

void applyTags(QComboBox* combo) {
  const QStringList tags = combo->property("tags").toString().split(',', Qt::SkipEmptyParts);
  for (int i = 0; i < combo->count() && i < tags.size(); ++i) combo->setItemData(i, tags[i].trimmed().toLongLong());
}

// A slider and its field follow each other on the user's moves and edits only: the program sets
// both itself, and a field may hold a value the slider cannot show (7.5, or a rate above its range).
void coupleSliderWithField(QAbstractSlider* slider, QLineEdit* field) {
  QObject::connect(slider, &QAbstractSlider::actionTriggered, field,
                   [slider, field](int) { field->setText(QString::number(slider->sliderPosition())); });
  QObject::connect(field, &QLineEdit::textEdited, slider, [slider](const QString& text) {
    const double value = framework::LeadingDouble(text.toStdString());
    const double clamped = std::fmin(std::fmax(value, double(slider->minimum())), double(slider->maximum()));
    const QSignalBlocker quiet(slider);
    slider->setValue(int(std::lround(clamped)));
  });
}

void connectAction(QObject* control, NSObject* sender) {
  const std::string selector = control->property("action").toString().toStdString();
  if (selector.empty()) return;
  auto send = [selector, sender] { framework::SendAction(selector, sender); };
  if (auto* button = qobject_cast<QAbstractButton*>(control)) QObject::connect(button, &QAbstractButton::clicked, send);
  else if (auto* combo = qobject_cast<QComboBox*>(control)) QObject::connect(combo, &QComboBox::activated, send);  // the user's choice only
  else if (auto* field = qobject_cast<QLineEdit*>(control)) QObject::connect(field, &QLineEdit::returnPressed, send);
  else if (auto* action = qobject_cast<QAction*>(control)) QObject::connect(action, &QAction::triggered, send);
}

// Closing the window quits, so the preferences are written as for any other quit.
class QuitOnClose : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
    event->ignore();
    NSApplication::sharedApplication()->terminate(nullptr);
    return true;
  }
};

}  // namespace

void NSRegisterClass(const char* className, std::function<NSObject*()> make) {
  registeredClasses()[className] = std::move(make);
}

NSObject* NSLoadMainNib() {
  if (loaded) return loaded->owner;
  framework::EnsureApplication();
  QFile description(kDescriptionPath);
  if (!description.open(QIODevice::ReadOnly)) return nullptr;
  QUiLoader loader;
  QWidget* root = loader.load(&description);
  if (!root) return nullptr;
  const auto madeBy = registeredClasses().find(root->property("delegateClass").toString().toStdString());
  NSObject* owner = madeBy != registeredClasses().end() ? madeBy->second() : nullptr;
  if (!owner) {
    delete root;
    return nullptr;
  }
  loaded = new LoadedDescription{root, owner, {}};

  for (QComboBox* combo : root->findChildren<QComboBox*>()) applyTags(combo);
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    const std::string name = widget->objectName().toStdString();
    if (name.empty() || name.starts_with("qt_")) continue;
    if (NSView* view = makeView(widget)) loaded->views[name] = view;
  }
  if (auto* connectable = dynamic_cast<NSNibConnectable*>(owner)) {
    for (const auto& [name, view] : loaded->views) connectable->connectOutlet(NSString(name), view);
  }
  for (const auto& [name, view] : loaded->views) connectAction(view->widget(), view);
  for (QAction* action : root->findChildren<QAction*>()) {
    auto* item = new NSMenuItem(NSString(action->text().toStdString()), action->property("tag").toLongLong());
    connectAction(action, item);
  }
  for (QAbstractSlider* slider : root->findChildren<QAbstractSlider*>()) {
    const QString fieldName = slider->property("field").toString();
    if (fieldName.isEmpty()) continue;
    if (auto* field = root->findChild<QLineEdit*>(fieldName)) {
      coupleSliderWithField(slider, field);
      framework::LimitField(field, slider->minimum(), slider->maximum(), field->property("fractions").toBool());
    }
  }
  for (QLineEdit* field : root->findChildren<QLineEdit*>()) {
    if (field->property("pictureSide").toBool()) {
      framework::LimitField(field, kSmallestPictureSide, kLargestPictureSide, false);
    } else if (field->property("most").isValid()) {  // a whole number with bounds of its own
      framework::LimitField(field, field->property("least").toDouble(), field->property("most").toDouble(), false);
    }
  }
  root->installEventFilter(new QuitOnClose);
  framework::AcceptFileDrops(root);
  // Lay the window out now: a run without a window still gives the controls their frames.
  root->adjustSize();
  if (root->layout()) root->layout()->activate();

  if (auto* delegate = dynamic_cast<NSApplicationDelegate*>(owner)) NSApplication::sharedApplication()->setDelegate(delegate);
  return owner;
}

NSView* NSViewNamed(const NSString& name) {
  if (!loaded) return nullptr;
  const auto found = loaded->views.find(name.str());
  return found != loaded->views.end() ? found->second : nullptr;
}

namespace framework {

QWidget* MainWindowWidget() { return loaded ? loaded->root : nullptr; }

void SendAction(const std::string& selector, NSObject* sender) {
  if (selector == "terminate:") {
    NSApplication::sharedApplication()->terminate(sender);
    return;
  }
  if (auto* connectable = loaded ? dynamic_cast<NSNibConnectable*>(loaded->owner) : nullptr) {
    connectable->sendAction(NSString(selector), sender);
  }
}

}  // namespace framework

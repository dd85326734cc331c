// Loading the window description: the controls, the object it names, and the outlets and actions
// between them. Outlets are the controls' object names; a control's action is its "action"
// property; menu tags are a "tags" property (one per item, in order), and a menu marked
// "outputFormats" lists the table of formats; a slider names the field it follows in a "field"
// property; a slider or field names its range in the table of option ranges in a "range" property,
// and a slider's field takes the slider's range; a progress bar names the label for the time left in
// a "timeLeft" property; a "changed" property names an action that every change of the control's
// value sends; the root names the delegate's class in "delegateClass", the label that says when a
// field settled what was typed in "statusLine", and the title of the menu that lists its actions in
// "menu".
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
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QUiLoader>
#include <QWidget>

#include <cmath>
#include <map>
#include <string>

#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"
#include "platform/framework/FieldLimits.h"
#include "platform/framework/FileDrop.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/HeldInput.h"
#include "platform/framework/NibLoading.h"
#include "platform/desktop/NumberText.h"

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

void listOutputFormats(QComboBox* combo) {
  combo->clear();
  for (const OutputFormat& format : kOutputFormats) {
    combo->addItem(QStringLiteral("%1 (%2)").arg(format.title, format.extension), qlonglong(format.tag));
  }
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

// A control's "changed" action follows every change of its value, the program's own included, once
// the change's event is over: a format's choice has then opened its component.
void connectChanged(QObject* control, NSObject* sender) {
  const std::string selector = control->property("changed").toString().toStdString();
  if (selector.empty()) return;
  auto send = [selector, sender] { QTimer::singleShot(0, [selector, sender] { framework::SendAction(selector, sender); }); };
  if (auto* combo = qobject_cast<QComboBox*>(control)) QObject::connect(combo, &QComboBox::currentIndexChanged, send);
  else if (auto* field = qobject_cast<QLineEdit*>(control)) QObject::connect(field, &QLineEdit::textChanged, send);
}

const OptionRange* rangeOf(const QObject* control) {
  return OptionRangeNamed(control->property("range").toString().toStdString());
}

// The root's actions (with their shortcuts) in a menu above the controls, titled by its "menu" property.
void addMenu(QWidget* root) {
  const QString title = root->property("menu").toString();
  if (title.isEmpty() || !root->layout()) return;
  auto* bar = new QMenuBar(root);
  bar->setObjectName(QStringLiteral("menuBar"));
  bar->addMenu(title)->addActions(root->actions());
  root->layout()->setMenuBar(bar);
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

  for (QComboBox* combo : root->findChildren<QComboBox*>()) {
    if (combo->property("outputFormats").toBool()) listOutputFormats(combo);
    else applyTags(combo);
  }
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    const std::string name = widget->objectName().toStdString();
    if (name.empty() || name.starts_with("qt_")) continue;
    if (NSView* view = makeView(widget)) loaded->views[name] = view;
  }
  if (auto* connectable = dynamic_cast<NSNibConnectable*>(owner)) {
    for (const auto& [name, view] : loaded->views) connectable->connectOutlet(NSString(name), view);
  }
  for (const auto& [name, view] : loaded->views) {
    connectAction(view->widget(), view);
    connectChanged(view->widget(), view);
  }
  for (QAction* action : root->findChildren<QAction*>()) {
    auto* item = new NSMenuItem(NSString(action->text().toStdString()), action->property("tag").toLongLong());
    connectAction(action, item);
  }
  auto* notes = root->findChild<QLabel*>(root->property("statusLine").toString());
  for (QAbstractSlider* slider : root->findChildren<QAbstractSlider*>()) {
    const OptionRange* range = rangeOf(slider);
    if (range) slider->setRange(int(std::ceil(range->least)), int(range->most));
    const QString fieldName = slider->property("field").toString();
    auto* field = fieldName.isEmpty() ? nullptr : root->findChild<QLineEdit*>(fieldName);
    if (!field) continue;
    coupleSliderWithField(slider, field);
    if (range) framework::LimitField(field, *range, notes);
  }
  for (QLineEdit* field : root->findChildren<QLineEdit*>()) {
    const OptionRange* range = rangeOf(field);
    if (range) framework::LimitField(field, *range, notes);
  }
  addMenu(root);
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
  // Nothing is dispatched while an export holds the main thread. A click on the convert button that
  // came as no input (the accessibility bus's "press") is the abort that button stands for then.
  if (InputHeld()) {
    if (sender == NSViewNamed("button")) RequestAbortClick();
    return;
  }
  if (selector == "terminate:") {
    NSApplication::sharedApplication()->terminate(sender);
    return;
  }
  if (auto* connectable = loaded ? dynamic_cast<NSNibConnectable*>(loaded->owner) : nullptr) {
    connectable->sendAction(NSString(selector), sender);
  }
}

}  // namespace framework

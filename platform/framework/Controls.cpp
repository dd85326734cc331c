// The window's controls as thin wrappers over the Qt widgets that the window description made.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVariant>

#include <climits>
#include <cmath>

#include "platform/framework/AppKit.h"
#include "platform/framework/FieldLimits.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/desktop/NumberText.h"
#include "platform/desktop/WholeLines.h"

namespace {

// A field keeps the exact number it was given, so reading it back gives that number and not the
// rounded text; once the text changes, the text counts.
constexpr const char* kExactValue = "pocketmovieExactValue";
constexpr const char* kExactText = "pocketmovieExactText";

QString textOf(const QWidget* widget) {
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return framework::WholeText(label);
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  if (auto* slider = qobject_cast<const QAbstractSlider*>(widget)) return QString::number(slider->value());
  return {};
}

void setTextOf(QWidget* widget, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(text);
  else if (auto* label = qobject_cast<QLabel*>(widget)) framework::ShowWholeText(label, text);
  else if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(text);
  else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) slider->setValue(framework::LeadingInt(text.toStdString()));
  widget->setProperty(kExactText, QVariant());
}

// A field's number as it reads, once what the user left unfinished or out of range is settled.
QString numberTextOf(QWidget* widget) {
  auto* field = qobject_cast<QLineEdit*>(widget);
  if (!field) return textOf(widget);
  framework::SettleTypedText(field);
  return framework::NumberTextOf(field);
}

int truncatedToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= double(INT_MAX)) return INT_MAX;
  if (value <= double(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

NSRect NSView::frame() const {
  const QRect geometry = widget_->geometry();
  return NSRect{{double(geometry.x()), double(geometry.y())}, {double(geometry.width()), double(geometry.height())}};
}

NSWindow* NSView::window() const { return framework::WindowFor(widget_->window()); }

void NSView::displayIfNeeded() { widget_->repaint(); }

void NSControl::setEnabled(BOOL enabled) { widget_->setEnabled(enabled); }
BOOL NSControl::isEnabled() const { return widget_->isEnabled(); }

NSString NSControl::stringValue() const { return NSString(textOf(widget_).toStdString()); }
void NSControl::setStringValue(const NSString& text) { setTextOf(widget_, QString::fromStdString(text.str())); }

double NSTextField::typedDoubleValue() const {
  auto* field = qobject_cast<const QLineEdit*>(widget_);
  return framework::LeadingDouble((field ? framework::NumberTextOf(field) : textOf(widget_)).toStdString());
}

double NSControl::doubleValue() const {
  if (auto* slider = qobject_cast<const QAbstractSlider*>(widget_)) return slider->value();
  const QString text = numberTextOf(widget_);
  const QVariant exactText = widget_->property(kExactText);
  if (exactText.isValid() && exactText.toString() == text) return widget_->property(kExactValue).toDouble();
  return framework::LeadingDouble(text.toStdString());
}

int NSControl::intValue() const {
  if (auto* slider = qobject_cast<const QAbstractSlider*>(widget_)) return slider->value();
  const QString text = numberTextOf(widget_);
  const QVariant exactText = widget_->property(kExactText);
  if (exactText.isValid() && exactText.toString() == text) return truncatedToInt(widget_->property(kExactValue).toDouble());
  return framework::LeadingInt(text.toStdString());
}

void NSControl::setIntValue(int value) {
  if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) slider->setValue(value);
  else setTextOf(widget_, QString::number(value));
}

void NSControl::setDoubleValue(double value) {
  if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) {
    slider->setValue(truncatedToInt(std::round(value)));
    return;
  }
  const QString text = QString::fromStdString(framework::FormatDouble(value));
  setTextOf(widget_, text);
  widget_->setProperty(kExactValue, value);
  widget_->setProperty(kExactText, text);
}

void NSButton::setTitle(const NSString& title) { setStringValue(title); }
NSString NSButton::title() const { return stringValue(); }

NSInteger NSButton::state() const {
  auto* button = qobject_cast<const QAbstractButton*>(widget_);
  return button && button->isChecked() ? NSOnState : NSOffState;
}

void NSButton::setState(NSInteger state) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget_); button && button->isCheckable()) {
    button->setChecked(state != NSOffState);
  }
}

NSPopUpButton::NSPopUpButton(QWidget* widget) : NSControl(widget) {
  // The description put each item's tag into its data; an item without one has tag 0, as in Cocoa.
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    for (int i = 0; i < combo->count(); ++i) {
      items_.push_back(new NSMenuItem(NSString(combo->itemText(i).toStdString()), combo->itemData(i).toLongLong()));
    }
  }
}

NSPopUpButton::~NSPopUpButton() {
  for (NSMenuItem* item : items_) delete item;
}

NSMenuItem* NSPopUpButton::selectedItem() const {
  auto* combo = qobject_cast<QComboBox*>(widget_);
  return combo ? itemAtIndex(combo->currentIndex()) : nullptr;
}

NSInteger NSPopUpButton::indexOfItemWithTag(NSInteger tag) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->tag() == tag) return NSInteger(i);
  }
  return -1;
}

void NSPopUpButton::selectItemAtIndex(NSInteger index) {
  // setCurrentIndex emits no `activated`, so no action goes out.
  auto* combo = qobject_cast<QComboBox*>(widget_);
  if (!combo) return;
  combo->setCurrentIndex(index >= 0 && index < numberOfItems() ? int(index) : -1);
}

NSInteger NSPopUpButton::numberOfItems() const { return NSInteger(items_.size()); }

NSMenuItem* NSPopUpButton::itemAtIndex(NSInteger index) const {
  return index >= 0 && index < numberOfItems() ? items_[size_t(index)] : nullptr;
}

// The indicator runs from 0 to 100; the bar underneath has finer steps.
void NSProgressIndicator::setDoubleValue(double value) {
  widget_->setProperty(kExactValue, value);
  if (auto* bar = qobject_cast<QProgressBar*>(widget_); bar && bar->maximum() > bar->minimum()) {
    const double clamped = std::isnan(value) ? 0.0 : std::fmin(std::fmax(value, 0.0), 100.0);
    bar->setValue(bar->minimum() + int(std::lround(clamped / 100.0 * (bar->maximum() - bar->minimum()))));
  }
  framework::ShowProgressInTerminal(value);
  if (!framework::TerminalMode()) framework::ShowProgressInWindow(widget_, value);
}

double NSProgressIndicator::doubleValue() const { return widget_->property(kExactValue).toDouble(); }

void NSProgressIndicator::setIndeterminate(BOOL indeterminate) {
  auto* bar = qobject_cast<QProgressBar*>(widget_);
  if (!bar) return;
  if (indeterminate) {
    if (bar->maximum() > 0) widget_->setProperty("pocketmovieDeterminateMaximum", bar->maximum());
    bar->setRange(0, 0);
  } else if (isIndeterminate()) {
    const QVariant maximum = widget_->property("pocketmovieDeterminateMaximum");
    bar->setRange(0, maximum.isValid() ? maximum.toInt() : 1000);
    setDoubleValue(doubleValue());
  }
}

BOOL NSProgressIndicator::isIndeterminate() const {
  auto* bar = qobject_cast<QProgressBar*>(widget_);
  return bar && bar->minimum() == 0 && bar->maximum() == 0;
}

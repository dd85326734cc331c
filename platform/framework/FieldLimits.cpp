#include "platform/framework/FieldLimits.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QStyle>
#include <QValidator>

#include <algorithm>
#include <cmath>

#include "platform/OptionRanges.h"
#include "platform/desktop/Translation.h"
#include "platform/desktop/NumberText.h"
#include "platform/desktop/WholeLines.h"

namespace framework {

namespace {

constexpr const char* kMarkName = "outOfRangeMark";

QString shown(double value) { return QString::fromStdString(FormatDouble(value)); }

// The point every keyboard has is taken too, in every language.
QString withPoint(QString text) { return text.replace(QChar(DecimalMark()), QChar('.')); }

QString rangeText(const OptionRange& range) {
  const QString text = range.fractions ? QCoreApplication::translate("FieldLimits", "%1 to %2")
                                       : QCoreApplication::translate("FieldLimits", "whole numbers, %1 to %2");
  return text.arg(shown(range.least), shown(range.most));
}

class RangeValidator : public QValidator {
 public:
  RangeValidator(const OptionRange& range, QLabel* notes, QObject* parent)
      : QValidator(parent), range_(range), notes_(notes) {}

  // Any start of a number stays; only what is the number the field takes is acceptable.
  State validate(QString& input, int&) const override {
    static const QRegularExpression number(
        QStringLiteral("^-?[0-9]*([.%1][0-9]*)?$").arg(DecimalMark() == ',' ? QStringLiteral(",") : QString()));
    if (!number.match(input).hasMatch()) return Invalid;
    bool isNumber = false;
    const double value = withPoint(input).toDouble(&isNumber);
    if (!isNumber || !InRange(range_, value) || (!range_.fractions && value != std::trunc(value))) return Intermediate;
    lastTaken_ = input;
    return Acceptable;
  }

  // Qt would settle silently when the field is left; SettleTypedText does, and says so.
  void fixup(QString&) const override {}

  QString settled(const QString& input) const {
    bool isNumber = false;
    const double value = withPoint(input).toDouble(&isNumber);
    if (!isNumber) return lastTaken_.isEmpty() ? shown(range_.least) : lastTaken_;
    const double clamped = std::clamp(value, range_.least, range_.most);
    return shown(range_.fractions ? clamped : std::round(clamped));
  }

  bool outOfRange(const QString& input) const {
    bool isNumber = false;
    withPoint(input).toDouble(&isNumber);
    int position = 0;
    QString copy = input;
    return isNumber && validate(copy, position) != Acceptable;
  }

  const OptionRange& range() const { return range_; }
  QLabel* notes() const { return notes_; }

 private:
  const OptionRange& range_;
  QPointer<QLabel> notes_;
  mutable QString lastTaken_;
};

const RangeValidator* validatorOf(const QLineEdit* field) {
  return dynamic_cast<const RangeValidator*>(field->validator());
}

// Only typing marks a field modified; the program's setText clears the mark.
void showRangeMark(QLineEdit* field) {
  const RangeValidator* validator = validatorOf(field);
  const bool out = field->isModified() && validator->outOfRange(field->text());
  const QString range = rangeText(validator->range());
  field->setAccessibleDescription(out ? QCoreApplication::translate("FieldLimits", "Out of range: %1").arg(range)
                                      : range);
  if (QAction* mark = field->findChild<QAction*>(kMarkName)) {
    mark->setVisible(out);
    mark->setText(field->accessibleDescription());  // its name, for a screen reader
  }
  QPalette palette;
  if (out) palette.setColor(QPalette::Text, QColor(0xc0, 0x00, 0x00));
  field->setPalette(palette);
}

class SettleWhenLeft : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) SettleTypedText(static_cast<QLineEdit*>(watched));
    return false;
  }
};

}  // namespace

void LimitField(QLineEdit* field, const OptionRange& range, QLabel* notes) {
  field->setValidator(new RangeValidator(range, notes, field));
  field->setToolTip(field->toolTip().isEmpty() ? rangeText(range)
                                               : QStringLiteral("%1 (%2)").arg(field->toolTip(), rangeText(range)));
  auto* mark = field->addAction(field->style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::TrailingPosition);
  mark->setObjectName(kMarkName);
  field->installEventFilter(new SettleWhenLeft(field));
  QObject::connect(field, &QLineEdit::textChanged, field, [field] { showRangeMark(field); });
  showRangeMark(field);
}

void SettleTypedText(QLineEdit* field) {
  const RangeValidator* validator = validatorOf(field);
  if (!validator || !field->isModified() || field->hasAcceptableInput()) return;
  const QString typed = field->text();
  const QString settled = validator->settled(typed);
  field->setText(settled);
  Q_EMIT field->textEdited(settled);  // a slider beside it follows, as it follows typing
  if (validator->notes() && validator->outOfRange(typed)) {
    ShowWholeText(validator->notes(), QCoreApplication::translate("FieldLimits", "%1: %2 became %3 (%4)")
                                          .arg(field->accessibleName(), typed, settled, rangeText(validator->range())));
  }
}

QString NumberTextOf(const QLineEdit* field) { return validatorOf(field) ? withPoint(field->text()) : field->text(); }

}  // namespace framework

#include "platform/framework/FieldLimits.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>

#include <algorithm>
#include <cmath>

#include "platform/framework/NumberText.h"

namespace framework {

namespace {

constexpr int kMostDecimals = 3;

class RangeValidator : public QValidator {
 public:
  RangeValidator(double minimum, double maximum, bool fractions, QObject* parent)
      : QValidator(parent), minimum_(minimum), maximum_(maximum), fractions_(fractions) {}

  State validate(QString& input, int&) const override {
    static const QRegularExpression whole(QStringLiteral("^[0-9]*$"));
    static const QRegularExpression decimal(QStringLiteral("^[0-9]*(\\.[0-9]{0,%1})?$").arg(kMostDecimals));
    if (!(fractions_ ? decimal : whole).match(input).hasMatch()) return Invalid;
    bool isNumber = false;
    const double value = input.toDouble(&isNumber);
    if (!isNumber) return Intermediate;  // "" or "."
    if (value > maximum_) return Invalid;  // more digits only make it larger
    if (value < minimum_ || input.endsWith('.')) return Intermediate;
    lastTaken_ = input;
    return Acceptable;
  }

  void fixup(QString& input) const override {
    bool isNumber = false;
    const double value = input.toDouble(&isNumber);
    if (!isNumber) {
      input = lastTaken_.isEmpty() ? text(minimum_) : lastTaken_;
      return;
    }
    input = text(std::clamp(value, minimum_, maximum_));
  }

 private:
  QString text(double value) const {
    return QString::fromStdString(FormatDouble(fractions_ ? value : std::round(value)));
  }

  double minimum_;
  double maximum_;
  bool fractions_;
  mutable QString lastTaken_;
};

}  // namespace

void LimitField(QLineEdit* field, double minimum, double maximum, bool fractions) {
  field->setValidator(new RangeValidator(minimum, maximum, fractions, field));
}

void SettleTypedText(QLineEdit* field) {
  const QValidator* validator = field->validator();
  // Only typing marks a field modified; the program's setText clears the mark.
  if (!validator || !field->isModified() || field->hasAcceptableInput()) return;
  QString text = field->text();
  validator->fixup(text);
  field->setText(text);
}

}  // namespace framework

// Number fields that keep every keystroke of a number: a value outside the field's range, or a
// fraction where only whole numbers go, stays as typed and is marked, with the range in the
// field's tooltip and accessible description; it is settled to the nearest number the field takes
// when the field is left or read, and a line beside the window says so. Letters are refused.
#pragma once

#include <QString>

struct OptionRange;
class QLabel;
class QLineEdit;

namespace framework {

// Holds the field to the range; `notes` (may be null) shows the line said when a number is settled.
void LimitField(QLineEdit* field, const OptionRange& range, QLabel* notes);

// Text the user typed that the field does not take (empty, out of range, a fraction in a whole
// number field) becomes the nearest number it takes, or the last one it took. Numbers the program
// put there stay: a run's options may go beyond what the window offers.
void SettleTypedText(QLineEdit* field);

// The field's text as a number reads, the decimal comma of the user's language as a point.
QString NumberTextOf(const QLineEdit* field);

}  // namespace framework

// Number fields that take only the numbers they stand for: typing outside the range or anything
// but digits is refused as it is typed, and what the user left unfinished is settled when the
// field is left or read.
#pragma once

class QLineEdit;

namespace framework {

// Whole numbers from minimum to maximum, or numbers with up to three decimals when fractions are
// allowed (7.5 frames per second).
void LimitField(QLineEdit* field, double minimum, double maximum, bool fractions);

// Text the user typed that is no number the field takes yet (empty, or below the minimum) becomes
// the nearest one it takes, or the last number it took. Numbers the program put there stay: a run's
// options may go beyond what the window offers.
void SettleTypedText(QLineEdit* field);

}  // namespace framework

// Every line of the window whole: a wrapping label breaks a long path at its slashes and makes the
// window tall enough for all its lines; a label marked "elide" shows a long text shortened in its
// middle, in the width it is given, with the whole text in its tooltip and accessible description.
#pragma once

#include <QString>

class QLabel;

namespace framework {

void ShowWholeText(QLabel* label, const QString& text);
// The text as it was given, not as shown.
QString WholeText(const QLabel* label);

}  // namespace framework

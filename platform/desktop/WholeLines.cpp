#include "platform/desktop/WholeLines.h"

#include <QEvent>
#include <QLabel>
#include <QVariant>

namespace framework {

namespace {

constexpr const char* kWholeText = "pocketmovieWholeText";
constexpr QChar kBreakHere(0x200B);  // a zero-width space: a line may break there, nothing shows

// A layout gives a wrapping label no more height than one line needs, and a window never grows
// for it: the label asks for the height of all its lines at its width, which the window then takes.
void fitToWidth(QLabel* label) {
  if (label->property("elide").toBool()) {
    label->setText(label->fontMetrics().elidedText(WholeText(label), Qt::ElideMiddle, label->width()));
  } else if (label->wordWrap()) {
    label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(label->width()));
  }
}

// Fits the text anew whenever the label's width changes.
class FitOnResize : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) fitToWidth(static_cast<QLabel*>(watched));
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void ShowWholeText(QLabel* label, const QString& text) {
  if (!label->property(kWholeText).isValid()) label->installEventFilter(new FitOnResize(label));
  label->setProperty(kWholeText, text);
  if (label->property("elide").toBool()) {
    label->setToolTip(text);
    label->setAccessibleDescription(text);
  } else {
    QString breakable = text;
    if (label->wordWrap()) {
      breakable.replace(QLatin1Char('/'), QStringLiteral("/") + kBreakHere);
      label->setAccessibleName(text);  // a screen reader reads the text as given
    }
    label->setText(breakable);
  }
  fitToWidth(label);
}

QString WholeText(const QLabel* label) {
  const QVariant whole = label->property(kWholeText);
  return whole.isValid() ? whole.toString() : label->text();
}

}  // namespace framework

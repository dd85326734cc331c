// While a run's bar moves, the window says how long the run still needs beside the percentage (in
// the label the bar names in its "timeLeft" property) and carries the percentage in its title,
// where a task bar shows it while the window is behind others. At 0 (no run) both are gone.
#include <QCoreApplication>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <cmath>

#include "platform/desktop/TimeLeft.h"
#include "platform/framework/FrameworkInternal.h"

namespace framework {

void ShowProgressInWindow(QWidget* bar, double percent) {
  static TimeLeft left;
  const std::string timeLeft = left.after(percent);
  QWidget* window = bar->window();
  constexpr const char* kPlainTitle = "pocketmovieTitle";
  if (!window->property(kPlainTitle).isValid()) window->setProperty(kPlainTitle, window->windowTitle());
  const QString plainTitle = window->property(kPlainTitle).toString();
  const bool running = percent > 0 && percent < 100;
  window->setWindowTitle(running ? QCoreApplication::translate("WindowProgress", "%1% – %2")
                                       .arg(int(std::lround(percent)))
                                       .arg(plainTitle)
                                 : plainTitle);
  const QString labelName = bar->property("timeLeft").toString();
  auto* label = labelName.isEmpty() ? nullptr : window->findChild<QLabel*>(labelName);
  if (!label) return;
  const QString text = running ? QString::fromStdString(timeLeft) : QString();
  if (label->text() == text) return;
  label->setText(text);
  label->repaint();  // the main loop does not draw while a run holds the main thread
}

}  // namespace framework

#include "platform/desktop/SizeEstimateText.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace framework {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("SizeEstimate", text); }

QString lengthText(double seconds) {
  const long whole = std::lround(seconds);
  if (whole >= 3600) return QString::asprintf("%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return QString::asprintf("%ld:%02ld", whole / 60, whole % 60);
}

}  // namespace

std::string ByteCountText(double bytes) {
  const QLocale locale;
  if (bytes < 1024 * 1024) {
    return QCoreApplication::translate("Notification", "%1 KB").arg(locale.toString(qRound64(bytes / 1024.0))).toStdString();
  }
  return QCoreApplication::translate("Notification", "%1 MB").arg(locale.toString(bytes / 1048576.0, 'f', 1)).toStdString();
}

std::string PerMinuteEstimateText(double bytes) {
  return tr("about %1 a minute").arg(QString::fromStdString(ByteCountText(bytes))).toStdString();
}

std::string MovieEstimateText(double seconds, int width, int height, double bytes) {
  const QString picture = width > 0 ? QStringLiteral("%1×%2").arg(width).arg(height) : tr("sound only");
  const QString size = QString::fromStdString(ByteCountText(bytes));
  if (seconds < 0) return tr("%1, length unknown").arg(picture).toStdString();
  return tr("%1, %2 → about %3").arg(lengthText(seconds), picture, size).toStdString();
}

}  // namespace framework

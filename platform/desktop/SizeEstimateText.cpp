#include "platform/desktop/SizeEstimateText.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace framework {

namespace {

QString lengthText(double seconds) {
  const long whole = std::lround(seconds);
  if (whole >= 3600) return QString::asprintf("%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return QString::asprintf("%ld:%02ld", whole / 60, whole % 60);
}

}  // namespace

std::string ByteCountText(double bytes) {
  const QLocale locale;
  if (bytes < 1024 * 1024) {
    const QString kilobytes = locale.toString(qRound64(bytes / 1024.0));
    return QCoreApplication::translate("Notification", "%1 KB").arg(kilobytes).toStdString();
  }
  const QString megabytes = locale.toString(bytes / 1048576.0, 'f', 1);
  return QCoreApplication::translate("Notification", "%1 MB").arg(megabytes).toStdString();
}

std::string PerMinuteEstimateText(double bytes) {
  const QString size = QString::fromStdString(ByteCountText(bytes));
  return QCoreApplication::translate("SizeEstimate", "about %1 a minute").arg(size).toStdString();
}

std::string MovieEstimateText(double seconds, int width, int height, double bytes) {
  const QString picture = width > 0 ? QStringLiteral("%1×%2").arg(width).arg(height)
                                    : QCoreApplication::translate("SizeEstimate", "sound only");
  const QString size = QString::fromStdString(ByteCountText(bytes));
  if (seconds < 0) {
    return QCoreApplication::translate("SizeEstimate", "%1, length unknown").arg(picture).toStdString();
  }
  return QCoreApplication::translate("SizeEstimate", "%1, %2 → about %3").arg(lengthText(seconds), picture, size).toStdString();
}

}  // namespace framework

#include "platform/desktop/WrittenNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <sys/stat.h>

#include "platform/desktop/SizeEstimateText.h"

namespace framework {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kFileManager = "org.freedesktop.FileManager1";
constexpr const char* kOpenFolderAction = "open-folder";
// A service that does not answer at once is not worth a user's wait at the end of a run.
constexpr int kCallTimeoutMs = 1000;
// How long the button is answered; the notification is taken back afterwards, so that no button
// is left that does nothing.
constexpr int kButtonLifetimeMs = 60 * 1000;

// Only a bus that is there: an unset address would let the D-Bus library start a bus of its own.
bool sessionBusExpected() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
  struct stat info {};
  return !runtime.empty() && stat((runtime + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool serviceAvailable(QDBusConnectionInterface* bus, const QString& name) {
  if (bus->isServiceRegistered(name)) return true;
  const QDBusReply<QStringList> activatable = bus->call("ListActivatableNames");
  return activatable.isValid() && activatable.value().contains(name);
}

void showInFolder(QDBusConnection bus, const QString& path) {
  const QString file = QUrl::fromLocalFile(path).toString();
  if (serviceAvailable(bus.interface(), kFileManager)) {
    QDBusInterface manager(kFileManager, "/org/freedesktop/FileManager1", kFileManager, bus);
    manager.setTimeout(kCallTimeoutMs);
    if (manager.call("ShowItems", QStringList{file}, QString()).type() != QDBusMessage::ErrorMessage) return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

// Receives the service's signals for our notification.
class Answer : public QObject {
  Q_OBJECT
 public:
  Answer(uint notification, QEventLoop* loop) : notification_(notification), loop_(loop) {}
  bool openFolder = false;
  bool closed = false;  // by the user or the service

 public slots:
  void actionInvoked(uint notification, const QString& action) {
    if (notification != notification_) return;
    openFolder = action == kOpenFolderAction || action == "default";
    loop_->quit();
  }
  void notificationClosed(uint notification, uint) {
    if (notification != notification_) return;
    closed = true;
    loop_->quit();
  }

 private:
  uint notification_;
  QEventLoop* loop_;
};

}  // namespace

void ShowInFolder(const std::string& path) {
  const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
  QDBusConnection bus = sessionBusExpected() ? QDBusConnection::sessionBus() : QDBusConnection(QString());
  if (bus.isConnected()) return showInFolder(bus, file);
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

void AnnounceWrittenMovie(const std::string& outputPath, QWidget* window) {
  if (outputPath.empty() || !sessionBusExpected()) return;
  const QFileInfo output(QString::fromStdString(outputPath));
  if (!output.isFile()) return;
  if (window) window->hide();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !serviceAvailable(bus.interface(), kService)) return;

  QDBusInterface notifications(kService, kPath, kService, bus);
  notifications.setTimeout(kCallTimeoutMs);
  const QDBusReply<QStringList> capabilities = notifications.call("GetCapabilities");
  const bool buttons = capabilities.isValid() && capabilities.value().contains("actions");
  QStringList actions;
  if (buttons) {
    const QString label = QCoreApplication::translate("Notification", "Show in Folder");
    actions << "default" << label << kOpenFolderAction << label;
  }
  const QString body = output.absolutePath().toHtmlEscaped();  // bodies may be read as markup
  const QVariantMap hints{{"desktop-entry", "pocketmovie"}, {"category", "transfer.complete"},
                    // a history would keep a button that nobody answers once this process is gone
                    {"transient", buttons}};
  const QString summary = QCoreApplication::translate("Notification", "%1 written, %2")
                              .arg(output.fileName(), QString::fromStdString(ByteCountText(double(output.size()))));
  const QDBusReply<uint> posted = notifications.call("Notify", QStringLiteral("pocketmovie"), 0u,
                                                     QStringLiteral("pocketmovie"), summary, body, actions, hints, -1);
  if (!buttons || !posted.isValid()) return;

  QEventLoop loop;
  Answer answer(posted.value(), &loop);
  bus.connect(kService, kPath, kService, "ActionInvoked", &answer, SLOT(actionInvoked(uint, QString)));
  bus.connect(kService, kPath, kService, "NotificationClosed", &answer, SLOT(notificationClosed(uint, uint)));
  QTimer::singleShot(kButtonLifetimeMs, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (answer.openFolder) showInFolder(bus, output.absoluteFilePath());
  else if (!answer.closed) notifications.call("CloseNotification", posted.value());
}

}  // namespace framework

#include "WrittenNotification.moc"

#include "platform/framework/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "platform/framework/AppKit.h"
#include "platform/framework/HeldInput.h"

namespace framework {

namespace {

// The first of the dragged items when it is a file on this machine; empty otherwise.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl& url = data->urls().first();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return {};
  return url.toLocalFile();
}

class FileDropFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!InputHeld() && !DroppedFile(drag->mimeData()).isEmpty()) {
          drag->acceptProposedAction();
        } else {
          drag->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedFile(drop->mimeData());
        if (InputHeld() || path.isEmpty()) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // Later, from the main loop: the drag source waits for this event's answer, and a
        // conversion started here would hold it until the export ends.
        QTimer::singleShot(0, qApp, [path] {
          if (InputHeld()) return;
          NSApplication* application = NSApplication::sharedApplication();
          if (NSApplicationDelegate* delegate = application->delegate()) {
            delegate->applicationOpenFile(application, NSString(path.toStdString()));
          }
        });
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void AcceptFileDrops(QWidget* window) {
  if (!window) return;
  window->setAcceptDrops(true);
  auto* filter = new FileDropFilter(window);
  window->installEventFilter(filter);
  // The fields take drops of text themselves and would type a dropped file's name into a size.
  for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(filter);
}

}  // namespace framework

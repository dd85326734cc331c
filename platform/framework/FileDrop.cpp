#include "platform/framework/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <vector>

#include "platform/framework/AppKit.h"
#include "platform/framework/HeldInput.h"

namespace framework {

namespace {

// The dragged items that are files on this machine, in the order dragged.
std::vector<NSString> DroppedFiles(const QMimeData* data) {
  std::vector<NSString> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) files.emplace_back(url.toLocalFile().toStdString());
  }
  return files;
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
        if (!InputHeld() && !DroppedFiles(drag->mimeData()).empty()) {
          drag->acceptProposedAction();
        } else {
          drag->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<NSString> files = DroppedFiles(drop->mimeData());
        if (InputHeld() || files.empty()) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // Later, from the main loop: the drag source waits for this event's answer, and a
        // conversion started here would hold it until the export ends.
        QTimer::singleShot(0, qApp, [files] {
          if (InputHeld()) return;
          NSApplication* application = NSApplication::sharedApplication();
          NSApplicationDelegate* delegate = application->delegate();
          if (!delegate) return;
          if (files.size() == 1) {
            delegate->applicationOpenFile(application, files.front());
          } else {
            delegate->applicationOpenFiles(application, files);
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

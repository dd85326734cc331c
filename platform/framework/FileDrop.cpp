#include "platform/framework/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <vector>

#include "platform/desktop/MovieFinder.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/framework/HeldInput.h"

namespace framework {

namespace {

// The dragged items that are files or folders on this machine, in the order dragged.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    const QFileInfo item(url.toLocalFile());
    if (url.isLocalFile() && (item.isFile() || item.isDir())) files.push_back(item.filePath().toStdString());
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
        const std::vector<std::string> files = DroppedFiles(drop->mimeData());
        if (InputHeld() || files.empty()) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // Later, from the main loop: the drag source waits for this event's answer, and a
        // conversion started here would hold it until the export ends.
        QTimer::singleShot(0, qApp, [files] {
          if (!InputHeld()) OpenInWindow(files, false);
        });
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void OpenInWindow(const std::vector<std::string>& paths, bool recursive) {
  NSApplication* application = NSApplication::sharedApplication();
  NSApplicationDelegate* delegate = application->delegate();
  if (!delegate || paths.empty()) return;
  const std::vector<std::string> movies = FindMovies(paths, recursive);
  if (movies.empty()) {
    // A folder without movies: its open fails with this reason, in the window's status line.
    NoteFailure({FailureCode::noMoviesFound, paths.front()});
    delegate->applicationOpenFile(application, paths.front());
  } else if (movies.size() == 1) {
    delegate->applicationOpenFile(application, movies.front());
  } else {
    delegate->applicationOpenFiles(application, std::vector<NSString>(movies.begin(), movies.end()));
  }
}

void AcceptFileDrops(QWidget* window) {
  if (!window) return;
  window->setAcceptDrops(true);
  auto* filter = new FileDropFilter(window);
  window->installEventFilter(filter);
  // The fields take drops of text themselves and would type a dropped file's name into a size.
  for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(filter);
}

}  // namespace framework

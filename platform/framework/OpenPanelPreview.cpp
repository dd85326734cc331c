#include "platform/framework/OpenPanelPreview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "platform/framework/ApplicationRun.h"

namespace framework {

namespace {

// The movie at the path, opened quietly: a file that is no movie says nothing here, and a pipe or
// a device is not opened at all, since it would hold the panel.
NSString describeMovieAt(const QString& path, const std::function<NSString(Movie)>& describe) {
  if (!QFileInfo(path).isFile() || SourceFileProblem(path.toStdString())) return {};
  FSSpec spec{};
  SInt16 file = 0;
  if (FSMakeFSSpecFromPath(path.toUtf8().constData(), &spec) != noErr || OpenMovieFile(&spec, &file, fsRdPerm) != noErr) {
    return {};
  }
  Movie movie = nullptr;
  NSString line;
  if (NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr) == noErr && movie) {
    line = describe(movie);
    DisposeMovie(movie);
  }
  CloseMovieFile(file);
  return line;
}

}  // namespace

void AddMoviePreview(QFileDialog* panel, std::function<NSString(Movie movie)> describe) {
  // Qt's own panel, which takes widgets of ours; a desktop's panel would not show the line.
  panel->setOption(QFileDialog::DontUseNativeDialog);
  auto* grid = qobject_cast<QGridLayout*>(panel->layout());
  if (!grid) return;
  auto* line = new QLabel(panel);
  line->setObjectName(QStringLiteral("moviePreview"));
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(line, grid->rowCount(), 0, 1, grid->columnCount());
  auto show = [line, describe](const QString& path) {
    line->setText(QString::fromStdString(describeMovieAt(path, describe).str()));
    line->setAccessibleDescription(line->text());
  };
  // A movie clicked in the list, or a name typed.
  QObject::connect(panel, &QFileDialog::currentChanged, line, show);
  if (auto* name = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    QObject::connect(name, &QLineEdit::textChanged, line, [panel, show] { show(panel->selectedFiles().value(0)); });
  }
}

}  // namespace framework

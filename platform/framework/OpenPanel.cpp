// The open panel: a file dialog that offers the movie types it is given.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QStringList>

#include <array>
#include <vector>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/OpenPanelPreview.h"

NSOpenPanel* NSOpenPanel::openPanel() {
  auto* panel = new NSOpenPanel;
  NSAutoreleasePool::addObject(panel);
  return panel;
}

NSInteger NSOpenPanel::runModalForDirectory(const NSString& directory, const NSString& file, const NSArray& fileTypes) {
  framework::EnsureApplication();
  QStringList patterns;
  for (const NSString& type : fileTypes) patterns << QStringLiteral("*.") + QString::fromStdString(type.str());
  // A short title, which the window manager shows whole; what the choice is for stands in the panel.
  const QString title = chooseDirectories_ ? QCoreApplication::translate("OpenPanel", "Choose a Folder")
                                           : QCoreApplication::translate("OpenPanel", "Choose a movie to convert");
  // A remembered folder that has gone since opens where the user keeps videos.
  const QString folder = QString::fromStdString(directory.str());
  QFileDialog dialog(framework::MainWindowWidget(), title,
                     QDir(folder).exists() ? folder : QString::fromStdString(NSUserMoviesDirectory().str()));
  dialog.setObjectName(chooseDirectories_ ? QStringLiteral("folderPanel") : QStringLiteral("openPanel"));
  if (!message_.str().empty()) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // a panel of Qt's own takes the line
    auto* message = new QLabel(QString::fromStdString(message_.str()), &dialog);
    message->setObjectName(QStringLiteral("panelMessage"));
    message->setWordWrap(true);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      // Above everything else: each item of the panel moves one row down.
      std::vector<std::array<int, 4>> places;
      std::vector<QLayoutItem*> items;
      for (int i = grid->count(); i-- > 0;) {
        std::array<int, 4>& place = places.emplace_back();
        grid->getItemPosition(i, &place[0], &place[1], &place[2], &place[3]);
        items.push_back(grid->takeAt(i));
      }
      for (size_t i = 0; i < items.size(); ++i) {
        grid->addItem(items[i], places[i][0] + 1, places[i][1], places[i][2], places[i][3]);
      }
      grid->addWidget(message, 0, 0, 1, -1);
    }
  }
  dialog.setFileMode(chooseDirectories_   ? QFileDialog::Directory
                     : multipleSelection_ ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
  if (chooseDirectories_) dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  if (!patterns.isEmpty()) filters << QCoreApplication::translate("OpenPanel", "Movies (%1)").arg(patterns.join(' '));
  filters << QCoreApplication::translate("OpenPanel", "All files (*)");
  dialog.setNameFilters(filters);
  if (preview_ && !chooseDirectories_) framework::AddMoviePreview(&dialog, preview_);
  if (!file.str().empty()) dialog.selectFile(QString::fromStdString(file.str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
  filenames_.clear();
  for (const QString& chosen : dialog.selectedFiles()) filenames_.emplace_back(chosen.toStdString());
  return 1;
}

NSString NSOpenPanel::filename() const { return filenames_.empty() ? NSString() : filenames_.front(); }

NSArray NSOpenPanel::filenames() const { return filenames_; }

void NSOpenPanel::setMessage(const NSString& message) { message_ = message; }

// The open panel: a file dialog that offers the movie types it is given.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

NSOpenPanel* NSOpenPanel::openPanel() {
  auto* panel = new NSOpenPanel;
  NSAutoreleasePool::addObject(panel);
  return panel;
}

NSInteger NSOpenPanel::runModalForDirectory(const NSString& directory, const NSString& file, const NSArray& fileTypes) {
  framework::EnsureApplication();
  QStringList patterns;
  for (const NSString& type : fileTypes) patterns << QStringLiteral("*.") + QString::fromStdString(type.str());
  const QString title = message_.str().empty() ? QCoreApplication::translate("OpenPanel", "Choose a movie to convert")
                                               : QString::fromStdString(message_.str());
  const QString folder = QString::fromStdString(directory.str());
  QFileDialog dialog(framework::MainWindowWidget(), title,
                     QDir(folder).exists() ? folder : QString::fromStdString(NSUserMoviesDirectory().str()));
  dialog.setObjectName(chooseDirectories_ ? QStringLiteral("folderPanel") : QStringLiteral("openPanel"));
  dialog.setFileMode(chooseDirectories_   ? QFileDialog::Directory
                     : multipleSelection_ ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
  if (chooseDirectories_) dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  if (!patterns.isEmpty()) filters << QCoreApplication::translate("OpenPanel", "Movies (%1)").arg(patterns.join(' '));
  filters << QCoreApplication::translate("OpenPanel", "All files (*)");
  dialog.setNameFilters(filters);
  if (!file.str().empty()) dialog.selectFile(QString::fromStdString(file.str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
  filenames_.clear();
  for (const QString& chosen : dialog.selectedFiles()) filenames_.emplace_back(chosen.toStdString());
  return 1;
}

NSString NSOpenPanel::filename() const { return filenames_.empty() ? NSString() : filenames_.front(); }

NSArray NSOpenPanel::filenames() const { return filenames_; }

void NSOpenPanel::setMessage(const NSString& message) { message_ = message; }

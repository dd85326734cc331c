#include "platform/framework/EndOfRun.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "platform/desktop/FailureText.h"
#include "platform/desktop/SizeEstimateText.h"
#include "platform/desktop/Translation.h"
#include "platform/desktop/WrittenNotification.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/ApplicationRun.h"
#include "platform/framework/RunFailure.h"
#include "platform/movies/MovieExport.h"

namespace framework {

namespace {

// Long enough to read a line and reach its button; the window then quits by itself.
constexpr int kShownMilliseconds = 6000;

std::string nameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

long long bytesOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
}

// "3:57": how much of the source an aborted output holds.
std::string lengthOf(const std::string& path) {
  NSURL* url = (new NSURL)->initFileURLWithPath(path);
  NSMovie* movie = (new NSMovie)->initWithURL(url, YES);
  url->release();
  if (!movie) return {};
  const TimeScale scale = GetMovieTimeScale(movie->QTMovie());
  const long seconds = scale > 0 ? long(GetMovieDuration(movie->QTMovie()) / scale) : 0;
  movie->release();
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
  return text;
}

}  // namespace

EndOfRun LastRunEnd(const std::vector<std::string>& outputsWritten) {
  if (outputsWritten.size() > 1) {
    long long bytes = 0;
    for (const std::string& output : outputsWritten) bytes += std::max(bytesOf(output), 0LL);
    return {Fill(Tr("EndOfRun", "Written: %1 movies, %2"), std::to_string(outputsWritten.size()), ByteCountText(double(bytes))),
            outputsWritten.back(), {}};
  }
  const MovieExportReport report = LastMovieExportReport();
  const std::string output = !outputsWritten.empty()      ? outputsWritten.front()
                             : report.outputPath.empty() ? LastOutputPath()
                                                         : report.outputPath;
  if (!outputsWritten.empty() || LastRunWritten()) {
    return {Fill(Tr("EndOfRun", "Written: %1, %2"), nameOf(output), ByteCountText(double(bytesOf(output)))), output,
            report.notice && LastRunWritten() ? FailureText(report.notice) : std::string()};
  }
  const Failure failure = LastRunFailure();
  if (failure.code == FailureCode::abortedEarlierKept) {
    return {Fill(Tr("EndOfRun", "Aborted: the earlier %1 is kept"), nameOf(output)), output, {}};
  }
  if (failure.code != FailureCode::aborted) return {};
  if (bytesOf(output) <= 0) return {Tr("EndOfRun", "Aborted: nothing was written"), {}, {}};
  return {Fill(Tr("EndOfRun", "Aborted: %1 keeps the first %2"), nameOf(output), lengthOf(output)), output, {}};
}

void ShowEndOfRun(const EndOfRun& end, QWidget* window) {
  if (end.text.empty() || !window || !window->isVisible()) return;
  QMessageBox box(window);
  box.setObjectName(QStringLiteral("endOfRun"));
  box.setWindowTitle(QStringLiteral("pocketmovie"));
  box.setText(QString::fromStdString(end.text));
  if (!end.notice.empty()) box.setInformativeText(QString::fromStdString(end.notice));
  QPushButton* show = nullptr;
  if (!end.shownFile.empty()) {
    show = box.addButton(QCoreApplication::translate("Notification", "Show in Folder"), QMessageBox::ActionRole);
  }
  box.setDefaultButton(box.addButton(QMessageBox::Close));
  QTimer::singleShot(kShownMilliseconds, &box, &QMessageBox::reject);
  box.exec();
  if (show && box.clickedButton() == show) ShowInFolder(end.shownFile);
}

}  // namespace framework

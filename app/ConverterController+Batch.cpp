// Several movies opened onto the application at once: each is converted in turn through the
// open-file event, with the window's options, and the application quits after the last one.
#include <algorithm>
#include <string>

#include "app/ConverterController.h"

namespace {

// Why the run that just ended wrote no movie: what the window showed, without the movie's path,
// which the list names itself.
std::string reasonOfLastRun(NSError failure, const NSString& source, const NSString& convertFrom) {
  const MovieExportReport report = LastMovieExportReport();
  if (gConvertMode == kConvertAbortRequested) return ConverterController::localized("BatchAborted");
  if (failure.code() == FailureCode::none && report.failure) failure = NSError(report.failure);
  if (failure.code() == FailureCode::none) {
    return ConverterController::localized(report.started ? "BatchExportFailed" : "BatchNotOpened",
                                          {std::to_string(report.status)});
  }
  const bool aboutTheMovie = failure.filePath() == source || failure.filePath() == convertFrom;
  return (aboutTheMovie ? failure.localizedFailureReason() : failure.localizedDescription()).str();
}

}  // namespace

void ConverterController::applicationOpenFiles(NSApplication* application, const std::vector<NSString>& filenames) {
  (void)application;
  if (filenames.empty()) return;
  if (gBatchInProgress) {  // more movies while a batch runs join its end
    m_batchQueue.insert(m_batchQueue.end(), filenames.begin(), filenames.end());
    m_batchTotal += filenames.size();
    return;
  }
  // One question for every earlier output beside the movies, before the first is converted.
  const std::string extension = OutputFormatOfTag(m_nDefault3GPP).extension;
  std::vector<NSString> earlierOutputs;
  for (const NSString& source : filenames) {
    BOOL folder = NO;
    if (NSFileManager::defaultManager()->fileExistsAtPath(source.str() + extension, &folder) && !folder) {
      earlierOutputs.push_back(source.str() + extension);
    }
  }
  m_earlierOutputs = earlierOutputs.empty() ? kAskAboutEarlierOutputs : askAboutEarlierOutputs(earlierOutputs, extension);
  if (m_earlierOutputs == NSAlertOtherReturn) {
    m_earlierOutputs = kAskAboutEarlierOutputs;
    return;
  }
  m_batchQueue = filenames;
  m_batchTotal = filenames.size();
  m_batchNumber = 0;
  m_batchFailures.clear();
  m_batchOutputs.clear();
  m_batchFolder = NSString();
  gBatchInProgress = YES;
  openNextQueuedMovie(nullptr);
}

void ConverterController::openNextQueuedMovie(id sender) {
  (void)sender;
  if (!gBatchInProgress) return;
  if (m_batchQueue.empty()) return finishBatch();
  const NSString source = m_batchQueue.front();
  m_batchQueue.erase(m_batchQueue.begin());
  ++m_batchNumber;
  if (textBatch && m_batchTotal > 1) {
    const std::string name = source.lastPathComponent().str();
    textBatch->setStringValue(
        localized("BatchPosition", {std::to_string(m_batchNumber), std::to_string(m_batchTotal), name}));
    textBatch->displayIfNeeded();
  }
  convertQueuedMovie(source);

  if (gConvertMode == kConvertAbortRequested && !m_batchQueue.empty()) {
    const std::string rest = localized(m_batchQueue.size() == 1 ? "BatchStillToConvertOne" : "BatchStillToConvertMany",
                                       {std::to_string(m_batchQueue.size())});
    if (NSRunAlertPanel(localized("BatchSkipQuestion"), rest, localized("BatchSkip"), localized("BatchConvert")) ==
        NSAlertDefaultReturn) {
      for (const NSString& skipped : m_batchQueue) {
        m_batchFailures.push_back(localized("BatchFailure", {skipped.lastPathComponent().str(), localized("BatchSkipped")}));
      }
      m_batchQueue.clear();
    }
  }
  if (m_batchQueue.empty()) return finishBatch();
  // From the main loop: the window draws and the button title settles between two movies.
  performSelector("openNextQueuedMovie:", nullptr, 0);
}

// One movie of the batch. A movie whose folder cannot take the output is converted through a
// link to it in a hidden folder inside the folder the user chooses (once per batch); only a
// complete output is moved out of it.
void ConverterController::convertQueuedMovie(const NSString& source) {
  NSFileManager* files = NSFileManager::defaultManager();
  const std::string extension = OutputFormatOfTag(m_nDefault3GPP).extension;
  const std::string name = source.lastPathComponent().str();
  NSString convertFrom = source;
  std::string staging;
  std::string output;  // where a movie converted in another folder goes
  if (!files->isWritableFileAtPath(source.stringByDeletingLastPathComponent())) {
    if (m_batchFolder.str().empty()) {
      NSOpenPanel* panel = NSOpenPanel::openPanel();
      panel->setCanChooseDirectories(YES);
      panel->setMessage(localized("BatchChooseFolder", {name}));
      if (panel->runModalForDirectory(NSHomeDirectory(), "", {}) == 1) m_batchFolder = panel->filename();
    }
    if (m_batchFolder.str().empty()) {
      m_batchFailures.push_back(localized("BatchFailure", {name, localized("BatchNoFolder")}));
      return;
    }
    output = m_batchFolder.str() + "/" + name + extension;
    NSInteger earlier = m_earlierOutputs;
    if (earlier == kAskAboutEarlierOutputs && files->fileExistsAtPath(output, nullptr)) {
      earlier = askAboutEarlierOutputs({output}, extension);
    }
    if (earlier == NSAlertOtherReturn) {
      m_batchFailures.push_back(localized("BatchFailure", {name, localized("BatchSkipped")}));
      return;
    }
    // A movie of the same name earlier in this batch keeps its output, as does one the user keeps.
    for (int number = 2; std::find(m_batchOutputs.begin(), m_batchOutputs.end(), output) != m_batchOutputs.end() ||
                         (earlier == NSAlertAlternateReturn && files->fileExistsAtPath(output, nullptr));
         ++number) {
      output = m_batchFolder.str() + "/" + name + " (" + std::to_string(number) + ")" + extension;
    }
    staging = files->itemReplacementDirectoryFor(m_batchFolder.str() + "/" + name).str();
    if (staging.empty() || !files->createSymbolicLinkAtPath(staging + "/" + name, source)) {
      if (!staging.empty()) files->removeItemAtPath(staging);
      m_batchFailures.push_back(
          localized("BatchFailure", {name, localized("BatchCannotWrite", {m_batchFolder.str()})}));
      return;
    }
    convertFrom = staging + "/" + name;
  }

  // A run that gave up closed the exporter; each movie starts with the chosen format's own.
  if (!gQtExport) changeCODEC(nullptr);
  // Each movie starts idle: an abort asked for in the last one is not this one's.
  gConvertMode = kConvertIdle;
  RecordMovieExportReport({});
  m_runFailure = NSError();
  applicationOpenFile(NSApplication::sharedApplication(), convertFrom);
  const MovieExportReport report = LastMovieExportReport();
  const bool written = report.started && report.finished && report.status == noErr;
  if (written && !staging.empty() && !files->moveItemAtPath(convertFrom.str() + extension, output)) {
    m_batchFailures.push_back(
        localized("BatchFailure", {name, localized("BatchCannotPlace", {m_batchFolder.str()})}));
  } else if (written) {
    m_batchOutputs.push_back(staging.empty() ? report.outputPath : output);
  } else {
    m_batchFailures.push_back(localized("BatchFailure", {name, reasonOfLastRun(m_runFailure, source, convertFrom)}));
  }
  if (!staging.empty()) files->removeItemAtPath(staging);
}

// After the last movie the application quits, as after one, with a failure status unless every
// movie was written; what did not convert is listed first.
void ConverterController::finishBatch() {
  gBatchInProgress = NO;
  m_earlierOutputs = kAskAboutEarlierOutputs;
  if (textBatch) textBatch->setStringValue("");
  // One movie sent to another folder ends as one run does: unless aborted, a failure stays in the
  // window, ready for another try.
  if (m_batchTotal == 1 && !m_batchFailures.empty() && gConvertMode != kConvertAbortRequested) {
    textStatus->setStringValue(m_batchFailures.front());
    return showReady();
  }
  // Behind the list the button no longer aborts anything; nothing more is converted either.
  button->setTitle(localized("Convert"));
  button->setEnabled(NO);
  if (!m_batchFailures.empty()) {
    std::string list;
    for (const std::string& failure : m_batchFailures) list += failure + "\n";
    const std::string title = localized(m_batchTotal == 1 ? "BatchNotConvertedOne" : "BatchNotConvertedMany",
                                        {std::to_string(m_batchFailures.size()), std::to_string(m_batchTotal)});
    NSRunAlertPanel(title, list, localized("BatchQuit"), "");
  }
  NSApplication::sharedApplication()->terminateAfterMovies(
      std::vector<NSString>(m_batchOutputs.begin(), m_batchOutputs.end()), m_batchFailures.empty());
}

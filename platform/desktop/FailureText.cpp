#include "platform/desktop/FailureText.h"

#include <QCoreApplication>

#include "platform/desktop/Translation.h"

namespace framework {

namespace {

bool places(const std::string& text, const char* placeholder) { return text.find(placeholder) != std::string::npos; }

std::string compose(const Failure& failure, bool withSubject) {
  const char* source = FailureSourceText(failure.code);
  if (!source) return {};
  const std::string text = Tr("Failure", source);
  const bool placesDetail = places(text, "%1");
  const bool placesSubject = places(text, "%2");
  // Filled in one pass, and only what the text holds: a path may hold "%1" itself.
  std::string line = places(text, "%3")           ? Fill(text, failure.detail, failure.subject, failure.secondDetail)
                     : placesDetail && placesSubject ? Fill(text, failure.detail, failure.subject)
                     : placesDetail                  ? Fill(text, failure.detail)
                     : placesSubject                 ? Fill(text, failure.subject)
                                                     : text;
  const std::string joined = Tr("Failure", "%1: %2");
  if (!placesDetail && !failure.detail.empty()) line = Fill(joined, line, failure.detail);
  if (withSubject && !placesSubject && !failure.subject.empty()) line = Fill(joined, line, failure.subject);
  return line;
}

}  // namespace

std::string FailureText(const Failure& failure) { return compose(failure, true); }

std::string FailureTextWithoutSubject(const Failure& failure) { return compose(failure, false); }

const char* FailureSourceText(FailureCode code) {
  switch (code) {
    case FailureCode::noSuchFile: return QT_TRANSLATE_NOOP("Failure", "no such file");
    case FailureCode::linkToMissingFile: return QT_TRANSLATE_NOOP("Failure", "a link to a missing file");
    case FailureCode::linksInLoop: return QT_TRANSLATE_NOOP("Failure", "the links go round in a loop");
    case FailureCode::permissionDenied: return QT_TRANSLATE_NOOP("Failure", "permission denied");
    case FailureCode::cannotRead: return QT_TRANSLATE_NOOP("Failure", "cannot read");
    case FailureCode::cannotReadFile: return QT_TRANSLATE_NOOP("Failure", "cannot read %2: %1");
    case FailureCode::sourceIsFolder: return QT_TRANSLATE_NOOP("Failure", "a folder, not a movie");
    case FailureCode::sourceIsNamedPipe: return QT_TRANSLATE_NOOP("Failure", "not a regular file (a named pipe)");
    case FailureCode::sourceIsDevice: return QT_TRANSLATE_NOOP("Failure", "not a regular file (a device)");
    case FailureCode::sourceIsSocket: return QT_TRANSLATE_NOOP("Failure", "not a regular file (a socket)");
    case FailureCode::sourceIsNotPlainFile: return QT_TRANSLATE_NOOP("Failure", "not a regular file (not a plain file)");
    case FailureCode::notAMovie: return QT_TRANSLATE_NOOP("Failure", "not a movie");
    case FailureCode::singlePicture: return QT_TRANSLATE_NOOP("Failure", "not a movie: a single picture");
    case FailureCode::outputFolderNotWritable: return QT_TRANSLATE_NOOP("Failure", "output folder not writable");
    case FailureCode::diskFull: return QT_TRANSLATE_NOOP("Failure", "disk full");
    case FailureCode::theDiskIsFull: return QT_TRANSLATE_NOOP("Failure", "the disk is full");
    case FailureCode::noSuchOutputFolder: return QT_TRANSLATE_NOOP("Failure", "no such output folder");
    case FailureCode::outputNameTooLong:
      return QT_TRANSLATE_NOOP("Failure", "the output's name is too long for the file system");
    case FailureCode::outputFolderPathTooLong: return QT_TRANSLATE_NOOP("Failure", "the output's folder path is too long");
    case FailureCode::cannotCreateOutput: return QT_TRANSLATE_NOOP("Failure", "cannot create %2: %1");
    case FailureCode::cannotWriteInOutputFolder: return QT_TRANSLATE_NOOP("Failure", "cannot write in the output folder");
    case FailureCode::outputIsFolder: return QT_TRANSLATE_NOOP("Failure", "the output is a folder");
    case FailureCode::outputIsNotRegularFile: return QT_TRANSLATE_NOOP("Failure", "the output is not a regular file");
    case FailureCode::outputIsLinkToMissingFile:
      return QT_TRANSLATE_NOOP("Failure", "the output is a link to a missing file");
    case FailureCode::nothingGiven: return QT_TRANSLATE_NOOP("Failure", "no source or output file given");
    case FailureCode::outputCannotBeNamed: return QT_TRANSLATE_NOOP("Failure", "the output file cannot be named");
    case FailureCode::noSourceMovie: return QT_TRANSLATE_NOOP("Failure", "no source movie");
    case FailureCode::singleTrackNotSupported: return QT_TRANSLATE_NOOP("Failure", "exporting a single track is not supported");
    case FailureCode::emptySpan: return QT_TRANSLATE_NOOP("Failure", "the span to export is empty");
    case FailureCode::spanAfterEnd: return QT_TRANSLATE_NOOP("Failure", "the span to export begins after the movie's end");
    case FailureCode::cannotOpenSource: return QT_TRANSLATE_NOOP("Failure", "cannot open the source");
    case FailureCode::cannotReadSourceMovie: return QT_TRANSLATE_NOOP("Failure", "cannot read the source movie");
    case FailureCode::sourceIsNotMovie: return QT_TRANSLATE_NOOP("Failure", "the source is not a movie");
    case FailureCode::noPictureOrSound:
      return QT_TRANSLATE_NOOP("Failure", "the source holds no picture or sound that can be read");
    case FailureCode::cutShort: return QT_TRANSLATE_NOOP("Failure", "the source movie is cut short");
    case FailureCode::nothingThisFormatHolds: return QT_TRANSLATE_NOOP("Failure", "the source has nothing this format can hold");
    case FailureCode::nothingCouldBeRead: return QT_TRANSLATE_NOOP("Failure", "nothing in this movie could be read");
    case FailureCode::cannotDecodeSource: return QT_TRANSLATE_NOOP("Failure", "cannot decode the source");
    case FailureCode::cannotDecodeVideo: return QT_TRANSLATE_NOOP("Failure", "cannot decode the source's video");
    case FailureCode::cannotDecodeSound: return QT_TRANSLATE_NOOP("Failure", "cannot decode the source's audio");
    case FailureCode::decoderCrashed:
      return QT_TRANSLATE_NOOP("Failure", "the movie could not be decoded (the decoder crashed)");
    case FailureCode::cannotConvertSource: return QT_TRANSLATE_NOOP("Failure", "cannot convert the source");
    case FailureCode::cannotSetUpFilters: return QT_TRANSLATE_NOOP("Failure", "cannot set up the conversion filters");
    case FailureCode::videoEncoderMissing: return QT_TRANSLATE_NOOP("Failure", "the video encoder is not available");
    case FailureCode::soundEncoderMissing: return QT_TRANSLATE_NOOP("Failure", "the sound encoder is not available");
    case FailureCode::h263PictureSizes:
      return QT_TRANSLATE_NOOP("Failure", "H.263 writes only 128x96, 176x144, 352x288, 704x576 and 1408x1152 pictures");
    case FailureCode::cannotStartEncoder: return QT_TRANSLATE_NOOP("Failure", "cannot start the encoder");
    case FailureCode::cannotEncodeOutput: return QT_TRANSLATE_NOOP("Failure", "cannot encode the output");
    case FailureCode::cannotStartEncodingThread: return QT_TRANSLATE_NOOP("Failure", "cannot start the encoding thread");
    case FailureCode::outOfMemory: return QT_TRANSLATE_NOOP("Failure", "out of memory");
    case FailureCode::cannotStartOutputMovie: return QT_TRANSLATE_NOOP("Failure", "cannot start the output movie");
    case FailureCode::cannotWriteOutputMovie: return QT_TRANSLATE_NOOP("Failure", "cannot write the output movie");
    case FailureCode::cannotAddStream: return QT_TRANSLATE_NOOP("Failure", "cannot add a stream to the output movie");
    case FailureCode::cannotCompleteOutputMovie: return QT_TRANSLATE_NOOP("Failure", "cannot complete the output movie");
    case FailureCode::cannotPutOutputInPlace: return QT_TRANSLATE_NOOP("Failure", "cannot put the output movie in place");
    case FailureCode::needsMoreRoom:
      return QT_TRANSLATE_NOOP("Failure", "needs at least %1 KB at the lowest quality; try a smaller picture or frame rate");
    case FailureCode::cannotKeepFrames: return QT_TRANSLATE_NOOP("Failure", "cannot keep the frames beside the output");
    case FailureCode::framesFolderNotWritable:
      return QT_TRANSLATE_NOOP("Failure", "cannot keep the frames beside the output: the folder is not writable");
    case FailureCode::cannotKeepFrameKind: return QT_TRANSLATE_NOOP("Failure", "cannot keep a frame of this kind");
    case FailureCode::cannotReadKeptFrames: return QT_TRANSLATE_NOOP("Failure", "cannot read the kept frames back");
    case FailureCode::framesDroppedForRate:
      return QT_TRANSLATE_NOOP("Failure", "video written at %1 frames per second: at %2 frames per second this picture needs more than %3 KB/s");
    case FailureCode::rateExceededByPicture:
      return QT_TRANSLATE_NOOP("Failure", "video written at %1 KB/s: at %2 frames per second this picture needs more than %3 KB/s");
    case FailureCode::abortedEarlierKept: return QT_TRANSLATE_NOOP("Failure", "aborted, the earlier movie is kept");
    case FailureCode::exportFailed: return QT_TRANSLATE_NOOP("Failure", "the export failed");
    case FailureCode::exportFailedStatus: return QT_TRANSLATE_NOOP("Failure", "the export failed (status %1)");
    case FailureCode::aborted: return QT_TRANSLATE_NOOP("Failure", "aborted");
    case FailureCode::conversionDidNotStart: return QT_TRANSLATE_NOOP("Failure", "the conversion did not start");
    case FailureCode::windowDescriptionMissing:
      return QT_TRANSLATE_NOOP("Failure", "the window description could not be loaded");
    case FailureCode::unknownSize:
      return QT_TRANSLATE_NOOP("Failure", "unknown size '%2' (use natural, half, third, quarter, qcif, sqcif, 96x80 or WxH)");
    case FailureCode::sizeTooLarge: return QT_TRANSLATE_NOOP("Failure", "size '%2' is too large: at most %1");
    case FailureCode::sizeTooSmall: return QT_TRANSLATE_NOOP("Failure", "size '%2' is too small: at least %1");
    case FailureCode::unknownFormat: return QT_TRANSLATE_NOOP("Failure", "unknown format '%2' (use %1)");
    case FailureCode::badFrameRate:
      return QT_TRANSLATE_NOOP("Failure", "frame rate '%2' is not a number of frames per second from %1 to %3");
    case FailureCode::badDataRate:
      return QT_TRANSLATE_NOOP("Failure", "data rate '%2' is not a whole number of kilobytes per second from %1 to %3");
    case FailureCode::badSizeLimit:
      return QT_TRANSLATE_NOOP("Failure", "size limit '%2' is not a size such as 300K, 600K or 1M (or none)");
    case FailureCode::badJobs:
      return QT_TRANSLATE_NOOP("Failure", "jobs '%2' is not a whole number of movies at once from %1 to %3");
    case FailureCode::outputFolderNeedsName: return QT_TRANSLATE_NOOP("Failure", "the output folder needs a name");
    case FailureCode::unknownOption: return QT_TRANSLATE_NOOP("Failure", "unknown option '%2'");
    case FailureCode::optionNeedsValue: return QT_TRANSLATE_NOOP("Failure", "option '%2' needs a value");
    case FailureCode::noMoviesFound: return QT_TRANSLATE_NOOP("Failure", "no movies found");
    case FailureCode::cannotMakeOutputFolder: return QT_TRANSLATE_NOOP("Failure", "cannot make the output folder %2: %1");
    case FailureCode::programNotFound: return QT_TRANSLATE_NOOP("Failure", "cannot find this program to run it");
    case FailureCode::cannotStartConversion: return QT_TRANSLATE_NOOP("Failure", "cannot start a conversion");
    case FailureCode::endedBySignal: return QT_TRANSLATE_NOOP("Failure", "the conversion ended by signal %1");
    case FailureCode::conversionFailed: return QT_TRANSLATE_NOOP("Failure", "the conversion failed");
    case FailureCode::none:
    case FailureCode::count:
      return nullptr;
  }
  return nullptr;
}

}  // namespace framework

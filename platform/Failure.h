// Why something the program was asked to do did not happen, as a value that travels beside the
// status code: what went wrong, what it is about (usually a path) and what the code alone cannot
// say (a number, or a library's own words where there are no better ones). The words a person
// reads come from one table of texts in the user's language, never from the place that failed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

enum class FailureCode : std::uint8_t {
  none,
  // The movie given, before anything reads it
  noSuchFile,
  linkToMissingFile,
  linksInLoop,
  permissionDenied,
  cannotRead,          // the file could not be opened
  cannotReadFile,      // detail: the system's words
  sourceIsFolder,
  sourceIsNamedPipe,
  sourceIsDevice,
  sourceIsSocket,
  sourceIsNotPlainFile,
  notAMovie,           // detail, where given: the library's words
  singlePicture,
  // The output file and its folder
  outputFolderNotWritable,
  diskFull,            // subject: the folder, where known
  theDiskIsFull,
  noSuchOutputFolder,
  outputNameTooLong,
  outputFolderPathTooLong,
  cannotCreateOutput,  // detail: the system's words
  cannotWriteInOutputFolder,
  outputIsFolder,
  outputIsNotRegularFile,
  outputIsLinkToMissingFile,
  // The export
  nothingGiven,
  outputCannotBeNamed,
  noSourceMovie,
  singleTrackNotSupported,
  emptySpan,
  spanAfterEnd,
  cannotOpenSource,
  cannotReadSourceMovie,
  sourceIsNotMovie,
  noPictureOrSound,
  cutShort,
  nothingThisFormatHolds,
  nothingCouldBeRead,
  cannotDecodeSource,
  cannotDecodeVideo,
  cannotDecodeSound,
  decoderCrashed,      // the conversion's worker died by a signal
  cannotConvertSource,
  cannotSetUpFilters,
  videoEncoderMissing,
  soundEncoderMissing,
  h263PictureSizes,
  cannotStartEncoder,  // detail: the encoder's name and the library's words
  cannotEncodeOutput,
  cannotStartEncodingThread,
  outOfMemory,
  cannotStartOutputMovie,
  cannotWriteOutputMovie,
  cannotAddStream,
  cannotCompleteOutputMovie,
  cannotPutOutputInPlace,
  needsMoreRoom,       // detail: the least size in kilobytes
  cannotKeepFrames,    // detail: the system's words
  framesFolderNotWritable,
  cannotKeepFrameKind,
  cannotReadKeptFrames,
  abortedEarlierKept,  // subject: the earlier output
  // Not a failure: the movie was written, with fewer frames than asked for to hold the data rate.
  framesDroppedForRate,  // detail: the frames per second written; subject: the source's; second detail: KB/s
  // Nor this: a picture encoded as it is decoded took more than the data rate at its coarsest.
  rateExceededByPicture,  // detail: the KB/s written; subject: the frames per second; second detail: the KB/s chosen
  exportFailed,        // detail: what the failing part said
  exportFailedStatus,  // detail: the status code
  aborted,
  conversionDidNotStart,
  windowDescriptionMissing,
  // The arguments (subject: the value as given)
  unknownSize,
  sizeTooLarge,        // detail: the largest size
  sizeTooSmall,        // detail: the smallest size
  unknownFormat,       // detail: the formats' names
  badFrameRate,        // detail and second detail: the range
  badDataRate,         // detail and second detail: the range
  badSizeLimit,
  badJobs,             // detail and second detail: the range
  outputFolderNeedsName,
  unknownOption,
  optionNeedsValue,
  // A batch from the terminal
  noMoviesFound,
  cannotMakeOutputFolder,  // detail: the system's words
  programNotFound,
  cannotStartConversion,   // detail: the system's words
  endedBySignal,           // detail: the signal's number
  conversionFailed,
  count  // not a failure: how many codes there are
};

struct Failure {
  FailureCode code = FailureCode::none;
  std::string subject;
  std::string detail;
  std::string secondDetail;  // the other end of a range

  Failure() = default;
  Failure(FailureCode failed, std::string about = {}, std::string more = {}, std::string evenMore = {})
      : code(failed), subject(std::move(about)), detail(std::move(more)), secondDetail(std::move(evenMore)) {}

  explicit operator bool() const { return code != FailureCode::none; }
};

// A number for a failure's words, in the precision they want ("%.4g" frames per second).
inline std::string FailureNumber(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

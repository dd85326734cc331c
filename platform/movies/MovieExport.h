// Movie export components (type 'spit'): settings as atom containers, a settings dialog, a
// progress routine, and the export of a movie into a file.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/OutputFormats.h"
#include "platform/files/Files.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/Components.h"
#include "platform/movies/Movies.h"

constexpr OSType MovieExportType = FOUR_CHAR_CODE("spit");
// The two export components: 'mpg4' writes MPEG-4 files, '3gpp' the rest of the formats.
constexpr OSType kQTFileTypeMP4 = OutputFormatOf(OutputContainer::mp4).exporter;
constexpr OSType kQTFileType3GPP = OutputFormatOf(OutputContainer::threeGPP).exporter;

using MovieExportComponent = ComponentInstance;

enum : SInt16 { movieProgressOpen = 0, movieProgressUpdatePercent = 1, movieProgressClose = 2 };
enum : SInt16 { progressOpFlatten = 1, progressOpInsertTrackSegment = 2, progressOpInsertMovieSegment = 3,
                progressOpPaste = 4, progressOpAddMovieSelection = 5, progressOpCopy = 6, progressOpCut = 7,
                progressOpLoadMovieIntoRam = 8, progressOpLoadTrackIntoRam = 9, progressOpLoadMediaIntoRam = 10,
                progressOpImportMovie = 11, progressOpExportMovie = 12 };

using MovieProgressProcPtr = OSErr (*)(Movie theMovie, SInt16 message, SInt16 whatOperation, Fixed percentDone,
                                       long refcon);
using MovieProgressUPP = MovieProgressProcPtr;

MovieProgressUPP NewMovieProgressUPP(MovieProgressProcPtr userRoutine);
void DisposeMovieProgressUPP(MovieProgressUPP userUPP);  // null accepted

// A new container with the instance's complete settings, owned by the caller.
ComponentResult MovieExportGetSettingsAsAtomContainer(MovieExportComponent ci, QTAtomContainer* settings);
// The instance takes a copy of the settings; the caller keeps its container. A malformed or
// unusable container is refused with a nonzero status and changes nothing.
ComponentResult MovieExportSetSettingsFromAtomContainer(MovieExportComponent ci, QTAtomContainer settings);
ComponentResult MovieExportDoUserDialog(MovieExportComponent ci, Movie theMovie, Track onlyThisTrack,
                                        TimeValue startTime, TimeValue duration, Boolean* canceled);
ComponentResult MovieExportSetProgressProc(MovieExportComponent ci, MovieProgressUPP proc, long refcon);
// Exports [startTime, startTime + duration) of the movie into the file that theFile names.
ComponentResult MovieExportToFile(MovieExportComponent ci, const FSSpec* theFile, Movie theMovie,
                                  Track onlyThisTrack, TimeValue startTime, TimeValue duration);
// What exporting `seconds` of the movie with the instance's settings would likely write, in bytes,
// its size limit included. A null movie stands for any source: the chosen rates alone, no limit.
ComponentResult MovieExportEstimateBytes(MovieExportComponent ci, Movie theMovie, double seconds, double* bytes);

// A component's 32-bit result as a 16-bit status: the low half, as the classic truncation keeps
// it, except that a failure whose low half is 0 must not read as success.
inline OSErr OSErrFromComponentResult(ComponentResult result) {
  const OSErr status = OSErr(result);
  return result != 0 && status == 0 ? OSErr(paramErr) : status;
}

// What an export component implements; the calls above dispatch to it.
class MovieExporter : public ComponentImplementation {
 public:
  virtual ComponentResult getSettingsAsAtomContainer(QTAtomContainer* settings) = 0;
  virtual ComponentResult setSettingsFromAtomContainer(QTAtomContainer settings) = 0;
  virtual ComponentResult doUserDialog(Movie theMovie, Track onlyThisTrack, TimeValue startTime,
                                       TimeValue duration, Boolean* canceled) = 0;
  virtual ComponentResult setProgressProc(MovieProgressUPP proc, long refcon) = 0;
  virtual ComponentResult toFile(const FSSpec* theFile, Movie theMovie, Track onlyThisTrack, TimeValue startTime,
                                 TimeValue duration) = 0;
  virtual ComponentResult estimateBytes(Movie theMovie, double seconds, double* bytes) { return badComponentSelector; }
};

// What the latest MovieExportToFile of this process did, for a front end that reports it (the
// terminal mode). An export component records it before it sends its close message, since the
// application may end inside that message.
struct MovieExportReport {
  bool started = false;    // an export began
  bool finished = false;   // the export call has reached its end (completed, stopped or failed)
  ComponentResult status = 0;
  std::string outputPath;
  Failure failure;            // why it did not complete; none on success
  Failure notice;             // set when the written rates differ from the chosen ones
};
MovieExportReport LastMovieExportReport();
void RecordMovieExportReport(const MovieExportReport& report);

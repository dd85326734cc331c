// Movies: a source movie file opened for reading, measured, and handed to an export component.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/files/Files.h"

struct MovieRecord;
using Movie = MovieRecord*;
struct TrackRecord;
using Track = TrackRecord*;

enum : SInt16 { newMovieActive = 1 };

OSErr EnterMovies();
void ExitMovies();
// Status of the last movie call on this thread.
OSErr GetMoviesError();
// Why the last NewMovieFromFile on this thread gave no movie, when that is worth telling (a single
// picture, a reader that crashed on the file, no worker to read it in); none otherwise.
Failure GetMovieOpenFailure();

OSErr OpenMovieFile(const FSSpec* fileSpec, SInt16* resRefNum, SInt8 permission);
OSErr CloseMovieFile(SInt16 resRefNum);
// The file's first movie (resId null or pointing at 0). A file that is not a movie, empty or
// truncated gives a nonzero status and no movie.
OSErr NewMovieFromFile(Movie* theMovie, SInt16 resRefNum, SInt16* resId, UInt8* resName, SInt16 newMovieFlags,
                       Boolean* dataRefWasChanged);
// What a viewer sees: pixel aspect ratio applied, turned upright by the rotation metadata.
void GetMovieNaturalBoundsRect(Movie theMovie, Rect* naturalBounds);
// A movie whose length cannot be told before it is read (written to a pipe) lasts INT32_MAX.
TimeValue GetMovieDuration(Movie theMovie);
TimeScale GetMovieTimeScale(Movie theMovie);
void DisposeMovie(Movie theMovie);

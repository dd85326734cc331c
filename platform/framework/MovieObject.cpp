// The movie object: a source movie opened through the movie services.
#include <string>

#include "platform/desktop/MovieFileTypes.h"
#include "platform/desktop/Translation.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

NSMovie* NSMovie::initWithURL(NSURL* url, BOOL byReference) {
  (void)byReference;  // movies are always read from their file
  // A pipe or a device would hold the open, or feed it without end.
  if (const Failure problem = url ? framework::SourceFileProblem(url->path().str()) : Failure{}; problem) {
    framework::NoteFailure(problem);
    delete this;
    return nullptr;
  }
  FSSpec source{};
  OSErr status = url ? FSMakeFSSpecFromPath(url->path().UTF8String(), &source) : OSErr(paramErr);
  if (status == noErr) status = OpenMovieFile(&source, &fileRef_, fsRdPerm);
  if (status != noErr) {
    const std::string path = url ? url->path().str() : "";
    framework::NoteFailure({status == fnfErr ? FailureCode::noSuchFile : FailureCode::cannotRead, path});
    delete this;
    return nullptr;
  }
  status = NewMovieFromFile(&movie_, fileRef_, nullptr, nullptr, newMovieActive, nullptr);
  if (status != noErr || !movie_) {
    // The file may have gone between the two calls; that is no judgement on its contents.
    const std::string path = url->path().str();
    const Failure what = GetMovieOpenFailure();
    framework::NoteFailure(what               ? Failure{what.code, path, what.detail}
                           : status == fnfErr ? Failure{FailureCode::noSuchFile, path}
                                              : Failure{FailureCode::notAMovie, path});
    delete this;
    return nullptr;
  }
  return this;
}

NSMovie::~NSMovie() {
  if (movie_) DisposeMovie(movie_);
  if (fileRef_) CloseMovieFile(fileRef_);
}

NSArray NSMovie::movieFileTypes() {
  const std::vector<std::string> types = ReadableMovieFileTypes();
  return NSArray(types.begin(), types.end());
}

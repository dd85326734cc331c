// The movie object: a source movie opened through the movie services.
#include <string>

#include "platform/desktop/MovieFileTypes.h"
#include "platform/desktop/Translation.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

NSMovie* NSMovie::initWithURL(NSURL* url, BOOL byReference) {
  (void)byReference;  // movies are always read from their file
  // A pipe or a device would hold the open, or feed it without end.
  if (const std::string problem = url ? framework::SourceFileProblem(url->path().str()) : ""; !problem.empty()) {
    framework::NoteFailure(problem);
    delete this;
    return nullptr;
  }
  FSSpec source{};
  OSErr status = url ? FSMakeFSSpecFromPath(url->path().UTF8String(), &source) : OSErr(paramErr);
  if (status == noErr) status = OpenMovieFile(&source, &fileRef_, fsRdPerm);
  if (status != noErr) {
    const std::string path = url ? url->path().str() : "";
    const std::string reason = status == fnfErr ? framework::Tr("Terminal", "no such file: %1")
                                                : framework::Tr("Terminal", "cannot read: %1");
    framework::NoteFailure(framework::Fill(reason, path));
    delete this;
    return nullptr;
  }
  status = NewMovieFromFile(&movie_, fileRef_, nullptr, nullptr, newMovieActive, nullptr);
  if (status != noErr || !movie_) {
    // The file may have gone between the two calls; that is no judgement on its contents.
    const std::string path = url->path().str();
    const std::string what = GetMovieOpenFailure();
    framework::NoteFailure(status == fnfErr ? framework::Fill(framework::Tr("Terminal", "no such file: %1"), path)
                           : what.empty()   ? framework::Fill(framework::Tr("Terminal", "not a movie: %1"), path)
                                            : framework::TranslatedReason(what) + ": " + path);
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

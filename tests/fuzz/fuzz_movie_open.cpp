// Any file opened as a source movie and measured, as the measuring worker does it.
#include "platform/media/stages/FfmpegSource.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Named as most sources are; FFmpeg still goes by the content first.
  const FSSpec file = fuzz::WriteScratchFile("source.mov", data, size);
  std::string path;
  Require(FSpGetPOSIXPath(&file, &path) == noErr, "the scratch file has a path");
  SourceMovie source;
  Failure failure;
  const OSErr status = OpenSourceMovie(path, &source, &failure);
  Require((status == noErr) == !failure, "a reason exactly when there is no movie");
  if (size == 0) Require(status != noErr, "an empty file is no movie");
  if (status == noErr) {
    const MovieFacts& facts = source.facts;
    Require(facts.hasVideo || facts.hasAudio, "a movie has a picture or sound");
    Require(facts.naturalWidth >= 0 && facts.naturalHeight >= 0, "the natural size is no less than nothing");
    Require(facts.durationSeconds >= 0 && facts.frameRate >= 0, "a length and a rate no less than nothing");
  }
  return 0;
}

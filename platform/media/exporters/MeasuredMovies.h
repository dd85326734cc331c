// The facts of the movies measured last, by the file they were measured from. A conversion
// measures its source to size the picture, then opens it for the export; a file that is still the
// same (the same file, its size and its change time to the nanosecond) need not go to a measuring
// worker twice.
#pragma once

#include <string>

#include "platform/media/stages/MovieRecord.h"

// Which file a path names, and how it was when looked at; `known` false where none is there.
struct FileAsItIs {
  bool known = false;
  unsigned long long device = 0, inode = 0;
  long long size = 0, changedSeconds = 0, changedNanoseconds = 0;
  bool operator==(const FileAsItIs&) const = default;
};
FileAsItIs LookAtFile(const std::string& path);

// Whether the file at `path`, as it is now (`now`, from LookAtFile), is as it was when its facts were
// kept; *facts then holds them.
bool FindMeasuredMovie(const std::string& path, const FileAsItIs& now, MovieFacts* facts);
// Keeps what a worker measured of the file at `path` as it was before the worker began (`before`):
// a file that changed meanwhile is not kept.
void KeepMeasuredMovie(const std::string& path, const FileAsItIs& before, const MovieFacts& facts);

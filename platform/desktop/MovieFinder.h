// The movies a launch or a drop was given: files as they are, folders searched for movies.
#pragma once

#include <string>
#include <vector>

namespace framework {

// The movies among the paths: files as given, and the movies found in folders (sorted by name;
// their folders too when recursive, each folder once however many links lead to it). Hidden files
// and this program's own outputs ("clip.mov.3gp", "clip.mov (2).3gp") are never taken from a
// folder. A source given twice is converted once. Paths that are neither a file nor a folder stay,
// to fail with their line.
std::vector<std::string> FindMovies(const std::vector<std::string>& arguments, bool recursive);

}  // namespace framework

// The kinds of movie file this program reads, by extension: the open panel lists them, a folder is searched for them.
#pragma once

#include <string>
#include <vector>

// Extensions without the dot, in a fixed order: the program's own outputs, and every common movie
// or sound type whose container the FFmpeg linked here can read.
std::vector<std::string> ReadableMovieFileTypes();

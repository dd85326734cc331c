// Registers the export components that ship with the program ('spit'/'mpg4' and 'spit'/'3gpp').
#pragma once

void RegisterBuiltInMovieExporters();

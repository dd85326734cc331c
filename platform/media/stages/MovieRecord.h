// What a Movie handle is: a source file and the facts about its streams that the export needs.
// Private to the media code and the export components.
#pragma once

#include <cstdint>
#include <string>

struct MovieFacts {
  bool hasVideo = false;
  bool hasAudio = false;
  int codedWidth = 0;  // pixels as stored
  int codedHeight = 0;
  int sampleAspectNum = 1;  // pixel aspect ratio, 1:1 when unknown
  int sampleAspectDen = 1;
  int rotationDegrees = 0;  // clockwise turn a viewer applies: 0, 90, 180 or 270
  double frameRate = 0;     // frames per second of the video, 0 without video
  int audioSampleRate = 0;
  int audioChannels = 0;
  double durationSeconds = 0;  // 0 when not even a guess can be made
  long videoBitRate = 0;       // what the source spends a second on each, in bits; 0 when not told
  long audioBitRate = 0;
  long wholeBitRate = 0;       // the whole file's, its container's own bytes included
  bool durationKnown = false;  // read from the file rather than guessed
  // What a viewer sees: pixel aspect ratio applied, turned upright.
  int naturalWidth = 0;
  int naturalHeight = 0;
};

struct MovieRecord {
  std::string sourcePath;
  MovieFacts facts;
};

// Seconds in the movie's time units.
constexpr int kMovieTimeScale = 600;
// The duration of a movie whose length cannot be told before it is read to its end: the longest
// the time units hold, so that exporting "the whole movie" reads it to its end.
constexpr int32_t kUnknownMovieDuration = INT32_MAX;

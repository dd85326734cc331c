// FFmpeg's error numbers as the statuses the rest of the program speaks in.
#pragma once

#include <string>

#include "platform/MacTypes.h"

// The status an FFmpeg error stands for (an errno inside it keeps its meaning: ENOSPC is disk full).
OSErr OSErrFromAVError(int averror);
// FFmpeg's own short wording for an error.
std::string AVErrorText(int averror);

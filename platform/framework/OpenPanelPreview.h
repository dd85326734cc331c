// The open panel's line about the selected movie: the panel opens it through the movie services
// and asks the describer what to say.
#pragma once

#include <functional>

#include "platform/framework/AppKit.h"

class QFileDialog;

namespace framework {

void AddMoviePreview(QFileDialog* panel, std::function<NSString(Movie movie)> describe);

}  // namespace framework

#include "platform/media/pipeline/SpanProgress.h"

#include <algorithm>

extern "C" {
#include <libavformat/avio.h>
}

SpanProgress::SpanProgress(double spanSeconds, AVIOContext* source) : spanSeconds_(spanSeconds), source_(source) {
  if (source_) sourceBytes_ = avio_size(source_);
}

double SpanProgress::fraction(double seconds) const {
  const bool measuresBytes = source_ && sourceBytes_ > 0;
  const double bytes = measuresBytes ? std::clamp(double(avio_tell(source_)) / double(sourceBytes_), 0.0, 1.0) : 1.0;
  if (spanSeconds_ > 0) return std::min(std::clamp(seconds / spanSeconds_, 0.0, 1.0), bytes);
  return measuresBytes ? bytes : 0;
}

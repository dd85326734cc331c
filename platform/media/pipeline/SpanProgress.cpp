#include "platform/media/pipeline/SpanProgress.h"

#include <algorithm>

extern "C" {
#include <libavformat/avio.h>
}

SpanProgress::SpanProgress(double spanSeconds, AVIOContext* source)
    : spanSeconds_(spanSeconds), source_(spanSeconds > 0 ? nullptr : source) {
  if (source_) sourceBytes_ = avio_size(source_);
}

double SpanProgress::fraction(double seconds) const {
  if (spanSeconds_ > 0) return std::clamp(seconds / spanSeconds_, 0.0, 1.0);
  if (!source_ || sourceBytes_ <= 0) return 0;
  return std::clamp(double(avio_tell(source_)) / double(sourceBytes_), 0.0, 1.0);
}

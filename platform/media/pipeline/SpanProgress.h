// How far an export has come. A span of known length is measured by the time reached. A span that
// runs to the source's end is also measured by the bytes read, and the lesser of the two counts:
// a header that says less than the data holds would otherwise reach 100% long before the end. Where
// the length is not known at all (a movie written to a pipe, or joined pieces whose length was
// guessed from their first and last times), the bytes read alone measure it.
#pragma once

#include <cstdint>

struct AVIOContext;

class SpanProgress {
 public:
  SpanProgress() = default;
  // spanSeconds 0: the length is unknown. `source`: the span runs to the end of what it reads.
  SpanProgress(double spanSeconds, AVIOContext* source);

  // The fraction done (0..1) once the export has reached `seconds` into the span.
  double fraction(double seconds) const;

 private:
  double spanSeconds_ = 0;
  AVIOContext* source_ = nullptr;
  int64_t sourceBytes_ = 0;
};

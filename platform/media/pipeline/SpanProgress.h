// How far an export has come. A span of known length is measured by the time reached; a movie
// whose length is not known (one written to a pipe, or joined pieces whose length was guessed from
// their first and last times) is converted to its end, and measured by the bytes read.
#pragma once

#include <cstdint>

struct AVIOContext;

class SpanProgress {
 public:
  SpanProgress() = default;
  // spanSeconds 0: to the end of the source, read through `source`.
  SpanProgress(double spanSeconds, AVIOContext* source);

  // The fraction done (0..1) once the export has reached `seconds` into the span.
  double fraction(double seconds) const;

 private:
  double spanSeconds_ = 0;
  AVIOContext* source_ = nullptr;
  int64_t sourceBytes_ = 0;
};

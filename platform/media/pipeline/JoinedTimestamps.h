// Transport streams joined end to end (recordings cut into pieces, then concatenated) restart
// their clock at each seam; read as they are, every piece after the first lands on top of the
// first. Each stream's clock is carried on across a seam, as if the pieces had been one recording.
#pragma once

#include <cstdint>
#include <map>

extern "C" {
#include <libavcodec/packet.h>
}

class JoinedTimestamps {
 public:
  // Only formats that allow their clock to jump (AVFMT_TS_DISCONT) are mended.
  explicit JoinedTimestamps(bool clockMayJump) : clockMayJump_(clockMayJump) {}

  void mend(AVPacket* packet, AVRational timeBase);

 private:
  struct StreamClock {
    int64_t offset = 0;            // added to the stream's times, in microseconds
    int64_t latest = INT64_MIN;    // the latest decoding time so far, mended
    int64_t expected = INT64_MIN;  // where the next packet should begin, mended
    int64_t step = 0;              // between the last two packets
  };
  bool clockMayJump_;
  std::map<int, StreamClock> clocks_;
};

// Big-endian fields, as atoms, settings records and stored codes lay them out whatever the machine.
#pragma once

#include "platform/MacTypes.h"

inline UInt16 ReadU16(const UInt8* p) { return UInt16((p[0] << 8) | p[1]); }

inline UInt32 ReadU32(const UInt8* p) {
  return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | UInt32(p[3]);
}

inline void WriteU16(UInt8* p, UInt16 value) {
  p[0] = UInt8(value >> 8);
  p[1] = UInt8(value);
}

inline void WriteU32(UInt8* p, UInt32 value) {
  WriteU16(p, UInt16(value >> 16));
  WriteU16(p + 2, UInt16(value));
}

// The scalar types, codes and status values that the whole program speaks in.
#pragma once

#include <cstdint>

using SInt8 = int8_t;
using UInt8 = uint8_t;
using SInt16 = int16_t;
using UInt16 = uint16_t;
using SInt32 = int32_t;
using UInt32 = uint32_t;
using SInt64 = int64_t;

using OSErr = SInt16;
using OSStatus = SInt32;
using ComponentResult = SInt32;
using OSType = UInt32;
using Boolean = UInt8;
using Fixed = SInt32;  // signed 16.16 fixed point
using Size = long;
using Ptr = char*;
using Handle = Ptr*;
using TimeValue = SInt32;
using TimeScale = SInt32;
using ScriptCode = SInt16;

// 'abcd' as a big-endian four-character code.
constexpr OSType FOUR_CHAR_CODE(const char (&code)[5]) {
  return (OSType(UInt8(code[0])) << 24) | (OSType(UInt8(code[1])) << 16) | (OSType(UInt8(code[2])) << 8) |
         OSType(UInt8(code[3]));
}

struct Rect {
  SInt16 top;
  SInt16 left;
  SInt16 bottom;
  SInt16 right;
};

// Status codes. Negative values, 0 for success.
enum : OSErr {
  noErr = 0,
  dskFulErr = -34,
  ioErr = -36,
  bdNamErr = -37,
  fnOpnErr = -38,
  eofErr = -39,
  posErr = -40,
  tmfoErr = -42,
  fnfErr = -43,
  wPrErr = -44,
  fLckdErr = -45,
  fBsyErr = -47,
  dupFNErr = -48,
  opWrErr = -49,
  paramErr = -50,
  rfNumErr = -51,
  permErr = -54,
  wrPermErr = -61,
  memFullErr = -108,
  nilHandleErr = -109,
  memLockedErr = -117,
  dirNFErr = -120,
  userCanceledErr = -128,
  notAFileErr = -1302,  // a folder where a file was expected
  // Movie services
  couldNotResolveDataRef = -2000,
  badImageDescription = -2001,
  cantFindHandler = -2003,
  invalidMovie = -2010,
  invalidDuration = -2014,
  noMovieFound = -2048,
  badEditList = -2053,
  // Atom containers
  cannotFindAtomErr = -2101,
  notLeafAtomErr = -2102,
  atomIndexInvalidErr = -2104,
  duplicateAtomTypeAndIDErr = -2105,
  invalidAtomErr = -2106,
  invalidAtomContainerErr = -2107,
  invalidAtomTypeErr = -2108,
  // Export
  unsupportedAuxiliaryImportData = -2057,
  progressProcAborted = -2019,
};

// Component Manager results are 32-bit.
constexpr ComponentResult badComponentInstance = ComponentResult(0x80008001u);
constexpr ComponentResult badComponentSelector = ComponentResult(0x80008002u);

// File services on POSIX: files named by FSSpec (volume, parent folder ID, short name) and FSRef,
// opened by 16-bit reference numbers. Every call returns a status, never throws.
#pragma once

#include <string>

#include "platform/MacTypes.h"

using Str63 = UInt8[64];  // length byte, then up to 63 bytes

struct FSSpec {
  SInt16 vRefNum;
  SInt32 parID;
  Str63 name;
};

// An opaque reference to an existing file or folder.
struct FSRef {
  UInt8 hidden[80];
};

struct FInfo {
  OSType fdType;
  OSType fdCreator;
  UInt16 fdFlags;
};

using FSCatalogInfoBitmap = UInt32;
constexpr FSCatalogInfoBitmap kFSCatInfoNone = 0;

enum : SInt8 { fsCurPerm = 0, fsRdPerm = 1, fsWrPerm = 2, fsRdWrPerm = 3 };
enum : SInt16 { fsAtMark = 0, fsFromStart = 1, fsFromLEOF = 2, fsFromMark = 3 };
constexpr ScriptCode smSystemScript = -1;

// Status 0 and a reference only when the UTF-8 path names an existing file or folder.
OSErr FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory);
// Fills fsSpec (when given) for the referenced file. Names longer than 63 bytes get a short unique
// stand-in that the other calls resolve back to the real file. catalogInfo, outName and parentRef
// are accepted as null only.
OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, void* catalogInfo, void* outName,
                       FSSpec* fsSpec, FSRef* parentRef);
// Makes an FSSpec for a file that may not exist yet, in an existing folder.
OSErr FSMakeFSSpecFromPath(const char* utf8Path, FSSpec* spec);

OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag);
OSErr FSpDelete(const FSSpec* spec);
OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum);
OSErr FSpGetFInfo(const FSSpec* spec, FInfo* info);
// A new, empty, hidden file with that type and creator in the folder of `file` (which need not
// exist), to be written and then put in the file's place with FSpReplaceFile (or removed with
// FSpDelete). Its name is short and locked while this process lives; what gone writers left in
// that folder is removed first.
OSErr FSpCreateTemporaryBeside(const FSSpec* file, OSType creator, OSType fileType, FSSpec* temporary);
// Puts `replacement` in the place of `target`, in one step and durably: the target's name then
// names the replacement's data, type and creator, and the replacement's name is gone. Both must be
// in one folder. On failure both stay as they were.
OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target);

OSErr SetFPos(SInt16 refNum, SInt16 posMode, SInt32 posOff);
OSErr GetFPos(SInt16 refNum, SInt32* filePos);
OSErr FSWrite(SInt16 refNum, SInt32* count, const void* buffPtr);
OSErr FSRead(SInt16 refNum, SInt32* count, void* buffPtr);
OSErr GetEOF(SInt16 refNum, SInt32* logEOF);
OSErr SetEOF(SInt16 refNum, SInt32 logEOF);
OSErr GetVRefNum(SInt16 refNum, SInt16* vRefNum);
// Status 0 only when everything written to the volume's open files has reached the disk.
OSErr FlushVol(const UInt8* volName, SInt16 vRefNum);
OSErr FSClose(SInt16 refNum);

// The POSIX path of the file an FSSpec names (the file need not exist). For the movie services.
OSErr FSpGetPOSIXPath(const FSSpec* spec, std::string* path);
// The status a POSIX errno value stands for.
OSErr OSErrFromErrno(int err);

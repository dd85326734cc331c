// Relocatable blocks ("handles"): a pointer to a master pointer that the block's owner may move
// while it is unlocked. Settings containers and settings files travel in them.
#pragma once

#include "platform/MacTypes.h"

// The largest block there can be: file offsets and byte counts are 32-bit.
constexpr Size kMaxHandleSize = 0x7FFFFFFF;

// A new block of `size` bytes, or null when memory is short (absurd or negative sizes included).
Handle NewHandle(Size size);
// As NewHandle, with every byte 0.
Handle NewHandleClear(Size size);
// Frees the block; null is accepted.
void DisposeHandle(Handle h);
// The block's size in bytes; 0 for null.
Size GetHandleSize(Handle h);
// Resizes the block, keeping its leading bytes; new bytes are 0. Fails with memLockedErr while the
// block is locked, memFullErr when memory is short, nilHandleErr for null. The result is also
// what MemError() reports afterwards.
OSErr SetHandleSize(Handle h, Size newSize);
// Lock nesting is counted: the block stays in place until every HLock has its HUnlock.
void HLock(Handle h);
void HUnlock(Handle h);
bool HIsLocked(Handle h);
// Status of the last memory call on this thread.
OSErr MemError();

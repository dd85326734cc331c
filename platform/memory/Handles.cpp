// Handles over the C heap. A handle points at the first field of its block record, so the record
// is found again from the handle alone, and the data may move (realloc) while the handle stays put.
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/memory/Memory.h"

namespace {

struct HandleBlock {
  Ptr master;  // must stay first: a Handle is the address of this field
  Size size;
  int lockCount;
};

thread_local OSErr lastMemError = noErr;

HandleBlock* BlockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

OSErr Report(OSErr status) {
  lastMemError = status;
  return status;
}

Handle NewBlock(Size size, bool clear) {
  if (size < 0 || size > kMaxHandleSize) {
    Report(memFullErr);
    return nullptr;
  }
  // Never a null master pointer, even for an empty block, so *h is always usable.
  size_t bytes = size_t(size > 0 ? size : 1);
  Ptr data = static_cast<Ptr>(clear ? std::calloc(bytes, 1) : std::malloc(bytes));
  auto* block = data ? new (std::nothrow) HandleBlock{data, size, 0} : nullptr;
  if (!block) {
    std::free(data);
    Report(memFullErr);
    return nullptr;
  }
  Report(noErr);
  return &block->master;
}

}  // namespace

Handle NewHandle(Size size) { return NewBlock(size, false); }

Handle NewHandleClear(Size size) { return NewBlock(size, true); }

void DisposeHandle(Handle h) {
  if (!h) {
    Report(nilHandleErr);
    return;
  }
  HandleBlock* block = BlockOf(h);
  std::free(block->master);
  delete block;
  Report(noErr);
}

Size GetHandleSize(Handle h) {
  if (!h) {
    Report(nilHandleErr);
    return 0;
  }
  Report(noErr);
  return BlockOf(h)->size;
}

OSErr SetHandleSize(Handle h, Size newSize) {
  if (!h) return Report(nilHandleErr);
  HandleBlock* block = BlockOf(h);
  if (block->lockCount > 0) return Report(memLockedErr);
  if (newSize < 0 || newSize > kMaxHandleSize) return Report(memFullErr);
  Ptr data = static_cast<Ptr>(std::realloc(block->master, size_t(newSize > 0 ? newSize : 1)));
  if (!data) return Report(memFullErr);
  if (newSize > block->size) std::memset(data + block->size, 0, size_t(newSize - block->size));
  block->master = data;
  block->size = newSize;
  return Report(noErr);
}

void HLock(Handle h) {
  if (!h) {
    Report(nilHandleErr);
    return;
  }
  ++BlockOf(h)->lockCount;
  Report(noErr);
}

void HUnlock(Handle h) {
  if (!h) {
    Report(nilHandleErr);
    return;
  }
  HandleBlock* block = BlockOf(h);
  if (block->lockCount > 0) --block->lockCount;
  Report(noErr);
}

bool HIsLocked(Handle h) { return h && BlockOf(h)->lockCount > 0; }

OSErr MemError() { return lastMemError; }

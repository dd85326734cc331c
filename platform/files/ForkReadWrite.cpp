// Reading, writing and positioning within an open data fork. Positions and lengths are 32-bit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/files/Files.h"
#include "platform/files/OpenFileTable.h"

using open_files::OpenFile;
using open_files::WithOpenFile;

namespace {

// A length or position past 32 bits cannot be told to the caller truthfully.
OSErr Report32(off_t value, SInt32* out) {
  if (value > INT32_MAX) return paramErr;
  *out = SInt32(value);
  return noErr;
}

OSErr LengthOf(const OpenFile& file, off_t* length) {
  struct stat info;
  if (fstat(file.fd, &info) != 0) return OSErrFromErrno(errno);
  *length = info.st_size;
  return noErr;
}

OSErr Grow(const OpenFile& file, off_t from, off_t to) {
  // Reserve the space now, so a full disk shows here and not in a later write.
  if (fallocate(file.fd, 0, from, to - from) == 0) return noErr;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return OSErrFromErrno(errno);
  return ftruncate(file.fd, to) == 0 ? OSErr(noErr) : OSErrFromErrno(errno);
}

}  // namespace

OSErr SetFPos(SInt16 refNum, SInt16 posMode, SInt32 posOff) {
  return WithOpenFile(refNum, [&](OpenFile& file) -> OSErr {
    off_t mark = lseek(file.fd, 0, SEEK_CUR);
    off_t length = 0;
    OSErr status = LengthOf(file, &length);
    if (status != noErr) return status;
    off_t base = 0;
    switch (posMode) {
      case fsAtMark:
        return noErr;
      case fsFromStart:
        base = 0;
        break;
      case fsFromLEOF:
        base = length;
        break;
      case fsFromMark:
        base = std::max<off_t>(mark, 0);
        break;
      default:
        return paramErr;
    }
    off_t target = base + posOff;
    if (target < 0) return posErr;
    // Past the end the mark stops at the end, as the classic call does.
    OSErr result = target > length ? eofErr : noErr;
    if (lseek(file.fd, std::min(target, length), SEEK_SET) < 0) return OSErrFromErrno(errno);
    return result;
  });
}

OSErr GetFPos(SInt16 refNum, SInt32* filePos) {
  if (!filePos) return paramErr;
  return WithOpenFile(refNum, [&](OpenFile& file) {
    off_t mark = lseek(file.fd, 0, SEEK_CUR);
    return mark < 0 ? OSErrFromErrno(errno) : Report32(mark, filePos);
  });
}

OSErr FSRead(SInt16 refNum, SInt32* count, void* buffPtr) {
  if (!count) return paramErr;
  SInt32 wanted = *count;
  *count = 0;
  if (wanted < 0 || (wanted > 0 && !buffPtr)) return paramErr;
  return WithOpenFile(refNum, [&](OpenFile& file) -> OSErr {
    if (!file.canRead) return permErr;
    auto* bytes = static_cast<char*>(buffPtr);
    while (*count < wanted) {
      ssize_t moved = read(file.fd, bytes + *count, size_t(wanted - *count));
      if (moved < 0 && errno == EINTR) continue;
      if (moved < 0) return OSErrFromErrno(errno);
      if (moved == 0) return eofErr;
      *count += SInt32(moved);
    }
    return noErr;
  });
}

OSErr FSWrite(SInt16 refNum, SInt32* count, const void* buffPtr) {
  if (!count) return paramErr;
  SInt32 wanted = *count;
  *count = 0;
  if (wanted < 0 || (wanted > 0 && !buffPtr)) return paramErr;
  return WithOpenFile(refNum, [&](OpenFile& file) -> OSErr {
    if (!file.canWrite) return wrPermErr;
    // The file may not grow past what a 32-bit position can reach.
    off_t mark = std::max<off_t>(lseek(file.fd, 0, SEEK_CUR), 0);
    SInt32 allowed = SInt32(std::min<off_t>(wanted, std::max<off_t>(INT32_MAX - mark, 0)));
    auto* bytes = static_cast<const char*>(buffPtr);
    while (*count < allowed) {
      ssize_t moved = write(file.fd, bytes + *count, size_t(allowed - *count));
      if (moved < 0 && errno == EINTR) continue;
      if (moved < 0) return OSErrFromErrno(errno);
      if (moved == 0) return ioErr;
      *count += SInt32(moved);
    }
    return allowed < wanted ? dskFulErr : noErr;
  });
}

OSErr GetEOF(SInt16 refNum, SInt32* logEOF) {
  if (!logEOF) return paramErr;
  return WithOpenFile(refNum, [&](OpenFile& file) {
    off_t length = 0;
    OSErr status = LengthOf(file, &length);
    return status != noErr ? status : Report32(length, logEOF);
  });
}

OSErr SetEOF(SInt16 refNum, SInt32 logEOF) {
  if (logEOF < 0) return paramErr;
  return WithOpenFile(refNum, [&](OpenFile& file) -> OSErr {
    if (!file.canWrite) return wrPermErr;
    off_t length = 0;
    OSErr status = LengthOf(file, &length);
    if (status != noErr) return status;
    if (logEOF > length) {
      status = Grow(file, length, logEOF);
    } else if (ftruncate(file.fd, logEOF) != 0) {
      status = OSErrFromErrno(errno);
    }
    if (status != noErr) return status;
    // The mark never stays past the end.
    if (lseek(file.fd, 0, SEEK_CUR) > logEOF && lseek(file.fd, logEOF, SEEK_SET) < 0) return OSErrFromErrno(errno);
    return noErr;
  });
}

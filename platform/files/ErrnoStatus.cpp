// POSIX errno values as the status codes the rest of the program understands.
#include <cerrno>

#include "platform/files/Files.h"

OSErr OSErrFromErrno(int err) {
  switch (err) {
    case 0:
      return noErr;
    case ENOENT:
      return fnfErr;
    case EEXIST:
      return dupFNErr;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return dskFulErr;
    case EACCES:
    case EPERM:
      return permErr;
    case EROFS:
      return wPrErr;
    case EINVAL:
    case EBADF:
      return paramErr;
    case ENOTDIR:
      return dirNFErr;
    case EMFILE:
    case ENFILE:
      return tmfoErr;
    case ENOMEM:
      return memFullErr;
    case ENAMETOOLONG:
      return bdNamErr;
    case EBUSY:
    case ETXTBSY:
    case ENOTEMPTY:
      return fBsyErr;
    default:
      return ioErr;
  }
}

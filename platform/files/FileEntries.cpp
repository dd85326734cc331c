// Creating, deleting and describing files. Type and creator codes travel as extended attributes;
// a file system without them simply keeps none, and the codes read back as 0.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ByteOrder.h"
#include "platform/files/Catalog.h"
#include "platform/files/Files.h"
#include "platform/files/HiddenFiles.h"

namespace {

constexpr const char* kTypeAttribute = "user.pocketmovie.type";
constexpr const char* kCreatorAttribute = "user.pocketmovie.creator";

bool AttributesUnsupported(int err) { return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM; }

int StoreCode(int fd, const char* attribute, OSType code) {
  UInt8 bytes[4];
  WriteU32(bytes, code);
  if (fsetxattr(fd, attribute, bytes, sizeof bytes, 0) == 0 || AttributesUnsupported(errno)) return 0;
  return errno;
}

OSType LoadCode(const std::string& path, const char* attribute) {
  UInt8 bytes[4];
  if (getxattr(path.c_str(), attribute, bytes, sizeof bytes) != ssize_t(sizeof bytes)) return 0;
  return ReadU32(bytes);
}

}  // namespace

OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag) {
  std::string path;
  OSErr status = catalog::PathOfSpec(spec, &path);
  if (status != noErr) return status;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return OSErrFromErrno(errno);
  int err = StoreCode(fd, kTypeAttribute, fileType);
  if (err == 0) err = StoreCode(fd, kCreatorAttribute, creator);
  if (close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err != 0) {
    // A file without the codes it was asked for is not the file that was asked for.
    unlink(path.c_str());
    return OSErrFromErrno(err);
  }
  return noErr;
}

OSErr FSpDelete(const FSSpec* spec) {
  std::string path;
  OSErr status = catalog::PathOfSpec(spec, &path);
  if (status != noErr) return status;
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return OSErrFromErrno(errno);
  int result = S_ISDIR(info.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
  if (result != 0) return OSErrFromErrno(errno);
  hidden_files::Release(path);  // a hidden file made to replace another one goes with its reservation
  return noErr;
}

OSErr FSpGetFInfo(const FSSpec* spec, FInfo* info) {
  if (!info) return paramErr;
  std::string path;
  OSErr status = catalog::PathOfSpec(spec, &path);
  if (status != noErr) return status;
  struct stat entry;
  if (stat(path.c_str(), &entry) != 0) return OSErrFromErrno(errno);
  if (S_ISDIR(entry.st_mode)) return fnfErr;  // folders carry no finder info of a file
  info->fdType = LoadCode(path, kTypeAttribute);
  info->fdCreator = LoadCode(path, kCreatorAttribute);
  info->fdFlags = 0;
  return noErr;
}

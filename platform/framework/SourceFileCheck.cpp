// What keeps a path given as the movie from being read as one, said as the user would check it.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/desktop/Translation.h"
#include "platform/framework/FrameworkInternal.h"

namespace framework {

namespace {

FailureCode missing(const std::string& path) {
  struct stat link {};
  const bool dangling = lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  return dangling ? FailureCode::linkToMissingFile : FailureCode::noSuchFile;
}

FailureCode kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return FailureCode::sourceIsFolder;
  if (S_ISFIFO(mode)) return FailureCode::sourceIsNamedPipe;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FailureCode::sourceIsDevice;
  if (S_ISSOCK(mode)) return FailureCode::sourceIsSocket;
  return FailureCode::sourceIsNotPlainFile;
}

}  // namespace

Failure SourceFileProblem(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    switch (errno) {
      case ENOENT:
      case ENOTDIR:
        return {missing(path), path};
      case ELOOP:
        return {FailureCode::linksInLoop, path};
      case EACCES:
        return {FailureCode::permissionDenied, path};
      default:
        return {FailureCode::cannotReadFile, path, std::strerror(errno)};
    }
  }
  if (!S_ISREG(info.st_mode)) return {kindOf(info.st_mode), path};
  return {};
}

}  // namespace framework

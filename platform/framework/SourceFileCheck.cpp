// What keeps a path given as the movie from being read as one, or a path from taking the output,
// said as the user would check it.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

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
  // Said before the run rather than as a movie that cannot be opened.
  if (access(path.c_str(), R_OK) != 0 && errno == EACCES) return {FailureCode::permissionDenied, path};
  return {};
}

Failure OutputFileProblem(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return {};
  // A link to nothing: writing there would replace the link, not make its target.
  if (stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? Failure{FailureCode::outputIsLinkToMissingFile, path} : Failure{};
  }
  if (S_ISREG(info.st_mode)) return {};
  return {S_ISDIR(info.st_mode) ? FailureCode::outputIsFolder : FailureCode::outputIsNotRegularFile, path};
}

}  // namespace framework

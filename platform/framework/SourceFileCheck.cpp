// What keeps a path given as the movie from being read as one, said as the user would check it.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/framework/FrameworkInternal.h"

namespace framework {

namespace {

std::string missingReason(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) return "a link to a missing file: " + path;
  return "no such file: " + path;
}

const char* kindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

}  // namespace

std::string SourceFileProblem(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    switch (errno) {
      case ENOENT:
      case ENOTDIR:
        return missingReason(path);
      case ELOOP:
        return "the links go round in a loop: " + path;
      case EACCES:
        return "permission denied: " + path;
      default:
        return "cannot read " + path + ": " + std::strerror(errno);
    }
  }
  if (S_ISDIR(info.st_mode)) return "a folder, not a movie: " + path;
  if (!S_ISREG(info.st_mode)) return std::string("not a regular file (") + kindOf(info.st_mode) + "): " + path;
  return {};
}

}  // namespace framework

// What keeps a path given as the movie from being read as one, or a path from taking the output,
// said as the user would check it.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/desktop/Translation.h"
#include "platform/framework/FrameworkInternal.h"

namespace framework {

namespace {

std::string missingReason(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    return Fill(Tr("Terminal", "a link to a missing file: %1"), path);
  }
  return Fill(Tr("Terminal", "no such file: %1"), path);
}

std::string kindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return Tr("Terminal", "a named pipe");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return Tr("Terminal", "a device");
  if (S_ISSOCK(mode)) return Tr("Terminal", "a socket");
  return Tr("Terminal", "not a plain file");
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
        return Fill(Tr("Terminal", "the links go round in a loop: %1"), path);
      case EACCES:
        return Fill(Tr("Terminal", "permission denied: %1"), path);
      default:
        return Fill(Tr("Terminal", "cannot read %1: %2"), path, std::strerror(errno));
    }
  }
  if (S_ISDIR(info.st_mode)) return Fill(Tr("Terminal", "a folder, not a movie: %1"), path);
  if (!S_ISREG(info.st_mode)) return Fill(Tr("Terminal", "not a regular file (%1): %2"), kindOf(info.st_mode), path);
  // Said before the run rather than as a movie that cannot be opened.
  if (access(path.c_str(), R_OK) != 0 && errno == EACCES) return Fill(Tr("Terminal", "permission denied: %1"), path);
  return {};
}

std::string OutputFileProblem(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return {};
  // A link to nothing: writing there would replace the link, not make its target.
  if (stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? Fill(Tr("Terminal", "the output is a link to a missing file: %1"), path) : std::string();
  }
  if (S_ISREG(info.st_mode)) return {};
  return Fill(S_ISDIR(info.st_mode) ? Tr("Terminal", "the output is a folder: %1")
                                    : Tr("Terminal", "the output is not a regular file: %1"),
              path);
}

}  // namespace framework

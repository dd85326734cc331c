#include "platform/files/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <regex>

#include "platform/OutputFormats.h"
#include "platform/files/Catalog.h"
#include "platform/files/Files.h"

namespace temporary_files {
namespace {

constexpr const char* kPrefix = ".pocketmovie-";
constexpr const char* kSuffix = ".part";

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "mp4|3gp|...": the extensions of every output format, dots left out.
std::string OutputExtensionsPattern() {
  std::string pattern;
  for (const OutputFormat& format : kOutputFormats) {
    if (!pattern.empty()) pattern += '|';
    pattern += format.extension + 1;
  }
  return pattern;
}

// The process ID in one of our temporary names, or 0 for any other name. Earlier versions named
// them after the output (".clip.mov.3gp.<pid>-<n>.part"); their leftovers count too.
pid_t OwnerOf(const std::string& name) {
  if (name.empty() || name[0] != '.' || !EndsWith(name, kSuffix)) return 0;
  static const std::regex kOurs(R"(\.(pocketmovie-|.+\.()" + OutputExtensionsPattern() +
                                R"()\.)([0-9]{1,9})-[0-9]{1,10}\.part)");
  std::smatch match;
  if (!std::regex_match(name, match, kOurs)) return 0;
  return pid_t(std::strtol(match[3].str().c_str(), nullptr, 10));
}

bool HasEnded(pid_t process) { return process > 0 && kill(process, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NextName() {
  static std::atomic<unsigned> counter = 0;
  return kPrefix + std::to_string(getpid()) + "-" + std::to_string(++counter) + kSuffix;
}

void RemoveAbandonedIn(const std::string& folder) {
  DIR* entries = opendir(folder.c_str());
  if (!entries) return;
  while (const dirent* entry = readdir(entries)) {
    const std::string name = entry->d_name;
    if (!HasEnded(OwnerOf(name))) continue;
    // Only a plain file of this user's: a link of that name may point anywhere, and another
    // user's file is theirs to clear.
    struct stat info;
    if (fstatat(dirfd(entries), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == geteuid()) {
      unlinkat(dirfd(entries), name.c_str(), 0);
    }
  }
  closedir(entries);
}

int CreateIn(const std::string& folder, std::string* path) {
  RemoveAbandonedIn(folder);
  for (int tries = 0; tries < 100; ++tries) {
    *path = catalog::JoinPath(folder == "/" ? "" : folder, NextName());
    const int fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace temporary_files

OSErr FSpCreateTemporaryBeside(const FSSpec* file, OSType creator, OSType fileType, FSSpec* temporary) {
  if (!temporary) return paramErr;
  std::string path;
  OSErr status = catalog::PathOfSpec(file, &path);
  if (status != noErr) return status;
  const std::string folder = temporary_files::FolderOf(path);
  temporary_files::RemoveAbandonedIn(folder);
  for (int tries = 0; tries < 100; ++tries) {
    status = catalog::SpecOfEntry(folder, temporary_files::NextName(), temporary);
    if (status == noErr) status = FSpCreate(temporary, creator, fileType, smSystemScript);
    if (status != dupFNErr) return status;
  }
  return status;
}

OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target) {
  std::string from, to;
  OSErr status = catalog::PathOfSpec(replacement, &from);
  if (status == noErr) status = catalog::PathOfSpec(target, &to);
  if (status != noErr) return status;
  if (temporary_files::FolderOf(from) != temporary_files::FolderOf(to)) return paramErr;
  if (rename(from.c_str(), to.c_str()) != 0) return OSErrFromErrno(errno);
  // The new entry reaches the disk, so a crash now leaves the new file and not the old one.
  const int fd = open(temporary_files::FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return noErr;
  if (fsync(fd) != 0 && errno != EINVAL) status = OSErrFromErrno(errno);
  close(fd);
  return status;
}

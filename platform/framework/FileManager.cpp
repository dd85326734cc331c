// The file manager: makes an empty file where none is, and remembers what it made, or tells whether
// one could be made without making it; and the few folder and link operations that put an output
// into another folder than its source's.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/files/HiddenFiles.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

namespace {

std::vector<std::string>& filesCreated() {
  static auto* files = new std::vector<std::string>;
  return *files;
}

std::string& lastOutputPath() {
  static auto* path = new std::string;
  return *path;
}

std::string folderOf(const std::string& path) { return NSString(path).stringByDeletingLastPathComponent().str(); }

Failure failureFor(int error, const std::string& path) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return {FailureCode::outputFolderNotWritable, folderOf(path)};
    case ENOSPC:
    case EDQUOT:
      return {FailureCode::diskFull, folderOf(path)};
    case ENOENT:
    case ENOTDIR:
      return {FailureCode::noSuchOutputFolder, folderOf(path)};
    case ENAMETOOLONG:
      return {FailureCode::outputNameTooLong, path};
    default:
      return {FailureCode::cannotCreateOutput, path, std::strerror(error)};
  }
}

}  // namespace

namespace framework {
const std::vector<std::string>& FilesCreated() { return filesCreated(); }
const std::string& LastOutputPath() { return lastOutputPath(); }
}  // namespace framework

NSFileManager* NSFileManager::defaultManager() {
  static auto* manager = new NSFileManager;
  return manager;
}

BOOL NSFileManager::createFileAtPath(const NSString& path, const void* contents, const void* attributes) {
  // Only empty files are asked for; an existing file is left as it is.
  (void)contents;
  (void)attributes;
  if (const Failure problem = framework::OutputFileProblem(path.str())) {
    framework::NoteFailure(problem);
    return NO;
  }
  struct stat info {};
  const int fd = open(path.UTF8String(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST && stat(path.UTF8String(), &info) == 0 && S_ISREG(info.st_mode)) {
      lastOutputPath() = path.str();
      return YES;
    }
    framework::NoteFailure(failureFor(error, path.str()));
    return NO;
  }
  close(fd);
  filesCreated().push_back(path.str());
  lastOutputPath() = path.str();
  return YES;
}

BOOL NSFileManager::canCreateFileAtPath(const NSString& path) {
  const std::string file = path.str();
  Failure problem = framework::OutputFileProblem(file);
  struct stat info {};
  if (!problem && lstat(file.c_str(), &info) != 0) {
    // What making the file would run into: a missing or closed folder, a name too long.
    const std::string folder = hidden_files::FolderOf(file);
    const long longestName = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (stat(folder.c_str(), &info) != 0) {
      problem = failureFor(errno, file);
    } else if (!S_ISDIR(info.st_mode)) {
      problem = failureFor(ENOTDIR, file);
    } else if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
      problem = failureFor(errno, file);
    } else if (longestName > 0 && NSString(file).lastPathComponent().str().size() > size_t(longestName)) {
      problem = failureFor(ENAMETOOLONG, file);
    }
  }
  if (problem) {
    framework::NoteFailure(problem);
    return NO;
  }
  lastOutputPath() = file;
  return YES;
}

BOOL NSFileManager::isWritableFileAtPath(const NSString& path) { return access(path.UTF8String(), W_OK) == 0; }

BOOL NSFileManager::fileExistsAtPath(const NSString& path, BOOL* isDirectory) {
  struct stat info {};
  if (lstat(path.UTF8String(), &info) != 0) return NO;
  if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
  return YES;
}

NSString NSFileManager::itemReplacementDirectoryFor(const NSString& path) {
  std::string staging;
  if (hidden_files::ReserveForPath(folderOf(path.str()), hidden_files::HiddenKind::staging, &staging) != 0) {
    return NSString("");
  }
  if (mkdir(staging.c_str(), 0700) != 0) {
    hidden_files::Release(staging);
    return NSString("");
  }
  return NSString(staging);
}

BOOL NSFileManager::createSymbolicLinkAtPath(const NSString& path, const NSString& destination) {
  return symlink(destination.UTF8String(), path.UTF8String()) == 0;
}

BOOL NSFileManager::moveItemAtPath(const NSString& path, const NSString& destination) {
  // Only a file takes another's place: a named pipe or a link there is the user's, not an output.
  if (framework::OutputFileProblem(destination.str())) return NO;
  return std::rename(path.UTF8String(), destination.UTF8String()) == 0;
}

BOOL NSFileManager::removeItemAtPath(const NSString& path) {
  std::error_code error;
  const bool removed = std::filesystem::remove_all(path.str(), error) > 0 && !error;
  hidden_files::Release(path.str());  // a folder of itemReplacementDirectoryFor's goes with its reservation
  return removed;
}

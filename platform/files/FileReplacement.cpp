// A file replaced in one step: written under a hidden name beside it, then renamed over it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files/Catalog.h"
#include "platform/files/Files.h"
#include "platform/files/HiddenFiles.h"

OSErr FSpCreateTemporaryBeside(const FSSpec* file, OSType creator, OSType fileType, FSSpec* temporary) {
  if (!temporary) return paramErr;
  std::string path;
  OSErr status = catalog::PathOfSpec(file, &path);
  if (status != noErr) return status;
  std::string hidden;
  const int err = hidden_files::ReserveForPath(hidden_files::FolderOf(path), hidden_files::HiddenKind::part, &hidden);
  if (err != 0) return OSErrFromErrno(err);
  status = catalog::SpecOfEntry(hidden_files::FolderOf(hidden), hidden.substr(hidden.rfind('/') + 1), temporary);
  if (status == noErr) status = FSpCreate(temporary, creator, fileType, smSystemScript);
  if (status != noErr) hidden_files::Release(hidden);
  return status;
}

OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target) {
  std::string from, to;
  OSErr status = catalog::PathOfSpec(replacement, &from);
  if (status == noErr) status = catalog::PathOfSpec(target, &to);
  if (status != noErr) return status;
  if (hidden_files::FolderOf(from) != hidden_files::FolderOf(to)) return paramErr;
  if (rename(from.c_str(), to.c_str()) != 0) return OSErrFromErrno(errno);
  hidden_files::Release(from);
  // The new entry reaches the disk, so a crash now leaves the new file and not the old one.
  const int fd = open(hidden_files::FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return noErr;
  if (fsync(fd) != 0 && errno != EINVAL) status = OSErrFromErrno(errno);
  close(fd);
  return status;
}

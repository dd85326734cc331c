// Opening and closing data forks, and flushing a volume's open files to the disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "platform/files/Catalog.h"
#include "platform/files/Files.h"
#include "platform/files/OpenFileTable.h"

namespace {

// O_NONBLOCK only for the open itself, so that a FIFO fails or succeeds at once instead of hanging.
int OpenDescriptor(const std::string& path, int access) {
  return open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

bool CannotWrite(int err) { return err == EACCES || err == EPERM || err == EROFS; }

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

OSErr SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return OSErrFromErrno(errno);
  // Some file systems cannot sync a folder; their entries are as safe as they will ever be.
  OSErr status = fsync(fd) == 0 || errno == EINVAL ? OSErr(noErr) : OSErrFromErrno(errno);
  close(fd);
  return status;
}

}  // namespace

OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum) {
  if (!refNum) return paramErr;
  *refNum = 0;
  std::string path;
  OSErr status = catalog::PathOfSpec(spec, &path);
  if (status != noErr) return status;

  auto file = std::make_shared<open_files::OpenFile>();
  switch (permission) {
    case fsRdPerm:
      file->fd = OpenDescriptor(path, O_RDONLY);
      file->canRead = true;
      break;
    case fsWrPerm:
      file->fd = OpenDescriptor(path, O_WRONLY);
      file->canWrite = true;
      break;
    case fsRdWrPerm:
      file->fd = OpenDescriptor(path, O_RDWR);
      file->canRead = file->canWrite = true;
      break;
    case fsCurPerm:  // the most the file allows
      file->fd = OpenDescriptor(path, O_RDWR);
      file->canRead = true;
      file->canWrite = file->fd >= 0;
      if (file->fd < 0 && CannotWrite(errno)) file->fd = OpenDescriptor(path, O_RDONLY);
      break;
    default:
      return paramErr;
  }
  if (file->fd < 0) return errno == EISDIR ? OSErr(fnfErr) : OSErrFromErrno(errno);

  struct stat info;
  if (fstat(file->fd, &info) != 0) return OSErrFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return fnfErr;  // a folder has no data fork
  int flags = fcntl(file->fd, F_GETFL);
  if (flags < 0 || fcntl(file->fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return OSErrFromErrno(errno);
  file->vRefNum = catalog::VolumeOfDevice(info.st_dev);
  if (file->vRefNum == 0) return tmfoErr;
  file->folder = FolderOf(path);

  SInt16 number = open_files::Add(file);
  if (number == 0) return tmfoErr;  // the descriptor closes with the record
  *refNum = number;
  return noErr;
}

OSErr FSClose(SInt16 refNum) {
  std::shared_ptr<open_files::OpenFile> file = open_files::Remove(refNum);
  if (!file) return rfNumErr;
  std::lock_guard<std::mutex> lock(file->mutex);
  int fd = file->fd;
  file->fd = -1;
  // On Linux the descriptor is gone even when close reports EINTR.
  if (close(fd) != 0 && errno != EINTR) return OSErrFromErrno(errno);
  return noErr;
}

OSErr GetVRefNum(SInt16 refNum, SInt16* vRefNum) {
  if (!vRefNum) return paramErr;
  return open_files::WithOpenFile(refNum, [&](open_files::OpenFile& file) {
    *vRefNum = file.vRefNum;
    return OSErr(noErr);
  });
}

OSErr FlushVol(const UInt8* volName, SInt16 vRefNum) {
  if (volName && volName[0] != 0) return paramErr;  // volumes are named by number only
  if (!catalog::IsKnownVolume(vRefNum)) return paramErr;
  OSErr status = noErr;
  std::set<std::string> folders;
  for (const auto& file : open_files::OnVolume(vRefNum)) {
    std::lock_guard<std::mutex> lock(file->mutex);
    if (file->fd < 0) continue;
    if (fsync(file->fd) != 0 && status == noErr) status = OSErrFromErrno(errno);
    folders.insert(file->folder);
  }
  for (const std::string& folder : folders) {
    OSErr folderStatus = SyncFolder(folder);
    if (status == noErr) status = folderStatus;
  }
  return status;
}

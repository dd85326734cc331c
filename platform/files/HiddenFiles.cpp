#include "platform/files/HiddenFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <system_error>
#include <vector>

#include "platform/OutputFormats.h"
#include "platform/files/Catalog.h"

namespace hidden_files {
namespace {

constexpr const char* kPrefix = ".pocketmovie-";
// Names are tried until one is free; another host's writer may hold the same process ID.
constexpr int kNameTries = 100;
// x264 writes its statistics, and its macroblock tree beside them, under ".temp" names first and
// renames each once complete.
constexpr const char* kStatisticsCompanions[] = {"", ".temp", ".mbtree", ".mbtree.temp"};

const char* SuffixOf(HiddenKind kind) {
  switch (kind) {
    case HiddenKind::part:
      return ".part";
    case HiddenKind::frames:
      return ".frames";
    case HiddenKind::statistics:
      return ".statistics";
    case HiddenKind::staging:
      return ".staging";
  }
  return ".part";
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

// The lock file's name of the reservation a name belongs to, or "" for a name that is not ours.
// Earlier versions took no lock; each of their names stands for itself (".clip.mov.3gp.PID-N.part",
// ".pocketmovie-statistics.PID-N.mbtree").
std::string ReservationOf(const std::string& name) {
  if (!name.starts_with(kPrefix) && !(name.starts_with(".") && name.ends_with(".part"))) return {};
  static const std::regex kCurrent(R"((\.pocketmovie-[0-9]{1,10}-[0-9]{1,10})(\..*)?)");
  static const std::regex kEarlier(R"(\.pocketmovie-(frames|statistics)\.[0-9]{1,10}-[0-9]{1,10}(\..*)?|\..+\.()" +
                                   OutputExtensionsPattern() + R"()\.[0-9]{1,10}-[0-9]{1,10}\.part)");
  std::smatch match;
  if (std::regex_match(name, match, kCurrent)) return match[1].str();
  return std::regex_match(name, kEarlier) ? name : std::string();
}

// Takes the lock without waiting: 0, or the errno value (EAGAIN while another holds it). A lock
// of the open file itself, not of the process, so that two of this process's own files, or the
// same file opened twice, are told apart; it is dropped when the last descriptor of it closes.
int TakeLock(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

bool HeldByAnother(int lockError) { return lockError == EAGAIN || lockError == EACCES; }

// Whether `name` (in the folder `folder` is open on) is still the file open as `fd`.
bool StillNamed(int folder, const std::string& name, int fd) {
  struct stat named {}, opened {};
  return fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && fstat(fd, &opened) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

bool IsOurs(const struct stat& info) { return info.st_uid == geteuid(); }

// Only a plain file or folder of this user's: a link of that name may point anywhere, and another
// user's file is theirs to clear.
void RemoveIfOurs(const std::string& folder, int folderFd, const std::string& name) {
  struct stat info {};
  if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !IsOurs(info)) return;
  if (S_ISREG(info.st_mode)) {
    unlinkat(folderFd, name.c_str(), 0);
  } else if (S_ISDIR(info.st_mode)) {
    std::error_code error;
    std::filesystem::remove_all(catalog::JoinPath(folder, name), error);  // links inside are removed, not followed
  }
}

// Whether the lock file open as `lock` is ours and free, and then held by this process.
bool TakeOverLock(int folderFd, const std::string& name, int lock) {
  struct stat info {};
  return fstat(lock, &info) == 0 && S_ISREG(info.st_mode) && IsOurs(info) && TakeLock(lock) == 0 &&
         StillNamed(folderFd, name, lock);
}

std::mutex& PathReservationsLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

std::map<std::string, std::unique_ptr<HiddenName>>& PathReservations() {
  static auto* reservations = new std::map<std::string, std::unique_ptr<HiddenName>>;
  return *reservations;
}

}  // namespace

HiddenName::HiddenName(std::string folder, std::string stem, int lock)
    : folder_(std::move(folder)), stem_(std::move(stem)), lock_(lock) {}

int HiddenName::Reserve(const std::string& folder, std::unique_ptr<HiddenName>* made) {
  RemoveAbandonedIn(folder);
  static std::atomic<unsigned> counter = 0;
  for (int tries = 0; tries < kNameTries; ++tries) {
    const std::string stem = kPrefix + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const std::string path = catalog::JoinPath(folder, stem);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    // A cleaner that took the lock between the file's making and now removes it: another name then.
    // Where the file system keeps no locks the name is kept all the same; no cleaner can take a
    // lock there either, so none removes it.
    if (!HeldByAnother(TakeLock(fd)) && StillNamed(AT_FDCWD, path, fd)) {
      made->reset(new HiddenName(folder, stem, fd));
      return 0;
    }
    close(fd);
  }
  return EEXIST;
}

HiddenName::~HiddenName() {
  for (const char* companion : kStatisticsCompanions) unlink((path(HiddenKind::statistics) + companion).c_str());
  unlink(path(HiddenKind::part).c_str());
  unlink(path(HiddenKind::frames).c_str());
  std::error_code error;
  std::filesystem::remove_all(path(HiddenKind::staging), error);
  // The lock file last: while it stands, nobody takes the names above for a gone writer's.
  const std::string lockFile = catalog::JoinPath(folder_, stem_);
  if (StillNamed(AT_FDCWD, lockFile, lock_)) unlink(lockFile.c_str());
  close(lock_);
}

std::string HiddenName::path(HiddenKind kind) const { return catalog::JoinPath(folder_, stem_ + SuffixOf(kind)); }

void HiddenName::keepAcrossExec() const { fcntl(lock_, F_SETFD, 0); }

void RemoveAbandonedIn(const std::string& folder) {
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return;
  std::map<std::string, std::vector<std::string>> reservations;
  if (DIR* entries = fdopendir(fcntl(folderFd, F_DUPFD_CLOEXEC, 0))) {
    while (const dirent* entry = readdir(entries)) {
      const std::string name = entry->d_name;
      if (const std::string lockFile = ReservationOf(name); !lockFile.empty()) reservations[lockFile].push_back(name);
    }
    closedir(entries);
  }
  for (const auto& [lockFile, names] : reservations) {
    const int lock = openat(folderFd, lockFile.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    // Without its lock file a reservation is what a gone writer left: a live one makes that file
    // before any other name and removes it after all of them. A lock taken by a cleaner elsewhere,
    // or one that cannot be tested, leaves it to a later run.
    const bool gone = lock < 0 ? errno == ENOENT : TakeOverLock(folderFd, lockFile, lock);
    if (gone) {
      for (const std::string& name : names) {
        if (name != lockFile) RemoveIfOurs(folder, folderFd, name);
      }
      if (lock >= 0) unlinkat(folderFd, lockFile.c_str(), 0);
    }
    if (lock >= 0) close(lock);
  }
  close(folderFd);
}

int OpenNamelessFileIn(const std::string& folder) {
  const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  // A file system without nameless files: a name for a moment, under a reservation of its own.
  std::unique_ptr<HiddenName> name;
  if (const int err = HiddenName::Reserve(folder, &name); err != 0) {
    errno = err;
    return -1;
  }
  const int named = open(name->path(HiddenKind::frames).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
  const int err = errno;
  name.reset();  // takes the name away; the open file stays
  errno = err;
  return named;
}

int ReserveForPath(const std::string& folder, HiddenKind kind, std::string* path) {
  std::unique_ptr<HiddenName> name;
  if (const int err = HiddenName::Reserve(folder, &name); err != 0) return err;
  *path = name->path(kind);
  std::lock_guard<std::mutex> hold(PathReservationsLock());
  PathReservations()[*path] = std::move(name);
  return 0;
}

void Release(const std::string& path) {
  std::unique_ptr<HiddenName> name;  // goes after the registry is free again
  std::lock_guard<std::mutex> hold(PathReservationsLock());
  const auto found = PathReservations().find(path);
  if (found == PathReservations().end()) return;
  name = std::move(found->second);
  PathReservations().erase(found);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace hidden_files

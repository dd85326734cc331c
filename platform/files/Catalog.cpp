// Folder IDs, volume numbers and stand-in names live for the whole process, so an FSSpec made
// anywhere in it resolves back to the same place. One lock guards all of them.
#include "platform/files/Catalog.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace catalog {
namespace {

constexpr size_t kLongestSpecName = sizeof(Str63) - 1;
// Folder IDs below this are the classic reserved ones (1 is above the root, 2 the root).
constexpr SInt32 kFirstFolderID = 16;

struct Folder {
  std::string path;
  SInt16 vRefNum;
};

struct Tables {
  std::mutex mutex;
  std::map<dev_t, SInt16> volumeByDevice;
  std::map<std::string, SInt32> folderIDByPath;
  std::map<SInt32, Folder> folderByID;
  std::map<std::string, UInt32> entryByPath;
  std::vector<std::string> pathByEntry;  // entry n is at n - 1
  std::map<std::pair<SInt32, std::string>, std::string> standInByName;
  std::map<std::pair<SInt32, std::string>, std::string> nameByStandIn;
  UInt32 standInsMade = 0;
};

Tables& TheTables() {
  static Tables tables;
  return tables;
}

SInt16 VolumeOfDeviceLocked(Tables& t, dev_t device) {
  auto found = t.volumeByDevice.find(device);
  if (found != t.volumeByDevice.end()) return found->second;
  // Volume numbers count down from -1, as the classic ones do.
  if (t.volumeByDevice.size() >= size_t(-SHRT_MIN)) return 0;
  SInt16 vRefNum = SInt16(-1 - SInt32(t.volumeByDevice.size()));
  t.volumeByDevice.emplace(device, vRefNum);
  return vRefNum;
}

SInt32 FolderIDLocked(Tables& t, const std::string& path, SInt16 vRefNum) {
  auto found = t.folderIDByPath.find(path);
  if (found != t.folderIDByPath.end()) {
    // The same path may lie on another volume by now (a file system mounted there).
    t.folderByID[found->second].vRefNum = vRefNum;
    return found->second;
  }
  if (t.folderByID.size() >= size_t(INT32_MAX - kFirstFolderID)) return 0;
  SInt32 id = kFirstFolderID + SInt32(t.folderByID.size());
  t.folderIDByPath.emplace(path, id);
  t.folderByID.emplace(id, Folder{path, vRefNum});
  return id;
}

bool ExistsNoFollow(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// A short name that keeps the long name's start and extension: "A very long na…#1F.mov".
std::string BuildStandIn(const std::string& name, UInt32 serial) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "#%X", unsigned(serial));
  std::string extension;
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && name.size() - dot <= 16) extension = name.substr(dot);
  size_t cut = kLongestSpecName - std::string(suffix).size() - extension.size();
  // Never split a UTF-8 sequence.
  while (cut > 0 && (UInt8(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + suffix + extension;
}

std::string ShortNameLocked(Tables& t, SInt32 parID, const std::string& folder, const std::string& name) {
  if (name.size() <= kLongestSpecName) {
    // A real file now carries a name handed out as a stand-in: the literal name wins, so this
    // FSSpec can never reach the long-named file instead.
    auto clash = t.nameByStandIn.find({parID, name});
    if (clash != t.nameByStandIn.end()) {
      t.standInByName.erase({parID, clash->second});
      t.nameByStandIn.erase(clash);
    }
    return name;
  }
  auto found = t.standInByName.find({parID, name});
  if (found != t.standInByName.end()) return found->second;
  std::string standIn;
  do {
    standIn = BuildStandIn(name, ++t.standInsMade);
  } while (t.nameByStandIn.count({parID, standIn}) || ExistsNoFollow(JoinPath(folder, standIn)));
  t.standInByName.emplace(std::make_pair(parID, name), standIn);
  t.nameByStandIn.emplace(std::make_pair(parID, standIn), name);
  return standIn;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "/" + name;
  if (name.empty()) return folder;
  if (folder == "/") return folder + name;
  return folder + "/" + name;
}

SInt16 VolumeOfDevice(dev_t device) {
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  return VolumeOfDeviceLocked(t, device);
}

bool IsKnownVolume(SInt16 vRefNum) {
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  for (const auto& [device, number] : t.volumeByDevice) {
    if (number == vRefNum) return true;
  }
  return false;
}

OSErr SplitResolvedPath(const char* path, std::string* folder, std::string* name) {
  if (!path || !folder || !name) return paramErr;
  std::string whole(path);
  if (whole.empty()) return fnfErr;
  while (whole.size() > 1 && whole.back() == '/') whole.pop_back();
  if (whole == "/") {
    folder->clear();
    name->clear();
    return noErr;
  }
  size_t slash = whole.rfind('/');
  std::string base = slash == std::string::npos ? whole : whole.substr(slash + 1);
  if (base == "." || base == "..") {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(whole.c_str(), nullptr), &std::free);
    if (!resolved) return OSErrFromErrno(errno);
    return SplitResolvedPath(resolved.get(), folder, name);
  }
  std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : whole.substr(0, slash);
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(parent.c_str(), nullptr), &std::free);
  if (!resolved) return errno == ENOENT ? OSErr(dirNFErr) : OSErrFromErrno(errno);
  struct stat info;
  if (stat(resolved.get(), &info) != 0) return OSErrFromErrno(errno);
  if (!S_ISDIR(info.st_mode)) return dirNFErr;
  *folder = resolved.get();
  *name = base;
  return noErr;
}

OSErr SpecOfEntry(const std::string& folder, const std::string& name, FSSpec* spec) {
  // The root has no parent: it is named as its own folder with an empty name.
  const std::string folderPath = folder.empty() ? "/" : folder;
  struct stat info;
  if (stat(folderPath.c_str(), &info) != 0) return OSErrFromErrno(errno);
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  SInt16 vRefNum = VolumeOfDeviceLocked(t, info.st_dev);
  SInt32 parID = FolderIDLocked(t, folderPath, vRefNum);
  if (vRefNum == 0 || parID == 0) return tmfoErr;
  std::string shortName = ShortNameLocked(t, parID, folderPath, name);
  spec->vRefNum = vRefNum;
  spec->parID = parID;
  spec->name[0] = UInt8(shortName.size());
  shortName.copy(reinterpret_cast<char*>(spec->name + 1), shortName.size());
  return noErr;
}

OSErr PathOfSpec(const FSSpec* spec, std::string* path) {
  if (!spec || !path) return paramErr;
  size_t length = spec->name[0];
  if (length > kLongestSpecName) return bdNamErr;
  std::string name(reinterpret_cast<const char*>(spec->name + 1), length);
  if (name.find_first_of(std::string("/\0", 2)) != std::string::npos || name == "." || name == "..") return bdNamErr;
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto folder = t.folderByID.find(spec->parID);
  if (folder == t.folderByID.end() || folder->second.vRefNum != spec->vRefNum) return dirNFErr;
  auto longName = t.nameByStandIn.find({spec->parID, name});
  *path = JoinPath(folder->second.path, longName != t.nameByStandIn.end() ? longName->second : name);
  return noErr;
}

UInt32 EntryNumberOf(const std::string& path) {
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto found = t.entryByPath.find(path);
  if (found != t.entryByPath.end()) return found->second;
  t.pathByEntry.push_back(path);
  UInt32 entry = UInt32(t.pathByEntry.size());
  t.entryByPath.emplace(path, entry);
  return entry;
}

bool PathOfEntry(UInt32 entry, std::string* path) {
  Tables& t = TheTables();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (entry == 0 || entry > t.pathByEntry.size()) return false;
  *path = t.pathByEntry[entry - 1];
  return true;
}

}  // namespace catalog

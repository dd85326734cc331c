// Paths to FSRef and FSSpec and back.
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/Catalog.h"
#include "platform/files/Files.h"

namespace {

constexpr UInt8 kRefMark[4] = {'p', 'm', 'r', 'f'};

void FillRef(UInt32 entry, FSRef* ref) {
  *ref = FSRef{};
  for (int i = 0; i < 4; ++i) ref->hidden[i] = kRefMark[i];
  for (int i = 0; i < 4; ++i) ref->hidden[4 + i] = UInt8(entry >> (24 - 8 * i));
}

bool PathOfRef(const FSRef* ref, std::string* path) {
  for (int i = 0; i < 4; ++i) {
    if (ref->hidden[i] != kRefMark[i]) return false;
  }
  UInt32 entry = 0;
  for (int i = 0; i < 4; ++i) entry = (entry << 8) | ref->hidden[4 + i];
  return catalog::PathOfEntry(entry, path);
}

}  // namespace

OSErr FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory) {
  if (!path || !ref) return paramErr;
  const char* text = reinterpret_cast<const char*>(path);
  struct stat info;
  if (stat(text, &info) != 0) return OSErrFromErrno(errno);
  std::string folder, name;
  OSErr status = catalog::SplitResolvedPath(text, &folder, &name);
  if (status != noErr) return status;
  FillRef(catalog::EntryNumberOf(catalog::JoinPath(folder, name)), ref);
  if (isDirectory) *isDirectory = S_ISDIR(info.st_mode) ? 1 : 0;
  return noErr;
}

OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, void* catalogInfo, void* outName,
                       FSSpec* fsSpec, FSRef* parentRef) {
  if (!ref || whichInfo != kFSCatInfoNone || catalogInfo || outName || parentRef) return paramErr;
  std::string path;
  if (!PathOfRef(ref, &path)) return paramErr;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return OSErrFromErrno(errno);
  if (!fsSpec) return noErr;
  std::string folder, name;
  OSErr status = catalog::SplitResolvedPath(path.c_str(), &folder, &name);
  if (status != noErr) return status;
  return catalog::SpecOfEntry(folder, name, fsSpec);
}

OSErr FSMakeFSSpecFromPath(const char* utf8Path, FSSpec* spec) {
  if (!utf8Path || !spec) return paramErr;
  std::string folder, name;
  OSErr status = catalog::SplitResolvedPath(utf8Path, &folder, &name);
  if (status != noErr) return status;
  return catalog::SpecOfEntry(folder, name, spec);
}

OSErr FSpGetPOSIXPath(const FSSpec* spec, std::string* path) { return catalog::PathOfSpec(spec, path); }

#include "platform/files/OpenFileTable.h"

#include <unistd.h>

#include <map>

namespace open_files {
namespace {

constexpr SInt16 kLastRefNum = 0x7FFF;

struct Table {
  std::mutex mutex;
  std::map<SInt16, std::shared_ptr<OpenFile>> files;
  SInt16 lastIssued = 0;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

OpenFile::~OpenFile() {
  if (fd >= 0) close(fd);
}

SInt16 Add(std::shared_ptr<OpenFile> file) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  // Numbers go round rather than being reused at once, so a stale number is seldom live again.
  for (int tries = 0; tries < kLastRefNum; ++tries) {
    t.lastIssued = t.lastIssued >= kLastRefNum ? 1 : SInt16(t.lastIssued + 1);
    if (t.files.emplace(t.lastIssued, file).second) return t.lastIssued;
  }
  return 0;
}

std::shared_ptr<OpenFile> Remove(SInt16 refNum) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto found = t.files.find(refNum);
  if (found == t.files.end()) return nullptr;
  std::shared_ptr<OpenFile> file = std::move(found->second);
  t.files.erase(found);
  return file;
}

std::shared_ptr<OpenFile> Find(SInt16 refNum) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto found = t.files.find(refNum);
  return found == t.files.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<OpenFile>> OnVolume(SInt16 vRefNum) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::vector<std::shared_ptr<OpenFile>> found;
  for (const auto& [refNum, file] : t.files) {
    if (file->vRefNum == vRefNum) found.push_back(file);
  }
  return found;
}

}  // namespace open_files

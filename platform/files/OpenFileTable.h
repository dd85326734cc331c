// The process-wide table of open files behind the 16-bit reference numbers. Internal to the file
// services. Each open file has its own lock, held for the length of one call on it, so a close
// never pulls the descriptor out from under a read or write running on another thread.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MacTypes.h"

namespace open_files {

struct OpenFile {
  std::mutex mutex;
  int fd = -1;  // -1 once closed
  bool canRead = false;
  bool canWrite = false;
  SInt16 vRefNum = 0;
  std::string folder;  // flushed with the file, so a newly created name is on the disk too
  ~OpenFile();
};

// The new file's reference number, or 0 when every number is taken.
SInt16 Add(std::shared_ptr<OpenFile> file);
// The file leaves the table; null when the number is not open.
std::shared_ptr<OpenFile> Remove(SInt16 refNum);
std::shared_ptr<OpenFile> Find(SInt16 refNum);
std::vector<std::shared_ptr<OpenFile>> OnVolume(SInt16 vRefNum);

// Runs action(OpenFile&) under the file's lock; rfNumErr when the number is not open.
template <class Action>
OSErr WithOpenFile(SInt16 refNum, Action action) {
  std::shared_ptr<OpenFile> file = Find(refNum);
  if (!file) return rfNumErr;
  std::lock_guard<std::mutex> lock(file->mutex);
  if (file->fd < 0) return rfNumErr;
  return action(*file);
}

}  // namespace open_files

// Fresh folders for tests, gone with everything in them when the object goes.
#pragma once

#include <sys/mount.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

class TempDir {
 public:
  // A new folder under `under`, or else under $TMPDIR, or /tmp when that is not set.
  explicit TempDir(const char* under = nullptr) {
    const char* base = under ? under : std::getenv("TMPDIR");
    path_ = std::string(base && *base ? base : "/tmp") + "/pocketmovie-test-XXXXXX";
    if (!mkdtemp(path_.data())) throw std::runtime_error("cannot make a temporary folder as " + path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder; nothing is created.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` as the whole file `name` and returns its path.
  std::string write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
    return file(name);
  }

 private:
  std::string path_;
};

// The whole file's bytes; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names of the folder's entries, sorted; only those that start with `prefix` when one is given
// (".": the hidden working files of unfinished outputs).
inline std::vector<std::string> EntryNames(const std::string& folder, const std::string& prefix = "") {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(prefix)) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A tmpfs of a few kilobytes (and, when given, room for that many files and folders, its own top
// folder included) mounted on a fresh folder, for running a file system full. Mounting needs
// privileges: check mounted() and skip when it is false.
class SmallTmpfs : public TempDir {
 public:
  explicit SmallTmpfs(long kilobytes, long entries = 0) {
    const std::string options = "size=" + std::to_string(kilobytes) + "k" +
                                (entries > 0 ? ",nr_inodes=" + std::to_string(entries) : "");
    mounted_ = mount("tmpfs", path().c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  // Lazily, so a file a failed test left open cannot keep the mount (and the folder) alive.
  ~SmallTmpfs() {
    if (mounted_) umount2(path().c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Mounts it again read-only, as a volume that turned read-only; false when that failed.
  bool makeReadOnly() const {
    return mounted_ && mount("tmpfs", path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  bool mounted_ = false;
};

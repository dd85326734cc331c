// Fresh folders for tests, gone with everything in them when the object goes.
#pragma once

#include <string>
#include <vector>

class TempDir {
 public:
  // A new folder under `under`, or else under $TMPDIR, or /tmp when that is not set.
  explicit TempDir(const char* under = nullptr);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder; nothing is created.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` as the whole file `name` and returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// The whole file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The names of the folder's entries, sorted; only those that start with `prefix` when one is given
// (".": the hidden working files of unfinished outputs).
std::vector<std::string> EntryNames(const std::string& folder, const std::string& prefix = "");

// A tmpfs of a few kilobytes (and, when given, room for that many files and folders, its own top
// folder included) mounted on a fresh folder, for running a file system full. Mounting needs
// privileges: check mounted() and skip when it is false.
class SmallTmpfs : public TempDir {
 public:
  explicit SmallTmpfs(long kilobytes, long entries = 0);
  ~SmallTmpfs();
  bool mounted() const { return mounted_; }
  // Mounts it again read-only, as a volume that turned read-only; false when that failed.
  bool makeReadOnly() const;

 private:
  bool mounted_ = false;
};

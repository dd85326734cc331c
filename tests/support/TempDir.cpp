#include "tests/support/TempDir.h"

#include <sys/mount.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

TempDir::TempDir(const char* under) {
  const char* base = under ? under : std::getenv("TMPDIR");
  path_ = std::string(base && *base ? base : "/tmp") + "/pocketmovie-test-XXXXXX";
  if (!mkdtemp(path_.data())) throw std::runtime_error("cannot make a temporary folder as " + path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream(file(name), std::ios::binary) << bytes;
  return file(name);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> EntryNames(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(prefix)) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

SmallTmpfs::SmallTmpfs(long kilobytes, long entries) {
  std::string options = "size=" + std::to_string(kilobytes) + "k";
  if (entries > 0) options += ",nr_inodes=" + std::to_string(entries);
  mounted_ = mount("tmpfs", path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool SmallTmpfs::makeReadOnly() const {
  return mounted_ && mount("tmpfs", path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

SmallTmpfs::~SmallTmpfs() {
  // Lazily, so a file a failed test left open cannot keep the mount (and the folder) alive.
  if (mounted_) umount2(path().c_str(), MNT_DETACH);
}

#include "platform/sandbox/Confinement.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/landlock.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Landlock's rights by ABI version, written out here since the system's headers may be older than
// the kernel (Debian 12's stop at version 2).
constexpr std::uint64_t kExecute = 1ULL << 0, kWriteFile = 1ULL << 1, kReadFile = 1ULL << 2, kReadDir = 1ULL << 3,
                        kRemoveDir = 1ULL << 4, kRemoveFile = 1ULL << 5, kMakeDir = 1ULL << 7,
                        kMakeReg = 1ULL << 8;
constexpr std::uint64_t kAllOfVersion1 = (1ULL << 13) - 1;
constexpr std::uint64_t kRefer = 1ULL << 13;     // version 2
constexpr std::uint64_t kTruncate = 1ULL << 14;  // version 3
constexpr std::uint64_t kIoctlDevice = 1ULL << 15;  // version 5
constexpr std::uint64_t kBindTcp = 1ULL << 0, kConnectTcp = 1ULL << 1;  // version 4
constexpr std::uint64_t kScopeAbstractUnixSocket = 1ULL << 0, kScopeSignal = 1ULL << 1;  // version 6

struct RulesetAttributes {
  std::uint64_t handledAccessFs;
  std::uint64_t handledAccessNet;
  std::uint64_t scoped;
};

constexpr std::uint64_t kReading = kReadFile | kReadDir;
constexpr std::uint64_t kWriting = kReading | kWriteFile | kRemoveFile | kRemoveDir | kMakeReg | kMakeDir | kTruncate;

// The rights a path may be given: a file takes only those that act on a file's contents.
std::uint64_t FitToPath(int fd, std::uint64_t rights) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return rights;
  return rights & (kExecute | kWriteFile | kReadFile | kTruncate | kIoctlDevice);
}

// Files and network under Landlock; what the kernel lacks goes into `missing`.
void ConfineFiles(const std::string& sourceFile, const std::string& outputFolder, std::string* missing) {
  const long version = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  if (version < 1) {
    *missing += " files and network (no Landlock)";
    return;
  }
  RulesetAttributes attributes{kAllOfVersion1, 0, 0};
  std::size_t size = sizeof attributes.handledAccessFs;
  if (version >= 2) attributes.handledAccessFs |= kRefer;
  if (version >= 3) attributes.handledAccessFs |= kTruncate;
  if (version >= 5) attributes.handledAccessFs |= kIoctlDevice;
  if (version >= 4) {
    attributes.handledAccessNet = kBindTcp | kConnectTcp;
    size = offsetof(RulesetAttributes, scoped);
  } else {
    *missing += " network (Landlock before version 4)";
  }
  if (version >= 6) {
    attributes.scoped = kScopeAbstractUnixSocket | kScopeSignal;
    size = sizeof attributes;
  }
  const int ruleset = int(syscall(SYS_landlock_create_ruleset, &attributes, size, 0));
  if (ruleset < 0) {
    *missing += " files and network (Landlock refused the rules)";
    return;
  }
  const std::vector<std::pair<std::string, std::uint64_t>> allowed{
      {sourceFile, kReadFile},
      {outputFolder, kWriting},
      {"/usr", kReading},
      {"/lib", kReading},
      {"/lib32", kReading},
      {"/lib64", kReading},
      {"/etc", kReading},
      {"/proc/self", kReading},
      {"/sys/devices/system/cpu", kReading},
      {"/dev/null", kReadFile | kWriteFile},
      {"/dev/urandom", kReadFile},
  };
  for (const auto& [path, rights] : allowed) {
    const int fd = open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) continue;  // not on this system: nothing to allow
    landlock_path_beneath_attr rule{FitToPath(fd, rights) & attributes.handledAccessFs, fd};
    syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
    close(fd);
  }
  if (syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) *missing += " files and network (Landlock refused)";
  close(ruleset);
}

#if defined(__x86_64__)
constexpr std::uint32_t kArchitecture = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t kArchitecture = AUDIT_ARCH_AARCH64;
#else
constexpr std::uint32_t kArchitecture = 0;
#endif

// Refused with EPERM rather than killed: a hostile movie gets nothing, and the conversion, whose
// own code never calls these, ends as it would have.
bool FilterSystemCalls() {
  if (kArchitecture == 0) return false;
  const int refused[] = {
      SYS_socket, SYS_socketpair, SYS_execve, SYS_execveat, SYS_ptrace, SYS_process_vm_readv,
      SYS_process_vm_writev, SYS_mount, SYS_umount2, SYS_fsopen, SYS_fsmount, SYS_move_mount, SYS_open_tree,
      SYS_pivot_root, SYS_unshare, SYS_setns,
  };
  std::vector<sock_filter> program{
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArchitecture, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
  };
#if defined(__x86_64__)
  // The x32 numbers reach the same calls by other numbers: none of them is ours.
  program.push_back(BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000u, 0, 1));
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM));
#endif
  for (int call : refused) {
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(call), 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM));
  }
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
  return syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &filter) == 0;
}

}  // namespace

std::string ConfineToConversion(const std::string& sourceFile, const std::string& outputFolder) {
  std::string missing;
  // Without it neither Landlock nor seccomp may be asked for by a process without privileges, and
  // nothing this process runs could gain any.
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) missing += " no-new-privileges";
  ConfineFiles(sourceFile, outputFolder, &missing);
  if (!FilterSystemCalls()) missing += " system calls (no seccomp filter)";
  return missing.empty() ? missing : missing.substr(1);
}

// POSIX temporary files and how they get their names: unnamed (O_TMPFILE) where the file system
// allows, else hidden names that an interrupt removes; then a link or rename in one step.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_system_posix.h"
#include "platform/interrupt_cleanup.h"
#include "platform/scratch_file.h"

namespace zrk::platform {
namespace {

using posix::Fd;
using posix::LastError;

constexpr int kTemporaryAttempts = 100;

// The named temporary file of the write in progress, for the interrupt handler to remove: the
// folder it was made in and its name there. One write runs at a time.
int g_pending_folder = AT_FDCWD;
char g_pending_name[PATH_MAX];
volatile std::sig_atomic_t g_pending = 0;

void SetPending(int folder, const std::string& name) {
  g_pending = 0;
  if (name.empty() || name.size() >= sizeof g_pending_name) return;
  std::memcpy(g_pending_name, name.c_str(), name.size() + 1);
  g_pending_folder = folder;
  g_pending = 1;
}

extern "C" void RemovePendingAndExit(int signal_number) {
  if (g_pending) ::unlinkat(g_pending_folder, g_pending_name, 0);
  ::_exit(128 + signal_number);
}

// The signals that end a process unless it catches them, but for those that tell of a fault of
// the program itself (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP, SIGSYS): those are left
// to the core dump and the sanitizers. SIGKILL cannot be caught.
std::vector<int> EndingSignals() {
  std::vector<int> signals = {SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE,   SIGALRM, SIGTERM,
                              SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF};
#ifdef SIGPOLL
  signals.push_back(SIGPOLL);
#endif
#ifdef SIGPWR
  signals.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
  signals.push_back(SIGSTKFLT);
#endif
  for (int real_time = SIGRTMIN; real_time <= SIGRTMAX; ++real_time) signals.push_back(real_time);
  return signals;
}

// The folder part of a path, up to and including its last "/"; "" for a bare name.
std::string FolderPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string RandomSuffix() {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device random;
  std::string suffix;
  for (int i = 0; i < 10; ++i) suffix += kDigits[random() % 36];
  return suffix;
}

// Creates a new file under a name like ".zrk-xxxxxxxxxx.tmp" in the folder open as folder_fd (or
// AT_FDCWD with a path prefix). Mode 0666 lets the umask decide, as for any new file.
int CreateUniqueFile(int folder_fd, const std::string& prefix, std::string& name,
                     std::error_code& ec) {
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    name = prefix + ".zrk-" + RandomSuffix() + ".tmp";
    const int fd = ::openat(folder_fd, name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      ec.clear();
      return fd;
    }
    if (errno != EEXIST) break;
  }
  ec = LastError();
  name.clear();
  return -1;
}

// A new file without a name in the folder (folder_fd, or AT_FDCWD with a path prefix): nothing
// is left of it should the process die before it is named. -1 where the file system cannot make
// one, or where /proc, through which it gets its name, is missing.
int CreateUnnamedFile(int folder_fd, const std::string& prefix) {
#ifdef O_TMPFILE
  static const bool can_name_later = ::access("/proc/self/fd", X_OK) == 0;
  if (!can_name_later) return -1;
  return ::openat(folder_fd, prefix.empty() ? "." : prefix.c_str(),
                  O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
  (void)folder_fd;
  (void)prefix;
  return -1;
#endif
}

// Renames from to to in folder unless to exists: in one step where the file system can, else by
// a hard link that fails on an existing name.
int RenameNoReplace(int folder, const char* from, const char* to) {
  if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return -1;
  if (::linkat(folder, from, folder, to, 0) != 0) return -1;
  ::unlinkat(folder, from, 0);
  return 0;
}

// Gives the unnamed file fd the name name in folder, failing on an existing name: a link does
// it in one step. Closes fd.
void LinkUnnamed(int folder, int fd, const std::string& name, std::error_code& ec) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    ec = LastError();
    ::close(fd);
    return;
  }
  if (::close(fd) != 0 && errno != EINTR) {
    ec = LastError();
    ::unlinkat(folder, name.c_str(), 0);
    return;
  }
  ec.clear();
}

// Gives the unnamed file fd a hidden name of its own beside name, for a rename over name; ""
// on failure, when fd is closed.
std::string HiddenNameFor(int folder, int fd, const std::string& name, std::error_code& ec) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  int linked = -1;
  std::string temporary;
  for (int attempt = 0; attempt < kTemporaryAttempts && linked != 0; ++attempt) {
    temporary = FolderPrefix(name) + ".zrk-" + RandomSuffix() + ".tmp";
    linked = ::linkat(AT_FDCWD, self.c_str(), folder, temporary.c_str(), AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno != EEXIST) break;
  }
  if (linked != 0) {
    ec = LastError();
    ::close(fd);
    return {};
  }
  SetPending(folder, temporary);
  return temporary;
}

}  // namespace

namespace posix {

void ClearPending() { g_pending = 0; }

int CreateWriteFile(int folder_fd, const std::string& prefix, std::string& name,
                    std::error_code& ec) {
  const int fd = CreateUnnamedFile(folder_fd, prefix);
  if (fd >= 0) {
    name.clear();
    ec.clear();
    return fd;
  }
  const int named = CreateUniqueFile(folder_fd, prefix, name, ec);
  if (named >= 0) SetPending(folder_fd, name);
  return named;
}

void PublishIn(int folder, int fd, std::string temporary, const std::string& name, bool replace,
               std::error_code& ec) {
  if (temporary.empty()) {
    if (!replace) return LinkUnnamed(folder, fd, name, ec);
    // To replace, it takes a hidden name of its own first, then that name is renamed over.
    temporary = HiddenNameFor(folder, fd, name, ec);
    if (temporary.empty()) return;
  }
  const bool closed = ::close(fd) == 0 || errno == EINTR;
  if (!closed) ec = LastError();
  const int renamed = !closed   ? -1
                      : replace ? ::renameat(folder, temporary.c_str(), folder, name.c_str())
                                : RenameNoReplace(folder, temporary.c_str(), name.c_str());
  if (renamed != 0) {
    if (closed) ec = LastError();
    ::unlinkat(folder, temporary.c_str(), 0);
    ClearPending();
    return;
  }
  ClearPending();
  ec.clear();
}

}  // namespace posix

FileHandle NativeFileSystem::CreateTemporary(const std::string& target_path,
                                             std::string& temporary_path, std::error_code& ec) {
  const int fd = posix::CreateWriteFile(AT_FDCWD, FolderPrefix(target_path), temporary_path, ec);
  if (fd < 0) return kNoFile;
  // A package that replaces another keeps who may read it.
  struct stat old;
  if (::stat(target_path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }
  return fd;
}

void NativeFileSystem::Publish(FileHandle file, const std::string& temporary_path,
                               const std::string& target_path, bool replace, std::error_code& ec) {
  posix::PublishIn(AT_FDCWD, Fd(file), temporary_path, target_path, replace, ec);
}

void NativeFileSystem::Remove(const std::string& path, std::error_code& ec) {
  posix::ClearPending();
  if (::unlink(path.c_str()) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

std::FILE* OpenScratchFile(std::error_code& ec) {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  int fd = -1;
#ifdef O_TMPFILE
  fd = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
  if (fd < 0) {
    std::string name = std::string(folder) + "/.zrk-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.c_str());
  }
  std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "w+b");
  if (file == nullptr) {
    ec = LastError();
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  ec.clear();
  return file;
}

std::string FinalTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return current;
    const std::string link(target, static_cast<std::size_t>(n));
    current = link.front() == '/' ? link : FolderPrefix(current) + link;
  }
  return path;
}

void InstallInterruptCleanup() {
  // A write past the file size limit fails with EFBIG and is reported like a full disk.
  ::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = RemovePendingAndExit;
  sigfillset(&action.sa_mask);
  for (const int signal_number : EndingSignals()) {
    // A signal the caller has us ignore (nohup, a background job) stays ignored, and one that a
    // tool running us handles (a profiler) stays its own.
    struct sigaction old {};
    if (::sigaction(signal_number, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    ::sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace zrk::platform

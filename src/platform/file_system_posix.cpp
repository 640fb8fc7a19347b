// POSIX file operations of the package code: positional reads, kernel copies, temporary files.
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"
#include "platform/lookup_start_posix.h"
#include "platform/native_new_file.h"

namespace zrk::platform {
namespace {

// Largest amount handed to one system call; Linux moves at most about 2 GiB per call anyway.
constexpr std::uint64_t kMaxChunk = std::uint64_t{1} << 30;
// Buffer of the copy fallback for files that the kernel cannot copy between.
constexpr std::size_t kCopyBufferSize = 256 * 1024;
constexpr int kTemporaryAttempts = 100;

int Fd(FileHandle file) { return static_cast<int>(file); }

std::error_code LastError() { return {errno, std::system_category()}; }

FileInfo InfoOf(const struct stat& st) {
  FileInfo info;
  info.regular = S_ISREG(st.st_mode);
  info.size = static_cast<std::uint64_t>(st.st_size);
  info.device = static_cast<std::uint64_t>(st.st_dev);
  info.file = static_cast<std::uint64_t>(st.st_ino);
  return info;
}

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

void ClearPending() { g_pending = 0; }

extern "C" void RemovePendingAndExit(int signal_number) {
  if (g_pending) ::unlinkat(g_pending_folder, g_pending_name, 0);
  ::_exit(128 + signal_number);
}

// The folder part of a path, up to and including its last "/"; "" for a bare name.
std::string FolderPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Errors after which another way of copying may still work: the two files are on different file
// systems, or one of them does not support that copy.
bool CopyUnsupported(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == ENOTSUP || error == EBADF;
}

// Some file systems make copy_file_range and sendfile report 0 bytes for a file that has data; one
// byte read at the same place tells that apart from the real end of the file.
bool HasDataAt(int fd, std::uint64_t offset) {
  char byte;
  ssize_t n;
  do {
    n = ::pread(fd, &byte, 1, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  return n > 0;
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

// A new file for a write, unnamed where possible, else under a hidden name that the interrupt
// handler removes; name gets that name ("" for none).
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

// Renames from to to in folder unless to exists: in one step where the file system can, else by
// a hard link that fails on an existing name.
int RenameNoReplace(int folder, const char* from, const char* to) {
  if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return -1;
  if (::linkat(folder, from, folder, to, 0) != 0) return -1;
  ::unlinkat(folder, from, 0);
  return 0;
}

// Closes fd and gives its file, made by CreateWriteFile as temporary, the name name in folder;
// see FileSystem::Publish.
void PublishIn(int folder, int fd, std::string temporary, const std::string& name, bool replace,
               std::error_code& ec) {
  if (temporary.empty()) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (!replace) {
      // A link fails on an existing name: the unnamed file takes its name in one step.
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
      return;
    }
    // To replace, it takes a hidden name of its own first, then that name is renamed over.
    int linked = -1;
    for (int attempt = 0; attempt < kTemporaryAttempts && linked != 0; ++attempt) {
      temporary = FolderPrefix(name) + ".zrk-" + RandomSuffix() + ".tmp";
      linked = ::linkat(AT_FDCWD, self.c_str(), folder, temporary.c_str(), AT_SYMLINK_FOLLOW);
      if (linked != 0 && errno != EEXIST) break;
    }
    if (linked != 0) {
      ec = LastError();
      ::close(fd);
      return;
    }
    SetPending(folder, temporary);
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

std::uint64_t BufferedCopy(int from, std::uint64_t offset, int to, std::uint64_t count,
                           std::error_code& ec) {
  const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
  std::uint64_t done = 0;
  while (done < count) {
    const std::size_t chunk = std::min<std::uint64_t>(count - done, kCopyBufferSize);
    const ssize_t n = ::pread(from, buffer.get(), chunk, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = LastError();
      return done;
    }
    if (n == 0) break;
    std::size_t written = 0;
    while (written < static_cast<std::size_t>(n)) {
      const ssize_t w = ::write(to, buffer.get() + written, static_cast<std::size_t>(n) - written);
      if (w < 0) {
        if (errno == EINTR) continue;
        ec = LastError();
        return done + written;
      }
      written += static_cast<std::size_t>(w);
    }
    done += static_cast<std::uint64_t>(n);
  }
  return done;
}

}  // namespace

// A name that stays one entry of its folder: not empty, "." or "..", without a separator or NUL.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

FileInfo NativeFileSystem::Stat(const std::string& path, std::error_code& ec) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    ec = LastError();
    return {};
  }
  ec.clear();
  return InfoOf(st);
}

FileInfo NativeFileSystem::StatHandle(FileHandle file, std::error_code& ec) {
  struct stat st;
  if (::fstat(Fd(file), &st) != 0) {
    ec = LastError();
    return {};
  }
  ec.clear();
  return InfoOf(st);
}

FileHandle NativeFileSystem::OpenForReading(const std::string& path, std::error_code& ec) {
  const LookupStart start = StartOfLookup(path);
  const int fd = ::openat(start.folder, start.rest, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    ec = LastError();
    return kNoFile;
  }
  ec.clear();
  return fd;
}

std::size_t NativeFileSystem::ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                                     std::error_code& ec) {
  ec.clear();
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::pread(Fd(file), buffer.data() + done, buffer.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = LastError();
      return done;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    // A regular file, the only kind read here, reads short only at its end: asking again would
    // cost a second call per small file to learn that.
    if (done < buffer.size()) break;
  }
  return done;
}

FileHandle NativeFileSystem::CreateTemporary(const std::string& target_path,
                                             std::string& temporary_path, std::error_code& ec) {
  const int fd = CreateWriteFile(AT_FDCWD, FolderPrefix(target_path), temporary_path, ec);
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
  PublishIn(AT_FDCWD, Fd(file), temporary_path, target_path, replace, ec);
}

void NativeFileSystem::Write(FileHandle file, std::span<const char> data, std::error_code& ec) {
  ec.clear();
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(Fd(file), data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = LastError();
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

std::uint64_t NativeFileSystem::CopyAt(FileHandle from, std::uint64_t offset, FileHandle to,
                                       std::uint64_t count, std::error_code& ec) {
  ec.clear();
  enum class Way { kCopyFileRange, kSendfile, kBuffer };
  Way way = Way::kCopyFileRange;
  std::uint64_t done = 0;
  while (done < count) {
    const std::size_t chunk = std::min(count - done, kMaxChunk);
    ssize_t n;
    if (way == Way::kCopyFileRange) {
      loff_t in_offset = static_cast<loff_t>(offset + done);
      n = ::copy_file_range(Fd(from), &in_offset, Fd(to), nullptr, chunk, 0);
      if (n < 0 && CopyUnsupported(errno)) {
        way = Way::kSendfile;
        continue;
      }
    } else if (way == Way::kSendfile) {
      off_t in_offset = static_cast<off_t>(offset + done);
      n = ::sendfile(Fd(to), Fd(from), &in_offset, chunk);
      if (n < 0 && CopyUnsupported(errno)) {
        way = Way::kBuffer;
        continue;
      }
    } else {
      return done + BufferedCopy(Fd(from), offset + done, Fd(to), count - done, ec);
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = LastError();
      return done;
    }
    if (n == 0) {
      if (!HasDataAt(Fd(from), offset + done)) break;
      way = Way::kBuffer;
      continue;
    }
    done += static_cast<std::uint64_t>(n);
  }
  return done;
}

void NativeFileSystem::StartWriteback(FileHandle file) {
  ::sync_file_range(Fd(file), 0, 0, SYNC_FILE_RANGE_WRITE);
}

void NativeFileSystem::Sync(FileHandle file, std::error_code& ec) {
  if (::fdatasync(Fd(file)) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

void NativeFileSystem::Close(FileHandle file, std::error_code& ec) {
  // The descriptor is released even when close reports an error, so it is never retried.
  if (::close(Fd(file)) != 0 && errno != EINTR) {
    ec = LastError();
    return;
  }
  ec.clear();
}

void NativeFileSystem::Remove(const std::string& path, std::error_code& ec) {
  ClearPending();
  if (::unlink(path.c_str()) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

NativeNewFile::NativeNewFile(const std::string& folder, const std::vector<std::string>& sub_folders,
                             std::string file_name, std::error_code& ec)
    : file_name_(std::move(file_name)) {
  folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) {
    ec = LastError();
    return;
  }
  for (const std::string& name : sub_folders) {
    if (::mkdirat(folder_, name.c_str(), 0777) != 0 && errno != EEXIST) {
      ec = LastError();
      return;
    }
    // O_NOFOLLOW turns a symbolic link planted in the folder into ELOOP instead of a way out.
    const int next =
        ::openat(folder_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      ec = LastError();
      return;
    }
    ::close(folder_);
    folder_ = next;
  }
  const int fd = CreateWriteFile(folder_, "", temporary_name_, ec);
  if (fd >= 0) file_ = fd;
}

NativeNewFile::~NativeNewFile() {
  if (file_ != kNoFile) ::close(Fd(file_));
  if (!temporary_name_.empty()) {
    ::unlinkat(folder_, temporary_name_.c_str(), 0);
    ClearPending();
  }
  if (folder_ >= 0) ::close(folder_);
}

void NativeNewFile::Commit(bool replace, std::error_code& ec) {
  if (file_ == kNoFile) {
    ec = std::make_error_code(std::errc::bad_file_descriptor);
    return;
  }
  // A rename or link replaces a symbolic link itself, and a hard link only loses this name, so
  // the file that either pointed to stays as it was.
  PublishIn(folder_, Fd(std::exchange(file_, kNoFile)), std::exchange(temporary_name_, {}),
            file_name_, replace, ec);
}

std::optional<FileInfo> NativeNewFile::Existing() const {
  struct stat st;
  if (folder_ < 0 || ::fstatat(folder_, file_name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return std::nullopt;
  }
  return InfoOf(st);
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
  struct sigaction action {};
  action.sa_handler = RemovePendingAndExit;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the caller has us ignore (nohup, a background job) stays ignored.
    struct sigaction old {};
    if (::sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    ::sigaction(signal_number, &action, nullptr);
  }
}

std::optional<FileFailure> FailureOf(const std::error_code& ec) {
  if (ec.category() != std::system_category() && ec.category() != std::generic_category()) {
    return std::nullopt;
  }
  return FailureOfErrno(ec.value());
}

std::string SystemText(const std::error_code& ec) { return ec.message(); }

}  // namespace zrk::platform

// POSIX reads and writes of the package code: positional reads, kernel copies, syncs, and the
// Russian names of the system's errors. Temporary files and folders are in the other
// file_system_*_posix.cpp files.
#include "platform/file_system_posix.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>

#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/lookup_start_posix.h"

namespace zrk::platform {
namespace {

// Largest amount handed to one system call; Linux moves at most about 2 GiB per call anyway.
constexpr std::uint64_t kMaxChunk = std::uint64_t{1} << 30;
// Buffer of the copy fallback for files that the kernel cannot copy between.
constexpr std::size_t kCopyBufferSize = 256 * 1024;

using posix::Fd;
using posix::InfoOf;
using posix::LastError;

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

namespace posix {

FileInfo InfoOf(const struct stat& st) {
  FileInfo info;
  info.regular = S_ISREG(st.st_mode);
  info.size = static_cast<std::uint64_t>(st.st_size);
  info.device = static_cast<std::uint64_t>(st.st_dev);
  info.file = static_cast<std::uint64_t>(st.st_ino);
  return info;
}

}  // namespace posix

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

std::size_t NativeFileSystem::ReadCachedAt(FileHandle file, std::uint64_t offset,
                                           std::span<char> buffer, std::error_code& ec) {
  // Kernels and file systems without reads that refuse to wait say so once; then every read waits.
  static std::atomic<bool> refused{false};
  if (refused.load(std::memory_order_relaxed)) return ReadAt(file, offset, buffer, ec);
  iovec part{buffer.data(), buffer.size()};
  ssize_t n;
  do {
    n = ::preadv2(Fd(file), &part, 1, static_cast<off_t>(offset), RWF_NOWAIT);
  } while (n < 0 && errno == EINTR);
  if (n >= 0) {
    ec.clear();
    return static_cast<std::size_t>(n);
  }
  if (errno == EAGAIN) {
    ec = std::make_error_code(std::errc::operation_would_block);
    return 0;
  }
  if (errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL) {
    refused.store(true, std::memory_order_relaxed);
    return ReadAt(file, offset, buffer, ec);
  }
  ec = LastError();
  return 0;
}

std::size_t OpenFilesAllowed() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1 << 20;
  return static_cast<std::size_t>(limit.rlim_cur);
}

void NativeFileSystem::StartReading(FileHandle file, std::uint64_t length) {
  ::posix_fadvise(Fd(file), 0, static_cast<off_t>(length), POSIX_FADV_WILLNEED);
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

std::optional<FileFailure> FailureOf(const std::error_code& ec) {
  if (ec.category() != std::system_category() && ec.category() != std::generic_category()) {
    return std::nullopt;
  }
  return FailureOfErrno(ec.value());
}

std::string SystemText(const std::error_code& ec) { return ec.message(); }

}  // namespace zrk::platform

// POSIX file operations of the package code: positional reads, kernel copies, temporary files.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>

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
  return info;
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

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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
  const std::size_t slash = target_path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target_path.substr(0, slash + 1);
  const int fd = CreateUniqueFile(AT_FDCWD, folder, temporary_path, ec);
  return fd < 0 ? kNoFile : fd;
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

void NativeFileSystem::Rename(const std::string& from, const std::string& to, std::error_code& ec) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

void NativeFileSystem::Remove(const std::string& path, std::error_code& ec) {
  if (::unlink(path.c_str()) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

NewFileBeneath::NewFileBeneath(const std::string& folder,
                               const std::vector<std::string>& sub_folders, std::string file_name,
                               std::error_code& ec)
    : file_name_(std::move(file_name)) {
  if (!IsPlainName(file_name_) ||
      !std::all_of(sub_folders.begin(), sub_folders.end(), IsPlainName)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return;
  }
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
  const int fd = CreateUniqueFile(folder_, "", temporary_name_, ec);
  if (fd >= 0) file_ = fd;
}

NewFileBeneath::~NewFileBeneath() {
  if (file_ != kNoFile) ::close(Fd(file_));
  if (!temporary_name_.empty()) ::unlinkat(folder_, temporary_name_.c_str(), 0);
  if (folder_ >= 0) ::close(folder_);
}

void NewFileBeneath::Commit(std::error_code& ec) {
  if (file_ == kNoFile) {
    ec = std::make_error_code(std::errc::bad_file_descriptor);
    return;
  }
  const int fd = Fd(file_);
  file_ = kNoFile;
  if (::close(fd) != 0 && errno != EINTR) {
    ec = LastError();
    return;
  }
  // renameat replaces a symbolic link itself, and a hard link only loses this name, so the file
  // that either pointed to stays as it was.
  if (::renameat(folder_, temporary_name_.c_str(), folder_, file_name_.c_str()) != 0) {
    ec = LastError();
    return;
  }
  temporary_name_.clear();
  ec.clear();
}

std::string ErrorText(const std::error_code& ec) {
  if (ec.category() == std::system_category() || ec.category() == std::generic_category()) {
    switch (ec.value()) {
      case ENOENT:
        return "нет такого файла или папки";
      case ENOTDIR:
        return "часть пути не является папкой";
      case EISDIR:
        return "это папка";
      case EACCES:
      case EPERM:
        return "нет доступа";
      case EROFS:
        return "диск доступен только для чтения";
      case ENOSPC:
        return "нет места на диске";
      case EDQUOT:
        return "превышена дисковая квота";
      case EFBIG:
        return "превышен допустимый размер файла";
      case EIO:
        return "ошибка ввода-вывода";
      case EEXIST:
        return "файл уже существует";
      case ENAMETOOLONG:
        return "слишком длинное имя";
      case ELOOP:
        return "путь проходит через символическую ссылку";
      case EMFILE:
      case ENFILE:
        return "открыто слишком много файлов";
      case EBUSY:
      case ETXTBSY:
        return "файл занят";
      case EINVAL:
        return "недопустимый аргумент";
      default:
        break;
    }
  }
  return ec.message();
}

}  // namespace zrk::platform

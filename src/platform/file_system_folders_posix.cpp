// POSIX folders opened once and what is made beneath their descriptors: the *at() calls with
// O_NOFOLLOW, so that no path is looked up again and no symbolic link inside is followed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/file_system_posix.h"
#include "platform/native_new_file.h"

namespace zrk::platform {
namespace {

using posix::Fd;
using posix::LastError;

bool Refused(const std::string& name, std::error_code& ec) {
  if (IsPlainFileName(name)) return false;
  ec = std::make_error_code(std::errc::invalid_argument);
  return true;
}

NameKind KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return NameKind::kFolder;
  if (S_ISREG(mode)) return NameKind::kFile;
  if (S_ISLNK(mode)) return NameKind::kLink;
  return NameKind::kOther;
}

}  // namespace

// A name that stays one entry of its folder: not empty, "." or "..", without a separator or NUL.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

FileHandle NativeFileSystem::OpenFolder(const std::string& path, std::error_code& ec) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    ec = LastError();
    return kNoFile;
  }
  ec.clear();
  return fd;
}

NameInfo NativeFileSystem::LookBeneath(FileHandle folder, const std::string& name,
                                       std::error_code& ec) {
  if (Refused(name, ec)) return {};
  struct stat st;
  if (::fstatat(Fd(folder), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) {
      ec.clear();
    } else {
      ec = LastError();
    }
    return {};
  }
  ec.clear();
  return {KindOf(st.st_mode), posix::InfoOf(st)};
}

void NativeFileSystem::CheckName(FileHandle folder, const std::string& name, std::error_code& ec) {
  if (Refused(name, ec)) return;
  // The limit of the file system the folder is on: 255 bytes on most, fewer on some.
  const long most = ::fpathconf(Fd(folder), _PC_NAME_MAX);
  if (most > 0 && name.size() > static_cast<std::size_t>(most)) {
    ec = std::make_error_code(std::errc::filename_too_long);
    return;
  }
  ec.clear();
}

FileHandle NativeFileSystem::OpenBeneath(FileHandle folder, const std::string& name, bool make,
                                         bool& made, std::error_code& ec) {
  made = false;
  if (Refused(name, ec)) return kNoFile;
  if (make) {
    made = ::mkdirat(Fd(folder), name.c_str(), 0777) == 0;
    if (!made && errno != EEXIST) {
      ec = LastError();
      return kNoFile;
    }
  }
  // O_NOFOLLOW turns a symbolic link planted in the folder into an error instead of a way out.
  const int fd =
      ::openat(Fd(folder), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    ec = LastError();
    return kNoFile;
  }
  ec.clear();
  return fd;
}

std::unique_ptr<NewFile> NativeFileSystem::CreateIn(FileHandle folder, const std::string& name,
                                                    std::error_code& ec) {
  if (Refused(name, ec)) return nullptr;
  auto file = std::make_unique<NativeNewFile>(folder, name, ec);
  if (ec) return nullptr;
  return file;
}

void NativeFileSystem::RemoveBeneath(FileHandle folder, const std::string& name, bool is_folder,
                                     std::error_code& ec) {
  if (Refused(name, ec)) return;
  if (::unlinkat(Fd(folder), name.c_str(), is_folder ? AT_REMOVEDIR : 0) != 0) {
    ec = LastError();
    return;
  }
  ec.clear();
}

NativeNewFile::NativeNewFile(FileHandle folder, std::string file_name, std::error_code& ec)
    : file_name_(std::move(file_name)) {
  // A descriptor of its own: the caller may close folder before Commit.
  folder_ = ::fcntl(Fd(folder), F_DUPFD_CLOEXEC, 0);
  if (folder_ < 0) {
    ec = LastError();
    return;
  }
  const int fd = posix::CreateWriteFile(folder_, "", temporary_name_, ec);
  if (fd >= 0) file_ = fd;
}

NativeNewFile::~NativeNewFile() {
  if (file_ != kNoFile) ::close(Fd(file_));
  if (!temporary_name_.empty()) {
    ::unlinkat(folder_, temporary_name_.c_str(), 0);
    posix::ClearPending();
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
  posix::PublishIn(folder_, Fd(std::exchange(file_, kNoFile)), std::exchange(temporary_name_, {}),
                   file_name_, replace, ec);
}

std::optional<FileInfo> NativeNewFile::Existing() const {
  struct stat st;
  if (folder_ < 0 || ::fstatat(folder_, file_name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return std::nullopt;
  }
  return posix::InfoOf(st);
}

}  // namespace zrk::platform

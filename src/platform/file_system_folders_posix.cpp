// POSIX files made beneath a folder's descriptor: the *at() calls with O_NOFOLLOW, so that no
// symbolic link inside the folder is followed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/file_system.h"
#include "platform/file_system_posix.h"
#include "platform/native_new_file.h"

namespace zrk::platform {

using posix::Fd;
using posix::LastError;

// A name that stays one entry of its folder: not empty, "." or "..", without a separator or NUL.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
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

// POSIX folder listings of the file-system seam: readdir, each entry looked at beside its folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/file_system.h"
#include "platform/lookup_start_posix.h"

namespace zrk::platform {
namespace {

std::error_code LastError() { return {errno, std::system_category()}; }

// The entry called name in the folder open as folder: a link is told apart, then followed.
FolderEntry EntryOf(int folder, const char* name) {
  FolderEntry entry;
  entry.name = name;
  struct stat st;
  if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return entry;  // gone meanwhile
  entry.folder = S_ISDIR(st.st_mode);
  if (S_ISLNK(st.st_mode) && ::fstatat(folder, name, &st, 0) != 0) return entry;  // leads nowhere
  entry.info.regular = S_ISREG(st.st_mode);
  entry.info.size = static_cast<std::uint64_t>(st.st_size);
  entry.info.device = static_cast<std::uint64_t>(st.st_dev);
  entry.info.file = static_cast<std::uint64_t>(st.st_ino);
  return entry;
}

}  // namespace

std::vector<FolderEntry> NativeFileSystem::ListFolder(const std::string& path,
                                                      std::error_code& ec) {
  const LookupStart start = StartOfLookup(path);
  const int fd = ::openat(start.folder, start.rest, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    ec = LastError();
    return {};
  }
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::fdopendir(fd), ::closedir);
  if (folder == nullptr) {
    ec = LastError();
    ::close(fd);
    return {};
  }
  std::vector<FolderEntry> entries;
  while (true) {
    errno = 0;
    const dirent* found = ::readdir(folder.get());
    if (found == nullptr) break;
    const std::string_view name = found->d_name;
    if (name != "." && name != "..") entries.push_back(EntryOf(fd, found->d_name));
  }
  if (errno != 0) {
    ec = LastError();
    return {};
  }
  ec.clear();
  return entries;
}

}  // namespace zrk::platform

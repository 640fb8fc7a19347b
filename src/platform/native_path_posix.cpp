// POSIX side of skin path handling: "\" becomes "/", and letter case is matched by hand.
#include "platform/native_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace zrk::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name ignoring case, when exactly one does.
std::string UniqueCaseMatch(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  const std::string wanted = FoldCase(name);
  std::string found;
  int matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (FoldCase(candidate) == wanted) {
      found = candidate;
      ++matches;
    }
  }
  ::closedir(dir);
  return matches == 1 ? found : std::string();
}

}  // namespace

std::string ResolveNativePath(std::string_view skin_path) {
  std::string path(skin_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || Exists(path)) return path;

  // Walk the components, keeping each one that exists and matching the others by case.
  std::string resolved;
  std::size_t pos = 0;
  if (path[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  bool matching = true;  // once a component is missing, nothing below it can be matched
  while (pos <= path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(pos, end - pos);
    std::string chosen = component;
    if (matching && !component.empty() && component != "." && component != "..") {
      const std::string candidate = resolved + component;
      if (!Exists(candidate)) {
        const std::string match = UniqueCaseMatch(resolved, component);
        if (match.empty()) {
          matching = false;
        } else {
          chosen = match;
        }
      }
    }
    resolved += chosen;
    if (end < path.size()) resolved += '/';
    pos = end + 1;
  }
  return resolved;
}

Presence ProbeFile(std::string_view skin_path) {
  // A network path has no POSIX form; "//server" would quietly name the local "/server".
  if (skin_path.starts_with("\\\\")) return Presence::kMissingFolder;
  const std::string path = ResolveNativePath(skin_path);
  if (path.empty()) return Presence::kMissingFile;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) {
      // Tell a missing file in an existing folder from a missing folder, as the platform does.
      const std::size_t slash = path.find_last_of('/');
      const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
      struct stat st;
      const bool folder_exists = ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      return folder_exists ? Presence::kMissingFile : Presence::kMissingFolder;
    }
    if (error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP) return Presence::kMissingFolder;
    return Presence::kUnopenable;
  }
  struct stat st;
  const bool is_folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
  ::close(fd);
  return is_folder ? Presence::kFolder : Presence::kPresent;
}

std::string ProgramFolder() {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string exe(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t slash = exe.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

}  // namespace zrk::platform

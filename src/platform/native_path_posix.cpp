// POSIX side of skin path handling: "\" becomes "/", and letter case is matched by hand.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/lookup_start_posix.h"
#include "platform/native_path.h"

namespace zrk::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  const LookupStart start = StartOfLookup(path);
  return ::fstatat(start.folder, start.rest, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// The entries of one folder: their names, and by folded name the one entry of that name, or ""
// when several share it (an ambiguous name matches none).
struct Listing {
  std::unordered_set<std::string> names;
  std::unordered_map<std::string, std::string> folded;
};

Listing ReadListing(const std::string& folder) {
  Listing listing;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return listing;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const auto [it, inserted] = listing.folded.try_emplace(FoldCase(name), name);
    if (!inserted) it->second.clear();
    listing.names.insert(std::move(name));
  }
  ::closedir(dir);
  return listing;
}

// The listings of the running build, by folder; null when no build keeps them. Each thread has
// its own, so that a look at the skin beside a build shares nothing with it.
thread_local std::unordered_map<std::string, Listing>* g_listings = nullptr;
// The running build's skin folder: an open handle and the path it stands for, ending in "/".
thread_local int g_skin_folder = -1;
thread_local std::string* g_skin_prefix = nullptr;

// The running build's listing of folder, read on first use; null when no build keeps them.
const Listing* KeptListing(const std::string& folder) {
  if (g_listings == nullptr) return nullptr;
  auto it = g_listings->find(folder);
  if (it == g_listings->end()) it = g_listings->emplace(folder, ReadListing(folder)).first;
  return &it->second;
}

// Whether folder holds component, from the build's listing when it keeps one, else from the disk.
bool HasEntry(const std::string& folder, const std::string& component) {
  if (const Listing* listing = KeptListing(folder)) return listing->names.count(component) != 0;
  return Exists(folder + component);
}

// The entry of folder whose name equals name ignoring case, when exactly one does.
std::string UniqueCaseMatch(const std::string& folder, const std::string& name) {
  const Listing* kept = KeptListing(folder);
  const Listing read = kept != nullptr ? Listing() : ReadListing(folder);
  const auto& folded = kept != nullptr ? kept->folded : read.folded;
  const auto it = folded.find(FoldCase(name));
  return it == folded.end() ? std::string() : it->second;
}

// Matches by letter case the components of a native path that names nothing as spelled; those
// below a missing one are kept as given. Within a build, the skin folder is taken as found.
std::string ResolveByCase(const std::string& path) {
  std::string resolved;
  std::size_t pos = 0;
  if (g_skin_prefix != nullptr && path.starts_with(*g_skin_prefix)) {
    resolved = *g_skin_prefix;
    pos = resolved.size();
  } else if (path[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  bool matching = true;  // once a component is missing, nothing below it can be matched
  while (pos <= path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(pos, end - pos);
    std::string chosen = component;
    if (matching && !component.empty() && component != "." && component != ".." &&
        !HasEntry(resolved, component)) {
      const std::string match = UniqueCaseMatch(resolved, component);
      if (match.empty()) {
        matching = false;
      } else {
        chosen = match;
      }
    }
    resolved += chosen;
    if (end < path.size()) resolved += '/';
    pos = end + 1;
  }
  return resolved;
}

}  // namespace

SkinLookupScope::SkinLookupScope(std::string_view skin_folder) {
  // The outermost scope serves every nested one: one build, one set of look-ups.
  if (g_listings != nullptr) return;
  g_listings = new std::unordered_map<std::string, Listing>();
  owner_ = true;
  std::string prefix = NativeSpelling(skin_folder);
  if (prefix.empty() || prefix.front() != '/') return;  // only a full path is worth a handle
  if (prefix.back() != '/') prefix += '/';
  g_skin_folder = ::open(prefix.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (g_skin_folder >= 0) g_skin_prefix = new std::string(std::move(prefix));
}

SkinLookupScope::~SkinLookupScope() {
  if (!owner_) return;
  delete g_listings;
  g_listings = nullptr;
  if (g_skin_folder >= 0) ::close(g_skin_folder);
  g_skin_folder = -1;
  delete g_skin_prefix;
  g_skin_prefix = nullptr;
}

LookupStart StartOfLookup(const std::string& native_path) {
  if (g_skin_prefix != nullptr && native_path.size() > g_skin_prefix->size() &&
      native_path.compare(0, g_skin_prefix->size(), *g_skin_prefix) == 0) {
    return {g_skin_folder, native_path.c_str() + g_skin_prefix->size()};
  }
  return {AT_FDCWD, native_path.c_str()};
}

// A POSIX path is bytes, UTF-8 by convention: they pass both ways unchanged.
std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return path.native(); }

std::string NativeSpelling(std::string_view skin_path) {
  std::string path(skin_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::string ResolveNativePath(std::string_view skin_path) {
  const std::string path = NativeSpelling(skin_path);
  if (path.empty() || Exists(path)) return path;
  return ResolveByCase(path);
}

namespace {

// InspectFile's one look-up, leaving the metadata in st.
Presence Probe(std::string_view skin_path, struct stat& st) {
  // A network path has no POSIX form; "//server" would quietly name the local "/server".
  if (skin_path.starts_with("\\\\")) return Presence::kMissingFolder;
  std::string path = NativeSpelling(skin_path);
  if (path.empty()) return Presence::kMissingFile;
  // One look-up of the metadata answers as an open would: the folders on the path must be
  // searchable, a folder is no file, and a file's own read permission is the open's business
  // (an unreadable file exists). Only a name missing as spelled is matched by letter case.
  const auto stat_at = [&st](const std::string& native) {
    const LookupStart start = StartOfLookup(native);
    return ::fstatat(start.folder, start.rest, &st, 0);
  };
  int result = stat_at(path);
  if (result != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    path = ResolveByCase(path);
    result = stat_at(path);
  }
  if (result == 0) return S_ISDIR(st.st_mode) ? Presence::kFolder : Presence::kPresent;
  const int error = errno;
  if (error == ENOENT) {
    // Tell a missing file in an existing folder from a missing folder, as the platform does.
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat folder_st;
    const bool folder_exists =
        ::stat(folder.c_str(), &folder_st) == 0 && S_ISDIR(folder_st.st_mode);
    return folder_exists ? Presence::kMissingFile : Presence::kMissingFolder;
  }
  if (error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP) return Presence::kMissingFolder;
  return Presence::kUnopenable;
}

// Whether this process may read a file of this metadata, told from its permission bits without a
// call per file (access lists are not looked at: opening the file still is the last word).
bool MayRead(const struct stat& st) {
  static const uid_t user = ::geteuid();
  if (user == 0) return true;
  if (st.st_uid == user) return (st.st_mode & S_IRUSR) != 0;
  static const std::vector<gid_t> groups = [] {
    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)) + 1);
    const int n = ::getgroups(static_cast<int>(ids.size() - 1), ids.data());
    ids.resize(static_cast<std::size_t>(std::max(n, 0)));
    ids.push_back(::getegid());
    return ids;
  }();
  if (std::find(groups.begin(), groups.end(), st.st_gid) != groups.end()) {
    return (st.st_mode & S_IRGRP) != 0;
  }
  return (st.st_mode & S_IROTH) != 0;
}

}  // namespace

SourceFacts InspectFile(std::string_view skin_path) {
  struct stat st;
  SourceFacts facts;
  facts.presence = Probe(skin_path, st);
  if (facts.presence != Presence::kPresent) return facts;
  facts.regular = S_ISREG(st.st_mode);
  facts.size = static_cast<std::uint64_t>(st.st_size);
  facts.readable = facts.regular && MayRead(st);
  return facts;
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

std::string DefaultDialogFolder() {
  const std::string program = ProgramFolder();
  const char* home_variable = std::getenv("HOME");
  const std::string home = home_variable != nullptr ? home_variable : "";
  if (home.empty() || home == "/") return program;
  const std::string home_prefix = home.back() == '/' ? home : home + "/";
  if (!program.empty() && (program + "/").starts_with(home_prefix)) return program;
  return home;
}

bool PathTooLongToOpen(std::string_view path) { return path.size() >= PATH_MAX; }

}  // namespace zrk::platform

// The files in a skin's folder that its package leaves out, listed through the file-system seam.
#include <algorithm>
#include <filesystem>
#include <unordered_set>
#include <utility>

#include "assembly/skin_warnings.h"
#include "assembly/texts.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;

using FoundFiles = std::vector<std::pair<fs::path, std::uint64_t>>;

// The key by which a native path is compared with the entries: the file system of Windows matches
// letter case itself, the build on other systems only where the exact name is missing.
std::string PathKey(const fs::path& path) {
  const std::string text = platform::Utf8FromPath(path.lexically_normal());
#ifdef _WIN32
  return platform::FoldCase(text);
#else
  return text;
#endif
}

// Adds the regular files below root / relative that are not named to found, with their paths
// relative to root. Sub-folders reached through a symbolic link are not entered, and those that
// may not be read are passed over; any other failure throws zrk::Error naming root.
void FindBelow(platform::FileSystem& files, const fs::path& root, const fs::path& relative,
               const std::unordered_set<std::string>& named, FoundFiles& found) {
  std::error_code ec;
  const std::vector<platform::FolderEntry> entries =
      files.ListFolder(platform::Utf8FromPath(root / relative), ec);
  if (ec == std::errc::permission_denied) return;
  if (ec) {
    throw Error("не удалось прочитать папку '" + platform::Utf8FromPath(root) +
                "': " + platform::ErrorText(ec));
  }
  for (const platform::FolderEntry& entry : entries) {
    const fs::path path = relative / platform::PathFromUtf8(entry.name);
    if (entry.folder) {
      FindBelow(files, root, path, named, found);
    } else if (entry.info.regular && named.count(PathKey(root / path)) == 0) {
      found.emplace_back(path, entry.info.size);
    }
  }
}

}  // namespace

std::vector<UnusedFile> FindUnusedFiles(const std::string& project_path,
                                        const std::vector<std::string>& files) {
  const std::string folder = mdlMain::ProjectFolder(project_path);
  const platform::SkinLookupScope lookups(folder);
  std::unordered_set<std::string> named;
  for (const std::string& name : files) {
    named.insert(PathKey(platform::PathFromUtf8(platform::ResolveNativePath(folder + name))));
  }
  named.insert(PathKey(platform::PathFromUtf8(
      platform::ResolveNativePath(folder + std::string(texts::kPreviewName)))));

  const fs::path root = platform::PathFromUtf8(platform::NativeSpelling(folder)).lexically_normal();
  platform::NativeFileSystem native;
  FoundFiles unused;
  FindBelow(native, root, fs::path(), named, unused);

  std::sort(unused.begin(), unused.end());
  std::vector<UnusedFile> result;
  result.reserve(unused.size());
  for (const auto& [path, size] : unused) {
    std::string name = platform::Utf8FromPath(path);
    std::replace(name.begin(), name.end(), '/', '\\');
    result.push_back({std::move(name), size});
  }
  return result;
}

}  // namespace zrk

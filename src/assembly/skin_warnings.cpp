// Skin warnings: the checks of each job put together in list order, and names that differ from
// one another (in letter case or separators) or from the disk (in letter case) only.
#include "assembly/skin_warnings.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "assembly/skin_checks.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

// The name of the file at native_path, found in the skin folder, as a list entry spells it:
// relative to the folder, "\\" separators.
std::string OnDiskName(std::string native_path, const std::string& skin_folder) {
  const std::string folder = platform::NativeSpelling(skin_folder);
  if (native_path.starts_with(folder)) native_path.erase(0, folder.size());
  std::replace(native_path.begin(), native_path.end(), '/', '\\');
  return native_path;
}

// An INI file bigger than this is no text an author wrote; it is left to the build.
constexpr std::uint64_t kMaxIniBytes = 64u << 20;

class SkinChecker {
 public:
  SkinChecker(const std::string& project_path, const std::vector<std::string>& files,
              WarningScope scope)
      : project_path_(project_path),
        folder_(mdlMain::ProjectFolder(project_path)),
        files_(files),
        every_file_(scope == WarningScope::kEveryFile) {}

  std::vector<SkinWarning> Run() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const std::string& name = files_[i];
      if (i == 0) {
        CheckIniFile(name, platform::ResolveNativePath(project_path_), true);
      } else if (module_names_.count(name) != 0) {
        CheckIniFile(name, platform::ResolveNativePath(folder_ + name), false);
      }
      if (auto text = skin_checks::CommentInName(name)) Warn(name, std::move(*text));
      for (std::string& text : skin_checks::WindowsNameWarnings(name)) Warn(name, std::move(text));
      CheckLetterCase(name);
      if (every_file_) LookIntoFile(name);
    }
    return std::move(warnings_);
  }

 private:
  void Warn(const std::string& file, std::string text) {
    warnings_.push_back({file, "", "", std::move(text)});
  }

  // A file that is no regular file, too big to be an INI file or unreadable gives no warning.
  void CheckIniFile(const std::string& name, const std::string& native_path, bool is_project) {
    std::error_code ec;
    const platform::FileInfo info = fs_.Stat(native_path, ec);
    if (ec || !info.regular || info.size > kMaxIniBytes) return;
    const std::optional<std::string> bytes =
        platform::ReadFileStart(fs_, native_path, kMaxIniBytes, ec);
    if (!bytes) return;
    std::vector<SkinWarning> found =
        is_project ? skin_checks::ProjectIniWarnings(name, *bytes, module_names_)
                   : skin_checks::IniTextWarnings(name, *bytes);
    std::move(found.begin(), found.end(), std::back_inserter(warnings_));
  }

  void CheckLetterCase(const std::string& name) {
    std::string folded = platform::FoldCase(name);
    std::replace(folded.begin(), folded.end(), '/', '\\');
    const auto [seen, inserted] = folded_names_.try_emplace(std::move(folded), name);
    if (!inserted) Warn(name, skin_checks::SameFileTwice(name, seen->second));
  }

  // What the build finds of the file itself: found only by letter case (the build matched it, a
  // host on a case-sensitive system will not), and a picture that is no BMP. A file that cannot
  // be read gives no warning of its picture; the build reports it.
  void LookIntoFile(const std::string& name) {
    const std::string path = folder_ + name;
    const std::string spelled = platform::NativeSpelling(path);
    const bool picture = skin_checks::HasBmpExtension(name);
    std::error_code ec;
    std::optional<std::string> start;
    if (picture) start = platform::ReadFileStart(fs_, spelled, kSeenStartBytes, ec);
    const bool missing = ec == std::errc::no_such_file_or_directory ||
                         ec == std::errc::not_a_directory || (!picture && !Exists(spelled));
    if (missing) {
      const std::string resolved = platform::ResolveNativePath(path);
      if (resolved == spelled || !Exists(resolved)) return;
      Warn(name, skin_checks::FoundByLetterCase(OnDiskName(resolved, folder_)));
      if (picture) start = platform::ReadFileStart(fs_, resolved, kSeenStartBytes, ec);
    }
    if (start) {
      if (auto text = skin_checks::BmpStartWarning(*start)) Warn(name, std::move(*text));
    }
  }

  bool Exists(const std::string& native_path) {
    std::error_code ec;
    fs_.Stat(native_path, ec);
    return !ec;
  }

  const std::string& project_path_;
  const std::string folder_;
  const std::vector<std::string>& files_;
  const bool every_file_;
  platform::NativeFileSystem fs_;
  std::unordered_set<std::string> module_names_;
  // Folded name, "\\" separators -> its first spelling.
  std::unordered_map<std::string, std::string> folded_names_;
  std::vector<SkinWarning> warnings_;
};

}  // namespace

std::string FormatWarning(const SkinWarning& warning) {
  std::string line = warning.file;
  if (!warning.section.empty()) {
    line += " [" + warning.section + "]";
    if (!warning.key.empty()) line += " " + warning.key;
  }
  return line + ": " + warning.text;
}

std::vector<SkinWarning> FindSkinWarnings(const std::string& project_path,
                                          const std::vector<std::string>& files,
                                          WarningScope scope) {
  const platform::SkinLookupScope lookups(mdlMain::ProjectFolder(project_path));
  return SkinChecker(project_path, files, scope).Run();
}

std::vector<std::string> SeenFileWarnings(std::string_view name, const SourceSeen& seen,
                                          const std::string& project_path) {
  std::vector<std::string> texts;
  if (!seen.by_letter_case.empty()) {
    texts.push_back(skin_checks::FoundByLetterCase(
        OnDiskName(std::string(seen.by_letter_case), mdlMain::ProjectFolder(project_path))));
  }
  if (skin_checks::HasBmpExtension(name)) {
    if (auto text = skin_checks::BmpStartWarning(seen.start)) texts.push_back(std::move(*text));
  }
  return texts;
}

std::vector<SkinWarning> WithSeenFileWarnings(
    const std::vector<std::string>& files, std::vector<SkinWarning> names_warnings,
    std::vector<std::pair<std::size_t, std::string>> seen_warnings) {
  std::vector<SkinWarning> all;
  all.reserve(names_warnings.size() + seen_warnings.size());
  auto named = names_warnings.begin();
  auto seen = seen_warnings.begin();
  // Each file's warnings of its INI text and name come first, then those of what it holds.
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (; named != names_warnings.end() && named->file == files[i]; ++named) {
      all.push_back(std::move(*named));
    }
    for (; seen != seen_warnings.end() && seen->first == i; ++seen) {
      all.push_back({files[i], "", "", std::move(seen->second)});
    }
  }
  std::move(named, names_warnings.end(), std::back_inserter(all));
  return all;
}

}  // namespace zrk

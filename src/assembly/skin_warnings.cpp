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
      if (!every_file_) continue;
      if (auto text = skin_checks::BmpHeaderWarning(name, folder_, fs_)) Warn(name, *text);
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

    // Found only by letter case: the build matched it, a host on a case-sensitive system will not.
    if (!every_file_) return;
    const std::string path = folder_ + name;
    const std::string spelled = platform::NativeSpelling(path);
    if (Exists(spelled)) return;
    const std::string resolved = platform::ResolveNativePath(path);
    if (resolved == spelled || !Exists(resolved)) return;
    std::string on_disk = resolved;
    const std::string folder = platform::NativeSpelling(folder_);
    if (on_disk.starts_with(folder)) on_disk.erase(0, folder.size());
    std::replace(on_disk.begin(), on_disk.end(), '/', '\\');
    Warn(name, "на диске файл называется " + skin_checks::Quoted(on_disk) +
                   ": сборка нашла его без учёта регистра букв; в Windows хост его откроет, в "
                   "Linux — нет; напишите имя так, как на диске");
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

}  // namespace zrk

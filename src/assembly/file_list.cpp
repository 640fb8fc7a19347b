// The project file list: the project's module keys, size passes and the sixteen module reads.
#include "assembly/file_list.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_set>

#include "assembly/prepared_in_order.h"
#include "platform/profile_reader.h"
#include "support/mdlINI.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

// What a Named's read stands for beyond the reads 1 to 15 of kModuleReads: the frames (read 16),
// a [MODULES] key (module_keys_ from here on), or nothing read: the project file itself.
constexpr std::uint32_t kFramesRead = kModuleReads.size() - 1;
constexpr std::uint32_t kFirstModuleKey = kModuleReads.size();
constexpr std::uint32_t kProjectItself = UINT32_MAX;

// Appends the names that the module file at module_path gives, in the order of the sixteen reads,
// and for each what was read to origins; by is the module's place among the naming files.
void ReadModuleFile(mdlINI::CachedIniReader& ini, const std::string& module_path, std::uint32_t by,
                    StringList& references, std::vector<ListedFiles::Named>& origins) {
  for (std::uint32_t read = 0; read < kFramesRead; ++read) {
    const IniRead& at = kModuleReads[read];
    std::string value = ini.Read(module_path, std::string(at.section), std::string(at.key));
    if (value.empty()) continue;
    references.Append(std::move(value));
    origins.push_back({by, read});
  }
  const IniRead& frames_read = kModuleReads[kFramesRead];
  const std::string frames =
      ini.Read(module_path, std::string(frames_read.section), std::string(frames_read.key));
  if (frames.empty()) return;
  for (std::string& frame : mdlMain::Split(frames, ";").TakeItems()) {
    if (frame.empty()) continue;  // ";;" and an end ";" name no file
    references.Append(std::move(frame));
    origins.push_back({by, kFramesRead});
  }
}

// The module files of a project (those of file_list after the project itself) parsed on a second
// thread ahead of the collection, which reads them in order.
class ModulesParsedAhead {
 public:
  ModulesParsedAhead(const std::string& project_folder, const std::vector<std::string>& file_list)
      : parsed_(file_list.size()) {
    paths_.reserve(file_list.size());
    for (const std::string& name : file_list) paths_.push_back(project_folder + name);
    if (!mdlINI::CachedIniReader::ParsesFiles()) return;
    ahead_.emplace(paths_.size() - 1, kAhead, project_folder, [this](std::size_t i) {
      parsed_[i + 1] = mdlINI::CachedIniReader::Parse(paths_[i + 1]);
    });
  }

  const std::string& Path(std::size_t index) const { return paths_[index]; }

  // Gives ini the module at index as parsed ahead, or throws what parsing it threw.
  void KeepParsed(std::size_t index, mdlINI::CachedIniReader& ini) {
    if (!ahead_) return;
    ahead_->WaitFor(index - 1);
    ini.Keep(paths_[index], std::move(*parsed_[index]));
  }

 private:
  static constexpr std::size_t kAhead = 16;
  std::vector<std::string> paths_;
  std::vector<std::optional<platform::Profile>> parsed_;
  std::optional<PreparedInOrder> ahead_;  // last: its helper uses everything above
};

}  // namespace

std::vector<std::string> SizeSuffixes(const std::string& size_list) {
  std::vector<std::string> sizes;
  if (size_list.empty()) return sizes;
  const StringList items = mdlMain::Split(size_list, ";");
  for (const std::string& item : items.items()) {
    if (item.empty()) continue;  // an empty item names no size
    sizes.push_back(mdlMain::SplitPart(item, ",", 0, false));
  }
  return sizes;
}

std::vector<std::string> ProjectModuleKeys(const std::string& size_list) {
  std::vector<std::string> suffixes = {""};
  const std::vector<std::string> sizes = SizeSuffixes(size_list);
  suffixes.insert(suffixes.end(), sizes.begin(), sizes.end());
  std::vector<std::string> keys;
  keys.reserve(suffixes.size() * kModuleKeys.size());
  for (const std::string& suffix : suffixes) {
    for (const std::string_view key : kModuleKeys) keys.push_back(std::string(key) + suffix);
  }
  return keys;
}

NameOrigin ListedFiles::OriginOf(std::size_t index) const {
  const Named named = origins_[index];
  if (named.read == kProjectItself) return {NameOrigin::Kind::kProjectFile, "", "", ""};
  const std::string& file = namers_[named.by];
  if (named.read >= kFirstModuleKey) {
    return {NameOrigin::Kind::kIniValue, file, std::string(kModulesSection),
            module_keys_[named.read - kFirstModuleKey]};
  }
  const IniRead& at = kModuleReads[named.read];
  return {NameOrigin::Kind::kIniValue, file, std::string(at.section), std::string(at.key)};
}

std::vector<std::string> ListedFiles::TakeNames() {
  origins_.clear();
  return std::move(names_);
}

ListedFiles CollectListedFiles(const std::string& project_path) {
  mdlINI::CachedIniReader ini;
  const std::string project_folder = mdlMain::ProjectFolder(project_path);
  ListedFiles listed;

  StringList file_list;
  file_list.Append(mdlMain::FileNamePart(project_path));
  // What named each name of file_list, then of references, in their order.
  std::vector<ListedFiles::Named> origins = {{0, kProjectItself}};

  // The bare keys first, then one pass for every size, the last one included.
  const std::string size_list =
      ini.Read(project_path, std::string(kSizeListRead.section), std::string(kSizeListRead.key));
  for (std::string& key : ProjectModuleKeys(size_list)) {
    std::string module = ini.Read(project_path, std::string(kModulesSection), key);
    if (module.empty()) continue;
    file_list.Append(std::move(module));
    origins.push_back(
        {0, kFirstModuleKey + static_cast<std::uint32_t>(listed.module_keys_.size())});
    listed.module_keys_.push_back(std::move(key));
  }
  listed.namers_ = file_list.items();

  StringList references;
  ModulesParsedAhead modules(project_folder, file_list.items());
  for (std::size_t i = 1; i < file_list.items().size(); ++i) {
    modules.KeepParsed(i, ini);
    ReadModuleFile(ini, modules.Path(i), static_cast<std::uint32_t>(i), references, origins);
  }
  if (mdlMain::IsArrayDimensioned(references)) {
    for (std::string& name : references.TakeItems()) file_list.Append(std::move(name));
  }

  // First occurrence wins; a hash set beside the list keeps this linear. The names are moved, not
  // copied, once the set is done with them.
  std::vector<std::string> all = file_list.TakeItems();
  std::vector<bool> first(all.size());
  std::size_t kept = 0;
  {
    std::unordered_set<std::string_view> seen;
    seen.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
      first[i] = seen.insert(all[i]).second;
      kept += first[i] ? 1 : 0;
    }
  }
  listed.names_.reserve(kept);
  listed.origins_.reserve(kept);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!first[i]) continue;
    listed.names_.push_back(std::move(all[i]));
    listed.origins_.push_back(origins[i]);
  }
  return listed;
}

std::vector<std::string> CollectFileList(const std::string& project_path) {
  return CollectListedFiles(project_path).TakeNames();
}

}  // namespace zrk

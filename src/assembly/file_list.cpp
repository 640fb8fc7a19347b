// The project file list: the project's module keys, size passes and the sixteen module reads.
#include "assembly/file_list.h"

#include <span>
#include <string_view>
#include <unordered_set>

#include "support/mdlINI.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

// Appends the names that the module file at module_path gives, in the order of the sixteen reads.
void ReadModuleFile(mdlINI::CachedIniReader& ini, const std::string& module_path,
                    StringList& references) {
  const IniRead& frames_read = kModuleReads.back();
  for (const IniRead& read : std::span(kModuleReads).first(kModuleReads.size() - 1)) {
    std::string value = ini.Read(module_path, std::string(read.section), std::string(read.key));
    if (!value.empty()) references.Append(std::move(value));
  }
  const std::string frames =
      ini.Read(module_path, std::string(frames_read.section), std::string(frames_read.key));
  if (frames.empty()) return;
  // A named list: a range-for over items() of a temporary would read a destroyed list.
  const StringList frame_list = mdlMain::Split(frames, ";");
  for (const std::string& frame : frame_list.items()) {
    if (!frame.empty()) references.Append(frame);  // ";;" and an end ";" name no file
  }
}

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

std::vector<std::string> CollectFileList(const std::string& project_path) {
  mdlINI::CachedIniReader ini;
  const std::string project_folder =
      mdlINI::WithTrailingBackslash(mdlMain::ParentFolder(project_path));

  StringList file_list;
  file_list.Append(mdlMain::FileNamePart(project_path));

  // The bare keys first, then one pass for every size, the last one included.
  const std::string size_list =
      ini.Read(project_path, std::string(kSizeListRead.section), std::string(kSizeListRead.key));
  for (const std::string& key : ProjectModuleKeys(size_list)) {
    std::string module = ini.Read(project_path, std::string(kModulesSection), key);
    if (!module.empty()) file_list.Append(std::move(module));
  }

  StringList references;
  const std::size_t module_count = file_list.items().size();
  for (std::size_t i = 1; i < module_count; ++i) {
    ReadModuleFile(ini, project_folder + file_list.items()[i], references);
  }
  if (mdlMain::IsArrayDimensioned(references)) {
    for (const std::string& name : references.items()) file_list.Append(name);
  }

  // First occurrence wins; a hash set beside the result keeps this linear.
  std::vector<std::string> unique;
  std::unordered_set<std::string_view> seen;
  unique.reserve(file_list.items().size());
  seen.reserve(file_list.items().size());
  for (const std::string& name : file_list.items()) {
    if (seen.insert(name).second) unique.push_back(name);
  }
  return unique;
}

}  // namespace zrk

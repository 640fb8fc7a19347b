// The project file list: the project's module keys, size passes and the sixteen module reads.
#include "assembly/file_list.h"

#include <array>
#include <string_view>
#include <unordered_set>

#include "support/mdlINI.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

constexpr std::array<std::string_view, 5> kModuleKeys = {"BackGround", "Font", "Picture", "ToolTip",
                                                         "BackLayer"};

struct ModuleRead {
  std::string_view section;
  std::string_view key;
};

// Reads 1 to 15 of every module file, in package order; read 16 is EFFECTS/Frames.
constexpr std::array<ModuleRead, 15> kModuleReads = {{
    {"STANDARD", "Picture"},
    {"MOUSEMOVE", "Picture"},
    {"MOUSEUP", "Picture"},
    {"MOUSEDOWN", "Picture"},
    {"STANDARD", "Mask"},
    {"EFFECTS", "Picture"},
    {"EFFECTS", "Mask"},
    {"STANDARD", "FontFileName"},
    {"STANDARD", "SecondFontFileName"},
    {"MOUSEMOVE", "FontFileName"},
    {"MOUSEUP", "FontFileName"},
    {"MOUSEDOWN", "FontFileName"},
    {"MOUSEMOVE", "Mask"},
    {"MOUSEUP", "Mask"},
    {"MOUSEDOWN", "Mask"},
}};

// The size suffixes of the project: the first ","-field of every non-empty SizeList item.
StringList ReadSizeList(mdlINI::CachedIniReader& ini, const std::string& project_path) {
  StringList sizes;
  const std::string value = ini.Read(project_path, "DIRECTIVES", "SizeList");
  if (value.empty()) return sizes;
  const StringList items = mdlMain::Split(value, ";");
  for (const std::string& item : items.items()) {
    if (item.empty()) continue;  // an empty item names no size
    sizes.Append(mdlMain::SplitPart(item, ",", 0, false));
  }
  return sizes;
}

// Appends the names that the module file at module_path gives, in the order of the sixteen reads,
// and where each was named to origins; module is the file's name in the list.
void ReadModuleFile(mdlINI::CachedIniReader& ini, const std::string& module_path,
                    const std::string& module, StringList& references,
                    std::vector<NameOrigin>& origins) {
  for (const ModuleRead& read : kModuleReads) {
    std::string value = ini.Read(module_path, std::string(read.section), std::string(read.key));
    if (value.empty()) continue;
    references.Append(std::move(value));
    origins.push_back(
        {NameOrigin::Kind::kIniValue, module, std::string(read.section), std::string(read.key)});
  }
  const std::string frames = ini.Read(module_path, "EFFECTS", "Frames");
  if (frames.empty()) return;
  // A named list: a range-for over items() of a temporary would read a destroyed list.
  const StringList frame_list = mdlMain::Split(frames, ";");
  for (const std::string& frame : frame_list.items()) {
    if (frame.empty()) continue;  // ";;" and an end ";" name no file
    references.Append(frame);
    origins.push_back({NameOrigin::Kind::kIniValue, module, "EFFECTS", "Frames"});
  }
}

}  // namespace

std::vector<ListedFile> CollectListedFiles(const std::string& project_path) {
  mdlINI::CachedIniReader ini;
  const std::string project_folder = mdlMain::ProjectFolder(project_path);

  StringList file_list;
  file_list.Append(mdlMain::FileNamePart(project_path));
  // Where each name of file_list, then of references, was named, in their order.
  std::vector<NameOrigin> origins = {{NameOrigin::Kind::kProjectFile, "", "", ""}};

  // The bare keys first, then one pass for every size, the last one included.
  std::vector<std::string> suffixes = {""};
  const StringList sizes = ReadSizeList(ini, project_path);
  if (mdlMain::IsArrayDimensioned(sizes)) {
    suffixes.insert(suffixes.end(), sizes.items().begin(), sizes.items().end());
  }
  for (const std::string& suffix : suffixes) {
    for (const std::string_view key : kModuleKeys) {
      std::string module = ini.Read(project_path, "MODULES", std::string(key) + suffix);
      if (module.empty()) continue;
      file_list.Append(std::move(module));
      origins.push_back({NameOrigin::Kind::kIniValue, file_list.items()[0], "MODULES",
                         std::string(key) + suffix});
    }
  }

  StringList references;
  const std::size_t module_count = file_list.items().size();
  for (std::size_t i = 1; i < module_count; ++i) {
    const std::string& module = file_list.items()[i];
    ReadModuleFile(ini, project_folder + module, module, references, origins);
  }
  if (mdlMain::IsArrayDimensioned(references)) {
    for (const std::string& name : references.items()) file_list.Append(name);
  }

  // First occurrence wins; a hash set beside the result keeps this linear.
  std::vector<ListedFile> unique;
  std::unordered_set<std::string_view> seen;
  unique.reserve(file_list.items().size());
  seen.reserve(file_list.items().size());
  for (std::size_t i = 0; i < file_list.items().size(); ++i) {
    const std::string& name = file_list.items()[i];
    if (seen.insert(name).second) unique.push_back({name, std::move(origins[i])});
  }
  return unique;
}

std::vector<std::string> CollectFileList(const std::string& project_path) {
  std::vector<ListedFile> listed = CollectListedFiles(project_path);
  std::vector<std::string> names;
  names.reserve(listed.size());
  for (ListedFile& file : listed) names.push_back(std::move(file.name));
  return names;
}

}  // namespace zrk

// The project file list: every file a skin consists of, in package order, and the schema of where
// the project and its modules name those files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrk {

/// One INI value that names a file: its section and key.
struct IniRead {
  std::string_view section;
  std::string_view key;
};

/// Where the project lists its sizes: each size is a suffix of the module keys.
inline constexpr IniRead kSizeListRead = {"DIRECTIVES", "SizeList"};

/// The project's section of module files.
inline constexpr std::string_view kModulesSection = "MODULES";

/// The keys of kModulesSection that name module files; ProjectModuleKeys gives them with their
/// size suffixes.
inline constexpr std::array<std::string_view, 5> kModuleKeys = {"BackGround", "Font", "Picture",
                                                                "ToolTip", "BackLayer"};

/// The sixteen reads of every module file, in package order. The last, EFFECTS/Frames, names a
/// ";"-separated list of frames, whose empty items name no file.
inline constexpr std::array<IniRead, 16> kModuleReads = {{
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
    {"EFFECTS", "Frames"},
}};

/// The size suffixes of a SizeList value: the first ","-field of every non-empty ";"-item, in
/// order (",600" gives an empty one). Splits at ASCII bytes only, so the value may be UTF-8 or
/// Windows-1251 bytes.
std::vector<std::string> SizeSuffixes(const std::string& size_list);

/// The keys of kModulesSection that a project with that SizeList value reads, in order: the bare
/// module keys, then the module keys with each size suffix, the last size included.
std::vector<std::string> ProjectModuleKeys(const std::string& size_list);

/// Follows the project file at project_path to its module files and returns every file the skin
/// uses, relative to the project folder: the project file's own name first, then the module
/// names pass by pass, then the names each module file gives, each name once (first occurrence
/// wins, exact comparison). Missing files, sections and keys contribute nothing. Never throws
/// for bad input; only reads files.
std::vector<std::string> CollectFileList(const std::string& project_path);

/// Where a name of the file list was first named.
struct NameOrigin {
  enum class Kind {
    kProjectFile,  ///< the project file itself: the list starts with it
    kIniValue,     ///< a value of an INI file: file, section and key say which
    kPreview,      ///< the preview picture, which a build looks for by its fixed name
  };
  Kind kind = Kind::kIniValue;
  std::string file;  ///< the INI file, as the list names it
  std::string section;
  std::string key;  ///< as read: a module key with its size suffix, "Frames" for a frame
};

/// The file list with where each name was first named. The origins are kept in a few bytes a
/// name, for a list of tens of thousands, and spelled out when asked for.
class ListedFiles {
 public:
  /// The names in package order: what CollectFileList returns.
  const std::vector<std::string>& names() const { return names_; }
  /// Where names()[index] was first named.
  NameOrigin OriginOf(std::size_t index) const;
  /// Hands over the names, leaving the list empty.
  std::vector<std::string> TakeNames();

  /// An origin as the list keeps it: by is the naming file's place among the project file and
  /// the module names as read from it, read says what was read there.
  struct Named {
    std::uint32_t by;
    std::uint32_t read;
  };

 private:
  friend ListedFiles CollectListedFiles(const std::string& project_path);
  std::vector<std::string> names_;
  std::vector<Named> origins_;
  std::vector<std::string> namers_;       // the project file, then the module names read from it
  std::vector<std::string> module_keys_;  // the [MODULES] key of each module name, in that order
};

/// CollectFileList's names in its order, each with where it was first named.
ListedFiles CollectListedFiles(const std::string& project_path);

}  // namespace zrk

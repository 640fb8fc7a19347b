// The project file list: every file a skin consists of, in package order.
#pragma once

#include <string>
#include <vector>

namespace zrk {

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

/// A name of the file list with its origin.
struct ListedFile {
  std::string name;
  NameOrigin origin;
};

/// CollectFileList's names in its order, each with where it was first named.
std::vector<ListedFile> CollectListedFiles(const std::string& project_path);

}  // namespace zrk

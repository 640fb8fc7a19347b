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

}  // namespace zrk

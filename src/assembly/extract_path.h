// Safe extraction of package entries: entry names as paths confined to a target folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "assembly/package_reader.h"

namespace zrk {

/// The folder names and file name that entry name stands for, split at "\" (and at "/", which
/// separates folders on Linux). Throws zrk::Error naming the entry when the name is empty,
/// absolute, starts with a drive letter, or has an empty, "." or ".." component or a NUL byte.
std::vector<std::string> EntryPathComponents(std::string_view name);

/// The native path under target_folder that the entry name extracts to; throws as
/// EntryPathComponents does.
std::string ExtractionPath(const std::string& target_folder, std::string_view name);

/// Writes the data of entry to its path under target_folder, an existing folder, creating the
/// sub-folders and replacing a file of that name. Never follows a symbolic link below
/// target_folder, so nothing outside it is created or changed. Returns the path written; throws
/// zrk::Error naming the entry, with nothing left half-written.
std::string ExtractEntry(const PackageReader& reader, const PackageEntry& entry,
                         const std::string& target_folder);

}  // namespace zrk

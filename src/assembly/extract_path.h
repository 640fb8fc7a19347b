// Safe extraction of package entries: entry names as paths confined to a target folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "assembly/package_reader.h"
#include "platform/error.h"

namespace zrk {

/// The folder names and file name that entry name stands for, split at "\" (and at "/", which
/// separates folders on Linux). Throws zrk::Error naming the entry when the name is empty,
/// absolute, starts with a drive letter, has a ".." component or a NUL byte, or ends in a
/// separator; empty and "." components are dropped ("a\\.\\b" is "a\b").
std::vector<std::string> EntryPathComponents(std::string_view name);

/// The native path under target_folder that the entry name extracts to; throws as
/// EntryPathComponents does.
std::string ExtractionPath(const std::string& target_folder, std::string_view name);

/// A file of the entry's name is already there and was not to be replaced.
class ExistingFile : public Error {
 public:
  using Error::Error;
};

/// Writes the data of entry to its path under target_folder, an existing folder, creating the
/// sub-folders. A file of that name is replaced only with replace (else ExistingFile is thrown),
/// and never when it is the package being read. Never follows a symbolic link below
/// target_folder, so nothing outside it is created or changed. Returns the path written; throws
/// zrk::Error naming the entry, with nothing left half-written.
std::string ExtractEntry(const PackageReader& reader, const PackageEntry& entry,
                         const std::string& target_folder, bool replace);

}  // namespace zrk

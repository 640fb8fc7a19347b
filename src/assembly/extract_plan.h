// The look before extraction writes: every entry's path, and everything that would stop it.
// Used by package_extract.cpp only.
#pragma once

#include <string>
#include <vector>

#include "assembly/package_extract.h"
#include "assembly/package_reader.h"

namespace zrk {

/// What the look before writing found.
struct ExtractPlan {
  /// Of each entry, in package order: the names from target.folder down to the file, the
  /// target's missing folders first; only those for entries the options take.
  std::vector<std::vector<std::string>> paths;
  /// Of each entry: its name came earlier in the package.
  std::vector<bool> repeated;
  /// Something was told to ExtractReport::Refused: nothing may be written.
  bool refused = false;
};

/// Looks at every entry of reader and, through target.folder, at the disk, and tells
/// report.Refused of each problem in package order. Throws zrk::Error when a folder of
/// target.missing could not be made.
ExtractPlan PlanExtraction(const PackageReader& reader, const ExtractTarget& target,
                           const ExtractOptions& options, ExtractReport& report);

/// The message of an entry whose file is the package being read.
std::string PackageItselfMessage(const PackageEntry& entry, const std::string& target);

/// The message of an entry whose file is there and is not to be replaced.
std::string KeptFileMessage(const PackageEntry& entry, const std::string& target);

}  // namespace zrk

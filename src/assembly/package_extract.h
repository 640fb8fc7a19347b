// ExtractPackage: every entry of a package written beneath one opened folder, or none of them.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "assembly/package_reader.h"
#include "platform/file_system.h"

namespace zrk {

/// Why an entry cannot be extracted; each is found before anything is written.
enum class ExtractProblem {
  kUnsafeName,     ///< the name would lead outside the target folder, or names no file
  kConflict,       ///< a file where a folder must go or the reverse, in the package or on the
                   ///< disk; a symbolic link on the way; a name the file system cannot hold
  kPackageItself,  ///< the entry's file is the package being read
  kExisting,       ///< a file of that name is there, and replacing was not asked for
};

/// What ExtractPackage tells as it goes; each message names the entry and the reason.
class ExtractReport {
 public:
  virtual ~ExtractReport() = default;

  /// entry cannot be extracted. Everything found is told, in package order; then nothing is
  /// written.
  virtual void Refused(const PackageEntry& entry, ExtractProblem problem,
                       const std::string& message) = 0;

  /// entry's name comes earlier in the package too, and entry is about to replace what the
  /// earlier one wrote.
  virtual void Repeated(const PackageEntry& entry, const std::string& message) = 0;

  /// Told after each entry written: the bytes of entry data written so far, out of total.
  virtual void Progress(std::uint64_t /*written*/, std::uint64_t /*total*/) {}
};

/// Where an extraction writes: a folder open in the reader's file system (see
/// FileSystem::OpenFolder), which ExtractPackage never closes; the folders to make beneath it on
/// the way to the target, when the target itself is missing; and the target as the user named
/// it, for messages.
struct ExtractTarget {
  platform::FileHandle folder = platform::kNoFile;
  std::vector<std::string> missing;
  std::string name;
};

/// How ExtractPackage treats files that are there already.
struct ExtractOptions {
  /// Replace them (a symbolic link itself, never what it points to); never the package read.
  bool replace_existing = false;
  /// The names of the entries to write (as PackageEntry::name); empty for every entry.
  std::set<std::string> only = {};

  /// Whether entry is among those to write.
  bool Takes(const PackageEntry& entry) const { return only.empty() || only.contains(entry.name); }
};

/// Writes every entry of reader (its index kept) that options take, in package order, beneath
/// target.folder's handle: no path is looked up again, no symbolic link is followed, and a name
/// that comes again replaces the earlier entry's file. Returns false, having written nothing, when
/// the look before writing finds anything in its way (see ExtractProblem), each told to
/// report.Refused in package order. A failure while writing throws zrk::Error naming the entry and
/// the reason, after removing what this call made (files it replaced keep their new data; the
/// message says how many files are left).
bool ExtractPackage(const PackageReader& reader, const ExtractTarget& target,
                    const ExtractOptions& options, ExtractReport& report);

}  // namespace zrk

// Reading a package: its strictly validated index of entries, and the data of one entry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zrk {

/// One file stored in a package.
struct PackageEntry {
  std::string name;                 ///< The name field, decoded from Windows-1251 to UTF-8.
  std::uint32_t size = 0;           ///< Number of data bytes.
  std::uint64_t header_offset = 0;  ///< Where the entry's header starts in the package.
  std::uint64_t data_offset = 0;    ///< Where its data start.
};

/// An open package with its index. The whole file is validated when it is opened, or, without the
/// index, as ForEachEntry reads it; memory use depends on the number of entries only (nothing at
/// all without the index), never on a size read from the file.
class PackageReader {
 public:
  /// Whether the reader reads and keeps the entries when it opens, or reads none until
  /// ForEachEntry.
  enum class Index { kKeep, kNone };

  /// Opens the package at path and, with the index, validates and keeps it. Throws zrk::Error
  /// naming the package and, for a broken one, the byte offset of the first fault.
  explicit PackageReader(const std::string& path, Index index = Index::kKeep);

  /// The same, doing its file operations through fs, which must outlive the reader.
  PackageReader(const std::string& path, platform::FileSystem& fs, Index index = Index::kKeep);

  ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  /// The file operations the reader does its work through; CopyData writes to files of it.
  platform::FileSystem& file_system() const { return fs_; }

  /// Which file the package is, to tell it from files that would be written over it.
  const platform::FileInfo& file_info() const { return file_info_; }

  /// The entries in package order; empty without the index.
  const std::vector<PackageEntry>& entries() const { return entries_; }

  /// Reads the entries from the file, in package order, validating each before it hands it to
  /// visit: memory stays the same whatever their number. Throws as the constructor does, at the
  /// first fault, once the entries before it have been visited; also when the file's length has
  /// changed since it was opened.
  void ForEachEntry(const std::function<void(const PackageEntry&)>& visit) const;

  /// Appends the data of entry at the file position of out, a file of the same FileSystem open
  /// for writing, through a fixed-size buffer or the kernel's copy. Throws zrk::Error naming the
  /// entry and the package when the package cannot be read or out cannot be written.
  void CopyData(const PackageEntry& entry, platform::FileHandle out) const;

 private:
  void Walk(const std::function<void(PackageEntry&&)>& visit) const;

  platform::NativeFileSystem native_;
  platform::FileSystem& fs_;
  std::string path_;
  platform::ScopedFile file_;  // closed however the constructor ends
  std::uint64_t file_size_ = 0;
  platform::FileInfo file_info_;
  std::vector<PackageEntry> entries_;
};

/// The entries of the package at path, validated as PackageReader does; throws the same way.
std::vector<PackageEntry> ReadPackageIndex(const std::string& path);

}  // namespace zrk

// The INI profile reader: the observable behaviour of the Windows profile API, on bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zrk::platform {

/// The longest value the reader returns, in characters (bytes of Windows-1251).
inline constexpr std::size_t kMaxProfileValue = 1022;

/// The longest section or key name the reader can match, in bytes; longer names in a file are
/// never kept, and a lookup of a longer name finds nothing.
inline constexpr std::size_t kMaxProfileName = 4096;

/// One INI file, parsed once, answering lookups as the platform's profile reader does. Names
/// and values are Windows-1251 bytes.
class Profile {
 public:
  /// Parses the bytes of a file: a UTF-16LE file (mark FF FE) is turned into Windows-1251 first,
  /// everything else is taken as Windows-1251.
  static Profile Parse(std::string_view file_bytes);

  /// Reads and parses the file at a native path, in memory bounded whatever its lines. A file that
  /// is missing, not a regular file or cannot be opened gives an empty profile, in which every
  /// lookup is empty. Throws zrk::Error naming the file when it cannot be read to its end (a read
  /// error, no memory left): half a file must not pass for the whole.
  static Profile Load(const std::string& native_path);

  /// The value of key in the first section called section (both matched ignoring letter case,
  /// spaces at their ends dropped), quotes removed and cut to kMaxProfileValue bytes; empty for
  /// anything missing.
  std::string Value(std::string_view section, std::string_view key) const;

  /// The same value, or nullopt when the section or the key is missing: an entry with an empty
  /// value, or without "=", is there.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  class Parser;

  // Folded key name -> shaped value of the first entry with that key.
  using Entries = std::unordered_map<std::string, std::string>;

  // Folded section name -> entries of the first section with that name; later sections of the
  // same name are never read, so they are not kept.
  std::unordered_map<std::string, Entries> sections_;
};

/// Folds the letter case of Windows-1251 bytes as FoldCase folds their characters (ASCII and
/// Cyrillic), for matching names.
std::string FoldCaseCp1251(std::string_view bytes);

}  // namespace zrk::platform

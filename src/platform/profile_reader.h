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

/// One entry line under a section header, split as the reader splits it. Names and values are
/// Windows-1251 bytes, valid during the visit only.
struct ProfileEntry {
  std::string_view section;  ///< the name of the header above it, blanks at its ends dropped
  std::string_view key;      ///< the text before the first "=", blanks at its ends dropped
  /// The text after that "=", blanks at its ends and one pair of matching quotes dropped, not
  /// cut; "" for a line without "=".
  std::string_view value;
  /// Whether a lookup finds this entry: it stands in the first section of its name and is the
  /// first of its key there (letter case ignored).
  bool first = false;
};

/// Receives the headers and entries of an INI file in file order, as ParseProfile finds them.
class ProfileVisitor {
 public:
  virtual ~ProfileVisitor() = default;

  /// A section header; first when no header before it has that name (letter case ignored).
  virtual void Section(std::string_view /*name*/, bool /*first*/) {}

  /// An entry line under a header. Lines before the first header, which no lookup can read, and
  /// comments are not visited.
  virtual void Entry(const ProfileEntry& entry) = 0;
};

/// The reader's grammar over Windows-1251 text (a UTF-16LE file's text once converted, as
/// Profile::Parse converts it): gives visitor every header and entry, names and values whole.
void ParseProfile(std::string_view text, ProfileVisitor& visitor);

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
  class Builder;

  // Folded key name -> shaped value of the first entry with that key.
  using Entries = std::unordered_map<std::string, std::string>;

  // Folded section name -> entries of the first section with that name; later sections of the
  // same name are never read, so they are not kept.
  std::unordered_map<std::string, Entries> sections_;
};

/// Folds the letter case of Windows-1251 bytes as FoldCase folds their characters (ASCII and
/// Cyrillic), for matching names.
std::string FoldCaseCp1251(std::string_view bytes);

/// The form in which a lookup matches a name it is asked for: spaces (not other blanks) at its
/// ends dropped, letter case folded. A file's names match in their FoldCaseCp1251 form.
std::string ProfileLookupName(std::string_view name);

}  // namespace zrk::platform

// The package format: its magic, entry headers, and strict parsing of them, apart from file I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zrk::package {

/// The ten bytes a package starts with.
inline constexpr std::string_view kMagic = "ZRK4000029";

/// The ten bytes each entry header starts with.
inline constexpr std::string_view kHeaderStart = "<new_file=";

/// Largest data size of one entry: sizes are 32-bit signed numbers.
inline constexpr std::uint32_t kMaxEntrySize = 2147483647;

/// Longest name field accepted. Longer names could not be opened as files on either platform,
/// and the limit bounds the bytes a reader must hold to see a whole header.
inline constexpr std::size_t kMaxNameLength = 4096;

/// Longest entry header: the start, the longest name, "*", ten digits and ">".
inline constexpr std::size_t kMaxHeaderLength = kHeaderStart.size() + kMaxNameLength + 12;

/// Whether byte may not appear in a name field: "*" and ">" delimit the header, NUL ends a path.
bool IsForbiddenNameByte(char byte);

/// Appends the header of an entry with the name field name_bytes (Windows-1251) and size data
/// bytes: "<new_file=", the name, "*", the size in plain decimal, ">".
void AppendEntryHeader(std::string& out, std::string_view name_bytes, std::uint32_t size);

/// Why a package's bytes break the format, and at which byte.
struct FormatProblem {
  std::uint64_t offset = 0;  ///< Counted from the start of the bytes that were parsed.
  std::string what;          ///< Russian text for the user.
};

/// One entry header, parsed.
struct EntryHeader {
  std::string_view name;   ///< The name field's Windows-1251 bytes, inside the parsed bytes.
  std::uint32_t size = 0;  ///< Number of data bytes after the header.
  std::size_t length = 0;  ///< Length of the header itself.
};

/// Checks that bytes, a package's first kMagic.size() bytes (fewer when the file is shorter),
/// are the magic; returns the problem when not.
std::optional<FormatProblem> CheckMagic(std::string_view bytes);

/// Parses the entry header at the start of bytes, strictly: digits only, no sign, blank or leading
/// zero, at most kMaxEntrySize, no forbidden byte in the name. bytes holds at least
/// kMaxHeaderLength bytes unless it reaches the end of the file, which at_end tells.
std::variant<EntryHeader, FormatProblem> ParseEntryHeader(std::string_view bytes, bool at_end);

}  // namespace zrk::package

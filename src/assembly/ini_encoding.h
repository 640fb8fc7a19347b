// How the host's profile reader takes the bytes of an INI file: text in an encoding it does not
// expect, and bytes that are no INI text at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrk::skin_checks {

/// The UTF-8 byte-order mark, which the reader takes for three characters of the first line.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

/// Whether s holds a byte outside ASCII.
bool HasNonAscii(std::string_view s);

/// Whether s is valid UTF-8 with at least one character outside ASCII: Windows-1251 text of real
/// words almost never is.
bool IsUtf8Text(std::string_view s);

/// Whether bytes look like UTF-16 without a mark: the zero high bytes of ASCII characters fall on
/// every other byte of their start.
bool LooksLikeUnmarkedUtf16(std::string_view bytes);

/// The bytes of a name or value as the author wrote them: UTF-8 text (utf8_text) as it is,
/// anything else as the Windows-1251 the reader takes it for. A UTF-8 sequence cut at the end is
/// dropped.
std::string Shown(std::string_view bytes, bool utf8_text);

/// The text of a warning when the bytes of a project file are no INI text: a package, or bytes
/// no text holds at its start (UTF-16 aside); nothing when they may be text.
std::optional<std::string> NoProjectText(std::string_view file_bytes);

}  // namespace zrk::skin_checks

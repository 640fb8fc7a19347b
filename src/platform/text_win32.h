// Windows text conversions: UTF-8 inside the program, UTF-16 and the ANSI code page at the system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrk::platform {

/// UTF-16 form of UTF-8 text, for the system's wide functions; nothing when text is not valid
/// UTF-8 (such a name cannot reach the system unchanged).
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);

/// UTF-16 form of UTF-8 text, bytes that are not UTF-8 replaced by U+FFFD as the system's own
/// conversion does; empty for text too long to convert.
std::wstring Utf8ToWideReplacing(std::string_view utf8);

/// UTF-8 form of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

/// The system's ANSI code page form of UTF-8 text (Windows-1251 on a Russian system), for the
/// system's "A" functions. Nothing when a character has no form there: it is never replaced by
/// "?" or by a look-alike letter, which could name another file or key.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

/// UTF-8 form of text in the system's ANSI code page.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace zrk::platform

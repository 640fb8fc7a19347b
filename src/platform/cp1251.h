// Windows-1251 text: the code page of INI file bytes and of package name fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrk::platform {

/// Reads the character of UTF-8 text at pos and moves pos past it. Returns nothing, pos
/// unchanged, where the bytes there are not UTF-8: a stray or missing continuation byte, an
/// overlong form, a surrogate or a value beyond U+10FFFF.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos);

/// Decodes Windows-1251 bytes to UTF-8. Every byte has a form; 0x98, which the code page leaves
/// unassigned, becomes U+0098 so that the byte survives a round trip.
std::string Cp1251ToUtf8(std::string_view bytes);

/// Encodes UTF-8 text to Windows-1251 bytes. Returns nothing when a character has no Windows-1251
/// form or the text is not valid UTF-8; it never substitutes "?".
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

/// Encodes UTF-16LE code units (as raw bytes, an odd last byte ignored) to Windows-1251, putting
/// "?" where a character has no Windows-1251 form, as the platform's INI reader hands its ANSI
/// callers text from a UTF-16 file.
std::string Utf16LeToCp1251(std::string_view bytes);

}  // namespace zrk::platform

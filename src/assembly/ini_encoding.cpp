// The encodings of INI text as the host's profile reader meets them, and project files that are
// no text at all.
#include "assembly/ini_encoding.h"

#include <algorithm>

#include "assembly/package_format.h"
#include "platform/cp1251.h"

namespace zrk::skin_checks {
namespace {

// Bytes looked at to tell UTF-16 text without a mark, or bytes that are no text.
constexpr std::size_t kProbe = 4096;

// The length of the valid UTF-8 sequence at pos, or 0 when the bytes there are not one.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0) low = 0xA0;   // overlong
    if (b0 == 0xED) high = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  const auto b1 = static_cast<unsigned char>(s[pos + 1]);
  if (b1 < low || b1 > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if (b < 0x80 || b > 0xBF) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t length = Utf8SequenceAt(s, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

// Control characters that text holds: blanks and line ends, and the end-of-file mark of old
// editors (Ctrl-Z).
bool IsTextControl(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

}  // namespace

bool HasNonAscii(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool IsUtf8Text(std::string_view s) { return HasNonAscii(s) && IsUtf8(s); }

bool LooksLikeUnmarkedUtf16(std::string_view bytes) {
  const std::size_t n = std::min(bytes.size(), kProbe) & ~std::size_t{1};
  const std::size_t pairs = n / 2;
  std::size_t even_zeros = 0;
  std::size_t odd_zeros = 0;
  for (std::size_t i = 0; i < n; i += 2) {
    if (bytes[i] == '\0') ++even_zeros;
    if (bytes[i + 1] == '\0') ++odd_zeros;
  }
  const std::size_t most = std::max(even_zeros, odd_zeros);
  const std::size_t least = std::min(even_zeros, odd_zeros);
  return most >= 2 && most * 4 >= pairs && least * 4 <= most;
}

std::string Shown(std::string_view bytes, bool utf8_text) {
  if (utf8_text) {
    for (std::size_t drop = 0; drop < 4 && drop <= bytes.size(); ++drop) {
      const std::string_view head = bytes.substr(0, bytes.size() - drop);
      if (IsUtf8(head)) return std::string(head);
    }
  }
  return platform::Cp1251ToUtf8(bytes);
}

std::optional<std::string> NoProjectText(std::string_view file_bytes) {
  if (file_bytes.starts_with(package::kMagic)) {
    return "это пакет ZRK, а не файл проекта: его файлы покажет zrk list, извлечёт zrk extract; "
           "для сборки укажите файл проекта скина (config.zrp)";
  }
  if (file_bytes.starts_with("\xFF\xFE") || file_bytes.starts_with("\xFE\xFF") ||
      LooksLikeUnmarkedUtf16(file_bytes)) {
    return std::nullopt;  // text, though perhaps one the reader cannot read
  }
  const std::string_view start = file_bytes.substr(0, kProbe);
  const auto control = std::find_if(start.begin(), start.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && !IsTextControl(byte);
  });
  if (control == start.end()) return std::nullopt;
  constexpr std::string_view kHex = "0123456789ABCDEF";
  const auto byte = static_cast<unsigned char>(*control);
  return std::string("это не текстовый файл (в его начале есть байт 0x") + kHex[byte >> 4] +
         kHex[byte & 0xF] +
         "): файл проекта — INI-текст в Windows-1251; укажите файл проекта скина (config.zrp)";
}

}  // namespace zrk::skin_checks

// Skin path rules shared by every platform: separators, letter-case folding, UTF-8 paths.
#include "platform/native_path.h"

namespace zrk::platform {
namespace {

// Appends the lower-case UTF-8 form of one Cyrillic or ASCII code point, or the bytes unchanged.
void AppendFolded(std::string& out, std::string_view utf8, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(utf8[pos]);
  if (b0 < 0x80) {
    out += (b0 >= 'A' && b0 <= 'Z') ? static_cast<char>(b0 + 32) : static_cast<char>(b0);
    ++pos;
    return;
  }
  if ((b0 & 0xE0) == 0xC0 && pos + 1 < utf8.size()) {
    const auto b1 = static_cast<unsigned char>(utf8[pos + 1]);
    unsigned cp = ((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu);
    if (cp >= 0x0410 && cp <= 0x042F) {
      cp += 0x20;  // А..Я -> а..я
    } else if (cp >= 0x0400 && cp <= 0x040F) {
      cp += 0x50;  // Ѐ..Џ (Ё among them) -> ѐ..џ
    } else if (cp == 0x0490) {
      cp = 0x0491;  // Ґ, the code page's one capital outside those ranges
    }
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
    pos += 2;
    return;
  }
  out += static_cast<char>(b0);
  ++pos;
}

}  // namespace

// "/" separates folders on Windows too: the system accepts it, and a path typed with it (as on
// the zrk command line) must give the same folder and name as one written with "\".
bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) AppendFolded(out, utf8, pos);
  return out;
}

}  // namespace zrk::platform

// How the programs show text that came from files, packages and the disk.
#include "support/escape.h"

#include <optional>

#include "platform/cp1251.h"

namespace zrk {
namespace {

// What drives a terminal: the C0 controls, DEL and the C1 controls.
bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void AppendHex(std::string& out, std::string_view prefix, unsigned value, int digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

// Calls each(character, bytes) for every character of text, in order; character is nullopt for
// a single byte that is not part of UTF-8 text.
template <typename Each>
void ForEachCharacter(std::string_view text, Each each) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = platform::NextCodePoint(text, pos);
    if (!c) pos = start + 1;
    each(c, text.substr(start, pos - start));
  }
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCharacter(text, [&out](std::optional<char32_t> c, std::string_view bytes) {
    if (!c) {
      AppendHex(out, "\\x", static_cast<unsigned char>(bytes.front()), 2);
    } else if (*c == '\n') {
      out += "\\n";
    } else if (*c == '\t') {
      out += "\\t";
    } else if (IsControl(*c)) {
      AppendHex(out, *c < 0x80 ? "\\x" : "\\u00", static_cast<unsigned>(*c), 2);
    } else {
      out += bytes;
    }
  });
  return out;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  ForEachCharacter(text, [&out](std::optional<char32_t> c, std::string_view bytes) {
    if (!c) {
      out += "\\ufffd";
    } else if (*c == '"' || *c == '\\') {
      out += '\\';
      out += static_cast<char>(*c);
    } else if (*c == '\n') {
      out += "\\n";
    } else if (*c == '\r') {
      out += "\\r";
    } else if (*c == '\t') {
      out += "\\t";
    } else if (IsControl(*c)) {
      AppendHex(out, "\\u", static_cast<unsigned>(*c), 4);
    } else {
      out += bytes;
    }
  });
  return out + "\"";
}

}  // namespace zrk

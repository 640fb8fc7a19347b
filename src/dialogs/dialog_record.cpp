// Buffer and filter-list rules of the dialog record.
#include "dialogs/dialog_record.h"

namespace zrk {

std::size_t CountCharacters(std::string_view utf8) {
  std::size_t count = 0;
  for (const char c : utf8) {
    // Every byte that is not a continuation byte starts a character.
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string BufferText(std::string_view buffer) {
  return std::string(buffer.substr(0, buffer.find('\0')));
}

bool StoreInBuffer(std::string& buffer, std::uint32_t max_chars, std::string_view text) {
  const std::size_t chars = CountCharacters(text);
  if (chars >= max_chars) return false;
  buffer.assign(text);
  buffer.append(max_chars - chars, '\0');
  return true;
}

std::vector<FilterItem> ParseFilterList(std::string_view list) {
  std::vector<std::string_view> strings;
  while (!list.empty()) {
    const std::size_t end = list.find('\0');
    const std::string_view item = list.substr(0, end);
    if (item.empty()) break;
    strings.push_back(item);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  std::vector<FilterItem> items;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    items.push_back({std::string(strings[i]), std::string(strings[i + 1])});
  }
  return items;
}

}  // namespace zrk

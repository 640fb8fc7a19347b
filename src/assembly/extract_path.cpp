// Turns entry names into the names of folders and a file below a target folder.
#include "assembly/extract_path.h"

#include "platform/error.h"

namespace zrk {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A message cannot carry a NUL byte, so the name shows it as "\0".
Error Unsafe(std::string_view name, const std::string& why) {
  std::string shown;
  for (const char c : name) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
  return Error("имя файла '" + shown + "' нельзя извлечь: " + why);
}

}  // namespace

std::vector<std::string> EntryPathComponents(std::string_view name) {
  if (name.empty()) throw Unsafe(name, "имя пустое");
  if (IsSeparator(name.front())) throw Unsafe(name, "путь абсолютный");
  // "C:x" is relative to the current folder of drive C, which is just as far outside.
  if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':') {
    throw Unsafe(name, "путь начинается с буквы диска");
  }
  if (name.find('\0') != std::string_view::npos) throw Unsafe(name, "имя содержит символ NUL");

  std::vector<std::string> components;
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string_view component = name.substr(start, end - start);
    const bool last = end == name.size();
    // "a\\b" and ".\a" name what "a\b" and "a" do, as our own build may write them; a name
    // ending in a separator names a folder, and ".." could lead out of the target.
    if (component == "..") throw Unsafe(name, "часть пути '..'");
    if (last && (component.empty() || component == ".")) {
      throw Unsafe(name, "имя не называет файл");
    }
    if (!component.empty() && component != ".") components.emplace_back(component);
    if (last) break;
    start = end + 1;
  }
  return components;
}

}  // namespace zrk

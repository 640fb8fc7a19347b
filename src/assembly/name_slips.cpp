// Skin warnings about names written other than meant: a comment after a value, which the reader
// keeps as part of the name, and one file named in two spellings.
#include "assembly/skin_checks.h"

namespace zrk::skin_checks {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

std::string WithBackslashes(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  return result;
}

// Whether the last component of name has an extension: a dot with something after it.
bool HasExtension(std::string_view name) {
  const std::size_t dot = name.find_last_of(".\\/");
  return dot != std::string_view::npos && name[dot] == '.' && dot + 1 < name.size();
}

// The separators of a name in their order: names of one folding differ in them or in letter case.
std::string Separators(std::string_view name) {
  std::string separators;
  for (const char c : name) {
    if (c == '/' || c == '\\') separators += c;
  }
  return separators;
}

}  // namespace

std::optional<std::string> CommentInName(std::string_view name) {
  for (std::size_t semicolon = name.find(';'); semicolon != std::string_view::npos;
       semicolon = name.find(';', semicolon + 1)) {
    const std::string_view before = TrimBlanks(name.substr(0, semicolon));
    const std::string_view after = TrimBlanks(name.substr(semicolon + 1));
    if (before.empty() || after.empty()) continue;
    // A comment stands apart from the value, or follows a whole file name: "a;b.bmp" may be a
    // file's own name, "a.bmp;old" or "a.bmp ; кнопка" hardly.
    const bool apart = before.size() < semicolon || after.data() > name.data() + semicolon + 1;
    if (!apart && !HasExtension(before)) continue;
    return "в имени после ';' стоит " + Quoted(after) +
           ": комментарий в конце строки становится частью имени; перенесите его на отдельную "
           "строку, начинающуюся с ';', и имя станет " +
           Quoted(before);
  }
  return std::nullopt;
}

std::string SameFileTwice(std::string_view name, std::string_view earlier) {
  const std::string kept = WithBackslashes(earlier);
  std::string differ;
  if (WithBackslashes(name) == kept) {
    differ = "разделителями папок ('/' и '\\')";
  } else if (Separators(name) == Separators(earlier)) {
    differ = "регистром букв";
  } else {
    differ = "регистром букв и разделителями папок";
  }
  return "отличается от " + Quoted(earlier) + " только " + differ +
         ": в Windows это одно имя, и хост по обоим откроет один файл; пакет будет хранить его "
         "дважды — оставьте одно написание, " +
         Quoted(kept);
}

}  // namespace zrk::skin_checks

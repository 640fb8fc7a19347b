// Skin warnings about INI text: what the host's profile reader makes of a file's bytes, and the
// project's module keys that it never reads.
#include <algorithm>
#include <optional>
#include <unordered_set>

#include "assembly/file_list.h"
#include "assembly/skin_checks.h"
#include "platform/cp1251.h"
#include "platform/profile_reader.h"

namespace zrk::skin_checks {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Bytes looked at to tell UTF-16 text without a mark.
constexpr std::size_t kUtf16Probe = 4096;

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

bool HasNonAscii(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Text that is valid UTF-8 and has at least one character outside ASCII: Windows-1251 text of
// real words almost never is.
bool IsUtf8Text(std::string_view s) { return HasNonAscii(s) && IsUtf8(s); }

// UTF-16 without a mark: the zero high bytes of ASCII characters fall on every other byte.
bool LooksLikeUnmarkedUtf16(std::string_view bytes) {
  const std::size_t n = std::min(bytes.size(), kUtf16Probe) & ~std::size_t{1};
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

// The bytes of a name or value as the author wrote them: UTF-8 text as it is, anything else as
// the Windows-1251 the reader takes it for. A UTF-8 sequence cut at the end is dropped.
std::string Shown(std::string_view bytes, bool utf8_text) {
  if (utf8_text) {
    for (std::size_t drop = 0; drop < 4 && drop <= bytes.size(); ++drop) {
      const std::string_view head = bytes.substr(0, bytes.size() - drop);
      if (IsUtf8(head)) return std::string(head);
    }
  }
  return platform::Cp1251ToUtf8(bytes);
}

// An entry as a warning names it: its section and key as written, its value whole.
struct IniValue {
  std::string section;
  std::string key;
  std::string value;
};

// What the checks need of a file's entries, gathered in one pass of the reader's grammar.
class EntryFacts : public platform::ProfileVisitor {
 public:
  void Entry(const platform::ProfileEntry& entry) override {
    if (!first_non_ascii && HasNonAscii(entry.value)) first_non_ascii = Copy(entry);
    if (!entry.first) return;  // never read
    if (entry.value.size() > platform::kMaxProfileValue) long_values.push_back(Copy(entry));
    static const std::string kModules = platform::FoldCaseCp1251(kModulesSection);
    if (platform::FoldCaseCp1251(entry.section) == kModules) module_entries.push_back(Copy(entry));
  }

  std::optional<IniValue> first_non_ascii;  // the first entry whose value is not all ASCII
  std::vector<IniValue> long_values;        // values a lookup finds, longer than it returns
  std::vector<IniValue> module_entries;     // entries of the project's modules a lookup finds

 private:
  static IniValue Copy(const platform::ProfileEntry& entry) {
    return {std::string(entry.section), std::string(entry.key), std::string(entry.value)};
  }
};

// The name of the header that line 1 of body holds, if any: after a UTF-8 byte-order mark, whose
// three bytes start that line, it is no header any more.
std::optional<std::string> FirstLineHeader(std::string_view body) {
  struct Header : platform::ProfileVisitor {
    void Section(std::string_view name, bool) override { found = std::string(name); }
    void Entry(const platform::ProfileEntry&) override {}
    std::optional<std::string> found;
  } header;
  platform::ParseProfile(body.substr(0, body.find_first_of("\r\n")), header);
  return header.found;
}

// The frames that a value cut to what the reader returns loses, told after the cut's length: the
// one the cut falls into is read in part, the later ones not at all. Nothing when only empty
// items are lost.
std::optional<std::string> LostFrames(std::string_view value, bool utf8_text) {
  constexpr std::size_t kCut = platform::kMaxProfileValue;
  std::string_view last_whole;
  std::string_view cut_item;
  std::size_t lost = 0;
  for (std::size_t start = 0; start <= value.size();) {
    std::size_t end = value.find(';', start);
    if (end == std::string_view::npos) end = value.size();
    const std::string_view item = value.substr(start, end - start);
    if (!item.empty()) {
      if (end <= kCut) {
        last_whole = item;
      } else if (start < kCut) {
        cut_item = item;
      } else {
        ++lost;
      }
    }
    start = end + 1;
  }
  if (cut_item.empty() && lost == 0) return std::nullopt;
  if (!cut_item.empty()) {
    const std::size_t kept = kCut - static_cast<std::size_t>(cut_item.data() - value.data());
    std::string text = ": кадр " + Quoted(Shown(cut_item, utf8_text)) + " будет прочитан как " +
                       Quoted(Shown(cut_item.substr(0, kept), utf8_text));
    if (lost > 0) text += ", кадров после него потеряно: " + std::to_string(lost);
    return text;
  }
  if (!last_whole.empty()) {
    return ": кадров после " + Quoted(Shown(last_whole, utf8_text)) +
           " потеряно: " + std::to_string(lost);
  }
  return ": кадров потеряно: " + std::to_string(lost);
}

std::optional<SkinWarning> LongValueWarning(const std::string& name, const IniValue& entry,
                                            bool utf8_text) {
  std::string text = "значение длиной " + std::to_string(entry.value.size()) +
                     " символов будет обрезано до " + std::to_string(platform::kMaxProfileValue);
  if (platform::FoldCaseCp1251(entry.key) == platform::FoldCaseCp1251(kModuleReads.back().key)) {
    const std::optional<std::string> lost = LostFrames(entry.value, utf8_text);
    if (!lost) return std::nullopt;
    text += *lost;
  } else {
    text += ", остаток будет потерян";
  }
  return SkinWarning{name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text),
                     std::move(text)};
}

// Module keys are read bare and with each SizeList size; a key with any other suffix is never
// read, and a size that no key carries reads nothing.
void CheckModules(const std::string& name, std::string_view file_bytes,
                  const std::vector<IniValue>& module_entries, bool utf8_text,
                  std::unordered_set<std::string>& module_names,
                  std::vector<SkinWarning>& warnings) {
  const platform::Profile profile = platform::Profile::Parse(file_bytes);
  const std::string size_list = profile.Value(kSizeListRead.section, kSizeListRead.key);
  std::unordered_set<std::string> read_keys;
  for (const std::string& key : ProjectModuleKeys(size_list)) {
    read_keys.insert(platform::ProfileLookupName(key));
    const std::string module = profile.Value(kModulesSection, key);
    if (!module.empty()) module_names.insert(platform::Cp1251ToUtf8(module));
  }

  std::unordered_set<std::string> present_keys;
  for (const IniValue& entry : module_entries) {
    const std::string folded = platform::FoldCaseCp1251(entry.key);
    present_keys.insert(folded);
    if (read_keys.count(folded) != 0) continue;
    const auto prefix = std::find_if(kModuleKeys.begin(), kModuleKeys.end(), [&](auto key) {
      return entry.key.size() > key.size() && folded.starts_with(platform::FoldCaseCp1251(key));
    });
    if (prefix == kModuleKeys.end()) continue;
    warnings.push_back({name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text),
                        "ключ не будет прочитан: размера " +
                            Shown(entry.key.substr(prefix->size()), utf8_text) +
                            " нет в SizeList"});
  }

  std::unordered_set<std::string> sizes_told;
  for (const std::string& size : SizeSuffixes(size_list)) {
    if (size.empty() || !sizes_told.insert(size).second) continue;
    const bool named = std::any_of(kModuleKeys.begin(), kModuleKeys.end(), [&](auto key) {
      return present_keys.count(platform::ProfileLookupName(std::string(key) + size)) != 0;
    });
    if (named) continue;
    warnings.push_back(
        {name, std::string(kSizeListRead.section), std::string(kSizeListRead.key),
         "размер " + Shown(size, utf8_text) + " из SizeList не назван ни в одном ключе [MODULES]"});
  }
}

// The warnings of IniTextWarnings, and with module_names (the project) those of CheckModules.
std::vector<SkinWarning> CheckIniText(const std::string& name, std::string_view file_bytes,
                                      std::unordered_set<std::string>* module_names) {
  std::vector<SkinWarning> warnings;
  std::string converted;
  std::string_view text = file_bytes;
  bool utf8_text = false;
  const bool marked = file_bytes.starts_with(kUtf8Mark);
  if (file_bytes.starts_with("\xFF\xFE")) {
    converted = platform::Utf16LeToCp1251(file_bytes.substr(2));
    text = converted;
  } else if (file_bytes.starts_with("\xFE\xFF") || LooksLikeUnmarkedUtf16(file_bytes)) {
    warnings.push_back({name, "", "",
                        "файл в кодировке UTF-16 без метки FF FE (или UTF-16BE): ничего из него "
                        "не будет прочитано"});
    return warnings;
  } else {
    utf8_text = IsUtf8Text(marked ? file_bytes.substr(kUtf8Mark.size()) : file_bytes);
  }
  EntryFacts facts;
  platform::ParseProfile(text, facts);

  if (marked) {
    if (const auto section = FirstLineHeader(file_bytes.substr(kUtf8Mark.size()))) {
      warnings.push_back({name, "", "",
                          "файл начинается с метки порядка байтов UTF-8: первая секция [" +
                              Shown(*section, utf8_text) + "] не будет прочитана"});
    }
  }
  if (utf8_text && facts.first_non_ascii) {
    const IniValue& first = *facts.first_non_ascii;
    warnings.push_back({name, Shown(first.section, true), Shown(first.key, true),
                        "текст в UTF-8, а читается как Windows-1251: имя " + Quoted(first.value) +
                            " будет прочитано как " + Quoted(platform::Cp1251ToUtf8(first.value))});
  }
  for (const IniValue& entry : facts.long_values) {
    if (auto warning = LongValueWarning(name, entry, utf8_text)) warnings.push_back(*warning);
  }
  if (module_names != nullptr) {
    CheckModules(name, file_bytes, facts.module_entries, utf8_text, *module_names, warnings);
  }
  return warnings;
}

}  // namespace

std::vector<SkinWarning> IniTextWarnings(const std::string& name, std::string_view file_bytes) {
  return CheckIniText(name, file_bytes, nullptr);
}

std::vector<SkinWarning> ProjectIniWarnings(const std::string& name, std::string_view file_bytes,
                                            std::unordered_set<std::string>& module_names) {
  return CheckIniText(name, file_bytes, &module_names);
}

}  // namespace zrk::skin_checks

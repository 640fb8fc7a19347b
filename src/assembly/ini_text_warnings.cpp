// Skin warnings about INI text: what the host's profile reader makes of a file's bytes, names the
// builder does not read but that are near names it reads, and the project's module keys.
#include <algorithm>
#include <optional>
#include <unordered_set>

#include "assembly/file_list.h"
#include "assembly/ini_encoding.h"
#include "assembly/near_miss.h"
#include "assembly/skin_checks.h"
#include "platform/cp1251.h"
#include "platform/profile_reader.h"

namespace zrk::skin_checks {
namespace {

// An entry as a warning names it: its section and key as written, its value whole.
struct IniValue {
  std::string section;
  std::string key;
  std::string value;
};

// What the checks need of a file's entries, gathered in one pass of the reader's grammar.
class EntryFacts : public platform::ProfileVisitor {
 public:
  explicit EntryFacts(const ReadNames& names) : near_misses(names) {}

  void Section(std::string_view name, bool first) override { near_misses.Section(name, first); }

  void Entry(const platform::ProfileEntry& entry) override {
    near_misses.Entry(entry);
    if (!first_non_ascii && HasNonAscii(entry.value)) first_non_ascii = Copy(entry);
    if (!entry.first) return;  // never read
    if (entry.value.size() > platform::kMaxProfileValue) long_values.push_back(Copy(entry));
    static const std::string kModules = platform::FoldCaseCp1251(kModulesSection);
    if (platform::FoldCaseCp1251(entry.section) == kModules) module_entries.push_back(Copy(entry));
  }

  std::optional<IniValue> first_non_ascii;  // the first entry whose value is not all ASCII
  std::vector<IniValue> long_values;        // values a lookup finds, longer than it returns
  std::vector<IniValue> module_entries;     // entries of the project's modules a lookup finds
  NearMissFinder near_misses;

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
    text += *lost + "; сократите список до " + std::to_string(platform::kMaxProfileValue) +
            " символов: меньше кадров или короче их имена";
  } else {
    text += ", остаток будет потерян; сократите значение до " +
            std::to_string(platform::kMaxProfileValue) + " символов";
  }
  return SkinWarning{name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text),
                     std::move(text)};
}

// What the project's module keys came to: the keys told of as never read, and whether any key
// read names a module.
struct ModuleKeys {
  std::unordered_set<std::string> told;  // folded
  bool named = false;
};

// Module keys are read bare and with each SizeList size; a key with any other suffix is never
// read, and a size that no key carries reads nothing.
ModuleKeys CheckModules(const std::string& name, const platform::Profile& profile,
                        const std::string& size_list, const std::vector<IniValue>& module_entries,
                        bool utf8_text, std::unordered_set<std::string>& module_names,
                        std::vector<SkinWarning>& warnings) {
  ModuleKeys keys;
  std::unordered_set<std::string> read_keys;
  for (const std::string& key : ProjectModuleKeys(size_list)) {
    read_keys.insert(platform::ProfileLookupName(key));
    const std::string module = profile.Value(kModulesSection, key);
    if (!module.empty()) module_names.insert(platform::Cp1251ToUtf8(module));
    keys.named = keys.named || !module.empty();
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
    const std::string size = Shown(entry.key.substr(prefix->size()), utf8_text);
    std::string text = "ключ не будет прочитан: размера " + size + " нет в SizeList; добавьте ";
    text += size + " в SizeList секции [DIRECTIVES] или исправьте размер в имени ключа";
    warnings.push_back(
        {name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text), std::move(text)});
    keys.told.insert(folded);
  }

  std::unordered_set<std::string> sizes_told;
  for (const std::string& size : SizeSuffixes(size_list)) {
    if (size.empty() || !sizes_told.insert(size).second) continue;
    const bool named = std::any_of(kModuleKeys.begin(), kModuleKeys.end(), [&](auto key) {
      return present_keys.count(platform::ProfileLookupName(std::string(key) + size)) != 0;
    });
    if (named) continue;
    const std::string shown = Shown(size, utf8_text);
    std::string text = "размер " + shown + " из SizeList не назван ни в одном ключе [MODULES]; ";
    text += "добавьте ключи модулей этого размера (например, " + std::string(kModuleKeys.front()) +
            shown + ") или уберите размер из SizeList";
    warnings.push_back({name, std::string(kSizeListRead.section), std::string(kSizeListRead.key),
                        std::move(text)});
  }
  return keys;
}

// The near misses of a file, but for the [MODULES] keys in told, which have a warning of their
// own. Returns whether one of them stands for a name of [MODULES].
bool NearMissWarnings(const std::string& name, const std::vector<NearMiss>& misses,
                      const std::unordered_set<std::string>& told, bool utf8_text,
                      std::vector<SkinWarning>& warnings) {
  static const std::string kModules = platform::FoldCaseCp1251(kModulesSection);
  bool in_modules = false;
  for (const NearMiss& miss : misses) {
    const bool of_modules = platform::FoldCaseCp1251(miss.meant_section) == kModules;
    if (of_modules && told.count(platform::FoldCaseCp1251(miss.key)) != 0) continue;
    in_modules = in_modules || of_modules;
    const std::string meant = Shown(miss.meant, utf8_text);
    warnings.push_back(
        {name, Shown(miss.section, utf8_text), Shown(miss.key, utf8_text),
         miss.key.empty() ? "эту секцию сборщик не читает; возможно, имелась в виду секция " + meant
                          : "этот ключ сборщик не читает; возможно, имелся в виду " + meant});
  }
  return in_modules;
}

// A project that names no module: the package would hold the project file alone. A module file
// taken for the project is told as such.
SkinWarning NoModuleWarning(const std::string& name, const platform::Profile& profile) {
  const bool module_file = std::any_of(kModuleReads.begin(), kModuleReads.end(), [&](auto read) {
    return profile.Find(read.section, read.key).has_value();
  });
  if (module_file) {
    return {name, "", "",
            "похоже, это файл модуля, а не проекта: в нём не назван ни один модуль; укажите файл "
            "проекта скина (config.zrp)"};
  }
  std::string keys(kModuleKeys.front());
  for (std::size_t i = 1; i < kModuleKeys.size(); ++i) {
    keys += (i + 1 == kModuleKeys.size() ? " или " : ", ") + std::string(kModuleKeys[i]);
  }
  std::string text = "в проекте не назван ни один модуль, и в пакет попадёт только сам файл ";
  text += "проекта; добавьте в секцию [" + std::string(kModulesSection) +
          "] имена файлов модулей с ключами " + keys + " (например, " +
          std::string(kModuleKeys.front()) + "=modules\\bg.zrm)";
  return {name, "", "", std::move(text)};
}

// How a file's text is taken: what the reader's grammar gets, and whether it is UTF-8.
struct TakenText {
  bool utf8_text = false;
  std::optional<std::string> hidden;  // the section a UTF-8 mark hides, as written
};

// The warnings about how the reader takes file_bytes and about the values it cuts, after a pass of
// facts over its text. Returns nothing when the reader reads nothing of the file.
std::optional<TakenText> TextWarnings(const std::string& name, std::string_view file_bytes,
                                      EntryFacts& facts, std::vector<SkinWarning>& warnings) {
  TakenText taken;
  std::string converted;
  std::string_view text = file_bytes;
  const bool marked = file_bytes.starts_with(kUtf8Mark);
  if (file_bytes.starts_with("\xFF\xFE")) {
    converted = platform::Utf16LeToCp1251(file_bytes.substr(2));
    text = converted;
  } else if (file_bytes.starts_with("\xFE\xFF") || LooksLikeUnmarkedUtf16(file_bytes)) {
    warnings.push_back({name, "", "",
                        "файл в кодировке UTF-16 без метки FF FE (или UTF-16BE): ничего из него "
                        "не будет прочитано; сохраните файл в Windows-1251"});
    return std::nullopt;
  } else {
    taken.utf8_text = IsUtf8Text(marked ? file_bytes.substr(kUtf8Mark.size()) : file_bytes);
  }
  platform::ParseProfile(text, facts);

  if (marked) taken.hidden = FirstLineHeader(file_bytes.substr(kUtf8Mark.size()));
  if (taken.hidden) {
    warnings.push_back({name, "", "",
                        "файл начинается с метки порядка байтов UTF-8: первая секция [" +
                            Shown(*taken.hidden, taken.utf8_text) +
                            "] не будет прочитана; сохраните файл в Windows-1251, без метки"});
  }
  if (taken.utf8_text && facts.first_non_ascii) {
    const IniValue& first = *facts.first_non_ascii;
    warnings.push_back({name, Shown(first.section, true), Shown(first.key, true),
                        "текст в UTF-8, а читается как Windows-1251: имя " + Quoted(first.value) +
                            " будет прочитано как " + Quoted(platform::Cp1251ToUtf8(first.value)) +
                            "; сохраните файл в Windows-1251"});
  }
  for (const IniValue& entry : facts.long_values) {
    if (auto warning = LongValueWarning(name, entry, taken.utf8_text)) warnings.push_back(*warning);
  }
  return taken;
}

}  // namespace

std::vector<SkinWarning> IniTextWarnings(const std::string& name, std::string_view file_bytes) {
  EntryFacts facts(ReadNames::OfModuleFile());
  std::vector<SkinWarning> warnings;
  if (const auto taken = TextWarnings(name, file_bytes, facts, warnings)) {
    NearMissWarnings(name, facts.near_misses.Found(), {}, taken->utf8_text, warnings);
  }
  return warnings;
}

std::vector<SkinWarning> ProjectIniWarnings(const std::string& name, std::string_view file_bytes,
                                            std::unordered_set<std::string>& module_names) {
  if (auto no_text = NoProjectText(file_bytes)) return {{name, "", "", std::move(*no_text)}};
  const platform::Profile profile = platform::Profile::Parse(file_bytes);
  const std::string size_list = profile.Value(kSizeListRead.section, kSizeListRead.key);
  const ReadNames names = ReadNames::OfProjectFile(size_list);
  EntryFacts facts(names);
  std::vector<SkinWarning> warnings;
  const auto taken = TextWarnings(name, file_bytes, facts, warnings);
  if (!taken) return warnings;
  const ModuleKeys keys = CheckModules(name, profile, size_list, facts.module_entries,
                                       taken->utf8_text, module_names, warnings);
  const bool modules_slip =
      NearMissWarnings(name, facts.near_misses.Found(), keys.told, taken->utf8_text, warnings);
  // Keys never read and slips are told with their remedy; a hidden [MODULES] with the mark's.
  const bool hidden_modules = taken->hidden && platform::FoldCaseCp1251(*taken->hidden) ==
                                                   platform::FoldCaseCp1251(kModulesSection);
  if (!keys.named && keys.told.empty() && !modules_slip && !hidden_modules) {
    warnings.push_back(NoModuleWarning(name, profile));
  }
  return warnings;
}

}  // namespace zrk::skin_checks

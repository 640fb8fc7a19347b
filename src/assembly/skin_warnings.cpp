// Skin warnings: the INI files read byte by byte as the host's profile reader sees them, and the
// names of the list judged by Windows' rules.
#include "assembly/skin_warnings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "assembly/texts.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/native_path.h"
#include "platform/profile_reader.h"
#include "support/mdlINI.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 5> kModuleKeys = {"BackGround", "Font", "Picture", "ToolTip",
                                                         "BackLayer"};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// An INI file bigger than this is no text an author wrote; it is left to the build.
constexpr std::uintmax_t kMaxIniBytes = 64u << 20;

// Bytes looked at to tell UTF-16 text without a mark.
constexpr std::size_t kUtf16Probe = 4096;

// The shortest file that holds a BMP file header and the size, width and height of its picture.
constexpr std::size_t kMinBmpBytes = 26;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A size suffix may end in a space, which the reader drops from the name it is asked for.
std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

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

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// One entry of an INI file, as the reader splits its line.
struct IniEntry {
  std::string section;  // the header's name as written
  std::string key;
  std::string value;      // trimmed and with its quotes dropped, but not cut
  bool readable = false;  // the entry a lookup finds: first section of its name, first such key
};

// The entries under a header, in file order, by the reader's rules for lines, headers, comments
// and quotes. Entries before the first header can never be read and are left out.
std::vector<IniEntry> ParseEntries(std::string_view bytes) {
  std::vector<IniEntry> entries;
  std::unordered_set<std::string> sections_seen;
  std::unordered_set<std::string> keys_seen;
  std::string section;
  bool in_section = false;
  bool first_section = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = TrimBlanks(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string_view name = TrimBlanks(line.substr(1, line.find(']', 1) - 1));
      section.assign(name);
      in_section = true;
      first_section = sections_seen.insert(platform::FoldCaseCp1251(name)).second;
      keys_seen.clear();
      continue;
    }
    if (!in_section) continue;
    const std::size_t equals = line.find('=');
    IniEntry entry;
    entry.section = section;
    entry.key.assign(TrimBlanks(line.substr(0, equals)));
    if (equals != std::string_view::npos) {
      std::string_view value = TrimBlanks(line.substr(equals + 1));
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      entry.value.assign(value);
    }
    entry.readable = keys_seen.insert(platform::FoldCaseCp1251(entry.key)).second && first_section;
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The whole file at a native path, or nothing when it is not a regular file, is too big to be an
// INI file or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& native_path) {
  try {
    const fs::path path = platform::PathFromUtf8(native_path);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxIniBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return bytes;
  } catch (const fs::filesystem_error&) {
    return std::nullopt;  // a name the platform cannot hold names no file
  }
}

bool Exists(const std::string& native_path) {
  try {
    std::error_code error;
    return fs::exists(platform::PathFromUtf8(native_path), error);
  } catch (const fs::filesystem_error&) {
    return false;
  }
}

class SkinChecker {
 public:
  SkinChecker(const std::string& project_path, const std::vector<std::string>& files,
              WarningScope scope)
      : project_path_(project_path),
        folder_(mdlINI::WithTrailingBackslash(mdlMain::ParentFolder(project_path))),
        files_(files),
        every_file_(scope == WarningScope::kEveryFile) {}

  std::vector<SkinWarning> Run() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const std::string& name = files_[i];
      if (i == 0) {
        CheckIniFile(name, platform::ResolveNativePath(project_path_), true);
      } else if (module_names_.count(name) != 0) {
        CheckIniFile(name, platform::ResolveNativePath(folder_ + name), false);
      }
      CheckWindowsName(name);
      CheckLetterCase(name);
      if (every_file_) CheckBmp(name);
    }
    return std::move(warnings_);
  }

 private:
  void Warn(const std::string& file, std::string section, std::string key, std::string text) {
    warnings_.push_back({file, std::move(section), std::move(key), std::move(text)});
  }

  void CheckIniFile(const std::string& name, const std::string& native_path, bool is_project) {
    const std::optional<std::string> raw = ReadWholeFile(native_path);
    if (!raw) return;
    std::string text;
    bool utf8_text = false;
    if (raw->starts_with("\xFF\xFE")) {
      text = platform::Utf16LeToCp1251(std::string_view(*raw).substr(2));
    } else if (raw->starts_with("\xFE\xFF") || LooksLikeUnmarkedUtf16(*raw)) {
      Warn(name, "", "",
           "файл в кодировке UTF-16 без метки FF FE (или UTF-16BE): ничего из него не будет "
           "прочитано");
      return;
    } else {
      text = *raw;
      const std::string_view body =
          raw->starts_with(kUtf8Mark) ? std::string_view(*raw).substr(kUtf8Mark.size()) : *raw;
      utf8_text = IsUtf8Text(body);
    }
    const std::vector<IniEntry> entries = ParseEntries(text);

    if (raw->starts_with(kUtf8Mark)) CheckUtf8Mark(name, *raw, utf8_text);
    if (utf8_text) {
      const auto first = std::find_if(entries.begin(), entries.end(),
                                      [](const IniEntry& e) { return HasNonAscii(e.value); });
      if (first != entries.end()) {
        Warn(name, Shown(first->section, true), Shown(first->key, true),
             "текст в UTF-8, а читается как Windows-1251: имя " + Quoted(first->value) +
                 " будет прочитано как " + Quoted(platform::Cp1251ToUtf8(first->value)));
      }
    }
    for (const IniEntry& entry : entries) {
      if (entry.readable && entry.value.size() > platform::kMaxProfileValue) {
        CheckLongValue(name, entry, utf8_text);
      }
    }
    if (is_project) CheckModules(name, *raw, entries, utf8_text);
  }

  // The mark's three bytes start line 1, so a header there is no header any more.
  void CheckUtf8Mark(const std::string& name, std::string_view raw, bool utf8_text) {
    std::string_view line = raw.substr(kUtf8Mark.size());
    line = TrimBlanks(line.substr(0, line.find_first_of("\r\n")));
    if (!line.starts_with('[')) return;
    const std::string_view section = TrimBlanks(line.substr(1, line.find(']', 1) - 1));
    Warn(name, "", "",
         "файл начинается с метки порядка байтов UTF-8: первая секция [" +
             Shown(section, utf8_text) + "] не будет прочитана");
  }

  void CheckLongValue(const std::string& name, const IniEntry& entry, bool utf8_text) {
    constexpr std::size_t kCut = platform::kMaxProfileValue;
    const std::string& value = entry.value;
    std::string text = "значение длиной " + std::to_string(value.size()) +
                       " символов будет обрезано до " + std::to_string(kCut);
    if (EqualsIgnoringAsciiCase(entry.key, "Frames")) {
      // A ";"-list of frames: the one the cut falls into is read in part, the later ones not at
      // all; a cut that loses only empty items loses nothing.
      std::string_view last_whole;
      std::string_view cut_item;
      std::size_t lost = 0;
      for (std::size_t start = 0; start <= value.size();) {
        std::size_t end = value.find(';', start);
        if (end == std::string::npos) end = value.size();
        const std::string_view item = std::string_view(value).substr(start, end - start);
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
      if (cut_item.empty() && lost == 0) return;
      if (!cut_item.empty()) {
        const std::size_t kept = kCut - static_cast<std::size_t>(cut_item.data() - value.data());
        text += ": кадр " + Quoted(Shown(cut_item, utf8_text)) + " будет прочитан как " +
                Quoted(Shown(cut_item.substr(0, kept), utf8_text));
        if (lost > 0) text += ", кадров после него потеряно: " + std::to_string(lost);
      } else if (!last_whole.empty()) {
        text += ": кадров после " + Quoted(Shown(last_whole, utf8_text)) +
                " потеряно: " + std::to_string(lost);
      } else {
        text += ": кадров потеряно: " + std::to_string(lost);
      }
    } else {
      text += ", остаток будет потерян";
    }
    Warn(name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text), std::move(text));
  }

  // Module keys are read for the bare names and for each SizeList size; a key with any other
  // suffix is never read, and a size that no key carries reads nothing.
  void CheckModules(const std::string& name, std::string_view raw,
                    const std::vector<IniEntry>& entries, bool utf8_text) {
    const platform::Profile profile = platform::Profile::Parse(raw);
    std::vector<std::string> sizes;
    const std::string size_list = profile.Value("DIRECTIVES", "SizeList");
    for (std::size_t start = 0; start <= size_list.size();) {
      std::size_t end = size_list.find(';', start);
      if (end == std::string::npos) end = size_list.size();
      const std::string item = size_list.substr(start, end - start);
      if (!item.empty()) sizes.push_back(item.substr(0, item.find(',')));
      start = end + 1;
    }

    std::vector<std::string> suffixes = {""};
    suffixes.insert(suffixes.end(), sizes.begin(), sizes.end());
    std::unordered_set<std::string> read_keys;
    for (const std::string& suffix : suffixes) {
      for (const std::string_view key : kModuleKeys) {
        const std::string full = std::string(key) + suffix;
        read_keys.insert(platform::FoldCaseCp1251(TrimSpaces(full)));
        const std::string module = profile.Value("MODULES", full);
        if (!module.empty()) module_names_.insert(platform::Cp1251ToUtf8(module));
      }
    }

    std::unordered_set<std::string> present_keys;
    for (const IniEntry& entry : entries) {
      if (!entry.readable || !EqualsIgnoringAsciiCase(entry.section, "MODULES")) continue;
      const std::string folded = platform::FoldCaseCp1251(entry.key);
      present_keys.insert(folded);
      if (read_keys.count(folded) != 0) continue;
      for (const std::string_view key : kModuleKeys) {
        if (entry.key.size() > key.size() &&
            EqualsIgnoringAsciiCase(std::string_view(entry.key).substr(0, key.size()), key)) {
          Warn(name, Shown(entry.section, utf8_text), Shown(entry.key, utf8_text),
               "ключ не будет прочитан: размера " + Shown(entry.key.substr(key.size()), utf8_text) +
                   " нет в SizeList");
          break;
        }
      }
    }

    std::unordered_set<std::string> sizes_told;
    for (const std::string& size : sizes) {
      if (size.empty() || !sizes_told.insert(size).second) continue;
      const bool named = std::any_of(kModuleKeys.begin(), kModuleKeys.end(), [&](auto key) {
        return present_keys.count(platform::FoldCaseCp1251(TrimSpaces(std::string(key) + size))) !=
               0;
      });
      if (!named) {
        Warn(name, "DIRECTIVES", "SizeList",
             "размер " + Shown(size, utf8_text) +
                 " из SizeList не назван ни в одном ключе [MODULES]");
      }
    }
  }

  // What Windows makes of the name: a name outside the skin, characters no file name may hold,
  // components it shortens, and device names.
  void CheckWindowsName(const std::string& name) {
    std::vector<std::string_view> components;
    for (std::size_t start = 0; start <= name.size();) {
      std::size_t end = start;
      while (end < name.size() && !platform::IsPathSeparator(name[end])) ++end;
      components.push_back(std::string_view(name).substr(start, end - start));
      start = end + 1;
    }
    const bool has_drive =
        name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));

    std::string outside;
    if (!name.empty() && platform::IsPathSeparator(name[0])) {
      outside = "путь от корня диска";
    } else if (has_drive) {
      outside = "указана буква диска";
    } else {
      int depth = 0;
      for (const std::string_view component : components) {
        if (component == "..") {
          if (--depth < 0) break;
        } else if (!component.empty() && component != ".") {
          ++depth;
        }
      }
      if (depth < 0) outside = "\"..\" ведёт выше неё";
    }
    if (!outside.empty()) {
      Warn(name, "", "",
           "имя выходит за папку скина (" + outside + "): хост будет искать файл вне скина");
    }

    for (std::size_t i = has_drive ? 2 : 0; i < name.size(); ++i) {
      const auto c = static_cast<unsigned char>(name[i]);
      if (c >= 0x20 && std::string_view("<>:\"|?*").find(name[i]) == std::string_view::npos) {
        continue;
      }
      std::string shown;
      if (c < 0x20) {
        constexpr std::string_view kHex = "0123456789ABCDEF";
        shown = std::string("с кодом 0x") + kHex[c >> 4] + kHex[c & 0xF];
      } else {
        shown = Quoted(std::string(1, name[i]));
      }
      Warn(name, "", "",
           "в имени есть символ " + shown +
               ", недопустимый в именах файлов Windows: хост не откроет этот файл");
      break;
    }

    for (const std::string_view component : components) {
      if (component.empty() || component == "." || component == ".." ||
          (component.back() != ' ' && component.back() != '.')) {
        continue;
      }
      std::string_view stripped = component;
      while (!stripped.empty() && (stripped.back() == ' ' || stripped.back() == '.')) {
        stripped.remove_suffix(1);
      }
      Warn(name, "", "",
           "часть имени " + Quoted(component) +
               " оканчивается точкой или пробелом: Windows их отбрасывает, и хост будет искать " +
               Quoted(stripped));
      break;
    }

    static constexpr std::array<std::string_view, 22> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    for (const std::string_view component : components) {
      // Windows takes "con.bmp" and "CON " for the device as well.
      std::string_view base = component.substr(0, component.find('.'));
      while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
      const auto device = std::find_if(kDevices.begin(), kDevices.end(),
                                       [base](auto d) { return EqualsIgnoringAsciiCase(base, d); });
      if (device == kDevices.end()) continue;
      Warn(name, "", "",
           "часть имени " + Quoted(component) +
               " — имя устройства Windows: хост откроет устройство " + std::string(*device) +
               ", а не файл");
      break;
    }
  }

  void CheckLetterCase(const std::string& name) {
    const auto [seen, inserted] = folded_names_.try_emplace(platform::FoldCase(name), name);
    if (!inserted) {
      Warn(name, "", "",
           "отличается от " + Quoted(seen->second) +
               " только регистром букв: в Windows это одно имя, и хост по обоим откроет один файл");
    }

    // Found only by letter case: the build matched it, a host on a case-sensitive system will not.
    if (!every_file_) return;
    const std::string path = folder_ + name;
    const std::string spelled = platform::NativeSpelling(path);
    if (Exists(spelled)) return;
    const std::string resolved = platform::ResolveNativePath(path);
    if (resolved == spelled || !Exists(resolved)) return;
    std::string on_disk = resolved;
    const std::string folder = platform::NativeSpelling(folder_);
    if (on_disk.starts_with(folder)) on_disk.erase(0, folder.size());
    std::replace(on_disk.begin(), on_disk.end(), '/', '\\');
    Warn(name, "", "",
         "на диске файл называется " + Quoted(on_disk) +
             ": сборка нашла его без учёта регистра букв; в Windows хост его откроет, в Linux — "
             "нет");
  }

  void CheckBmp(const std::string& name) {
    const std::size_t dot = name.find_last_of(".\\/");
    if (dot == std::string::npos || name[dot] != '.' ||
        !EqualsIgnoringAsciiCase(std::string_view(name).substr(dot + 1), "bmp")) {
      return;
    }
    try {
      const fs::path path = platform::PathFromUtf8(platform::ResolveNativePath(folder_ + name));
      std::error_code error;
      if (!fs::is_regular_file(path, error)) return;
      std::ifstream in(path, std::ios::binary);
      if (!in) return;
      std::array<char, kMinBmpBytes> header{};
      in.read(header.data(), header.size());
      const auto got = static_cast<std::size_t>(in.gcount());
      if (got < 2 || header[0] != 'B' || header[1] != 'M') {
        Warn(name, "", "",
             "файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его показать");
      } else if (got < kMinBmpBytes) {
        Warn(name, "", "",
             "файл короче заголовка рисунка BMP (" + std::to_string(got) +
                 " байт): хост не сможет его показать");
      }
    } catch (const fs::filesystem_error&) {
      // A name the platform cannot hold: the build says it is missing.
    }
  }

  const std::string& project_path_;
  const std::string folder_;
  const std::vector<std::string>& files_;
  const bool every_file_;
  std::unordered_set<std::string> module_names_;
  std::unordered_map<std::string, std::string> folded_names_;  // folded name -> first spelling
  std::vector<SkinWarning> warnings_;
};

// The key by which a native path is compared with the entries: the file system of Windows matches
// letter case itself, the build on other systems only where the exact name is missing.
std::string PathKey(const fs::path& path) {
  const std::string text = platform::Utf8FromPath(path.lexically_normal());
#ifdef _WIN32
  return platform::FoldCase(text);
#else
  return text;
#endif
}

}  // namespace

std::string FormatWarning(const SkinWarning& warning) {
  std::string line = warning.file;
  if (!warning.section.empty()) {
    line += " [" + warning.section + "]";
    if (!warning.key.empty()) line += " " + warning.key;
  }
  return line + ": " + warning.text;
}

std::vector<SkinWarning> FindSkinWarnings(const std::string& project_path,
                                          const std::vector<std::string>& files,
                                          WarningScope scope) {
  const platform::SkinLookupScope lookups(
      mdlINI::WithTrailingBackslash(mdlMain::ParentFolder(project_path)));
  return SkinChecker(project_path, files, scope).Run();
}

std::vector<UnusedFile> FindUnusedFiles(const std::string& project_path,
                                        const std::vector<std::string>& files) {
  const std::string folder = mdlINI::WithTrailingBackslash(mdlMain::ParentFolder(project_path));
  const platform::SkinLookupScope lookups(folder);
  std::unordered_set<std::string> named;
  const auto name_path = [&](const std::string& name) {
    try {
      named.insert(PathKey(platform::PathFromUtf8(platform::ResolveNativePath(folder + name))));
    } catch (const fs::filesystem_error&) {
      // a name the platform cannot hold names no file of the folder
    }
  };
  for (const std::string& name : files) name_path(name);
  name_path(std::string(texts::kPreviewName));

  const fs::path root = platform::PathFromUtf8(platform::NativeSpelling(folder)).lexically_normal();
  std::vector<std::pair<fs::path, std::uint64_t>> unused;
  std::error_code error;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    std::error_code file_error;
    if (!it->is_regular_file(file_error)) continue;
    const fs::path path = it->path().lexically_normal();
    if (named.count(PathKey(path)) != 0) continue;
    const std::uintmax_t size = it->file_size(file_error);
    unused.emplace_back(path.lexically_relative(root), file_error ? 0 : size);
  }
  if (error) {
    throw Error("не удалось прочитать папку '" + platform::Utf8FromPath(root) +
                "': " + platform::ErrorText(error));
  }

  std::sort(unused.begin(), unused.end());
  std::vector<UnusedFile> result;
  result.reserve(unused.size());
  for (const auto& [path, size] : unused) {
    std::string name = platform::Utf8FromPath(path);
    std::replace(name.begin(), name.end(), '/', '\\');
    result.push_back({std::move(name), size});
  }
  return result;
}

}  // namespace zrk

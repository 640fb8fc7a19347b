// Worked cases of the INI reader: a file's bytes, one lookup, and the answer of Windows' profile
// API (GetPrivateProfileStringA with an empty default and a 1023-character buffer, as every build
// calls it). profile_reader_test.cpp holds our reader to these answers; on Windows,
// profile_differential_test.cpp compares it with the system's reader on the same rows.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/profile_reader.h"
#include "test_util.h"

namespace zrk::testing {

// A file's bytes, shared by the copies of a row: each row is a test's parameter, and a few rows
// hold megabytes. Tests read it as they would an optional string; none: there is no such file.
class FileBytes {
 public:
  FileBytes(std::nullopt_t) {}
  FileBytes(std::string bytes) : bytes_(std::make_shared<const std::string>(std::move(bytes))) {}
  FileBytes(const char* bytes) : FileBytes(std::string(bytes)) {}
  explicit operator bool() const { return bytes_ != nullptr; }
  const std::string& operator*() const { return *bytes_; }

 private:
  std::shared_ptr<const std::string> bytes_;
};

struct ProfileCase {
  std::string name;
  FileBytes file;        // none: there is no such file
  std::string expected;  // Windows-1251 bytes, as our reader gives them
  std::string section = "STANDARD";
  std::string key = "Picture";
  // Where Wine's reader (8.0) departs from Windows: Wine's answer.
  std::optional<std::string> wine = std::nullopt;
  // Windows' answer is not known, or cannot be asked: the reader's own choice, not compared.
  bool ours_only = false;
};

// A UTF-16 file: its mark (FF FE little-endian, FE FF big-endian), then the units.
inline std::string Utf16File(std::u16string_view units, bool big_endian = false) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : units) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

inline std::vector<ProfileCase> ProfileCases() {
  using namespace std::string_literals;
  const std::string s = "[STANDARD]\r\n", fx = "[EFFECTS]\r\nFrames=", e = "EFFECTS", f = "Frames";
  const std::string k1022(1022, 'x'), ya5000(5000, '\xFF'), bom8 = "\xEF\xBB\xBF";
  const std::string mouseup = "[MOUSEUP]\r\nMask=u.bmp\r\n";
  // clang-format off
  std::vector<ProfileCase> cases = {
    {"no such file", std::nullopt, ""},
    {"missing section", s + "Picture=a.bmp\r\n", "", "MOUSEUP"},
    {"empty value", s + "Picture=\r\n", ""},
    {"entries before the first header unreadable", "Picture=g.bmp\r\n" + s + "Mask=m.bmp\r\n", ""},
    {"letter case ignored", "[standard]\r\nPICTURE=a.bmp\r\n", "a.bmp"},
    {"blanks trimmed", "  [ STANDARD\t]  \r\n  Picture \t=\t\v a b.bmp \v\r\n", "a b.bmp"},
    {"text after a header ignored", "[STANDARD]Picture=a.bmp ;x\r\nPicture=b.bmp\r\n", "b.bmp"},
    {"name ends at the first ]", "[STANDARD]]\r\nPicture=a.bmp\r\n", "a.bmp", "STANDARD",
     "Picture", ""},
    {"missing ] allowed", "[STANDARD   \r\nPicture=a.bmp\r\n", "a.bmp", "STANDARD", "Picture", ""},
    {"whole key names only", s + "Picture800=b.bmp\r\nMyPicture=c.bmp\r\n", ""},
    {"caller's trailing tab kept", "[MODULES]\r\nPicture800=p.zrm\r\n", "", "MODULES",
     "Picture800\t", "p.zrm"},
    {"caller's spaces dropped", s + "Picture=a.bmp\r\n", "a.bmp", "  STANDARD ", " Picture "},
    {"split at the first =", s + "Picture=a=b.bmp\r\n", "a=b.bmp"},
    {"list kept exactly", fx + ";a.bmp; b.bmp ;c.bmp;\r\n", ";a.bmp; b.bmp ;c.bmp;", e, f},
    {"no inline comment", s + "Picture=a.bmp   ;old.bmp\r\n", "a.bmp   ;old.bmp"},
    {"commented header", s + "Picture=a.bmp\r\n  ;[MOUSEUP]\r\nMask=m.bmp\r\n", "m.bmp", "STANDARD",
     "Mask"},
    {"single quotes dropped", s + "Picture = 'a.bmp'  \r\n", "a.bmp"},
    {"blanks inside quotes kept", s + "Picture=  \"  a.bmp  \"  \r\n", "  a.bmp  "},
    {"quotes dropped once", s + "Picture=\"\"a.bmp\"\"\r\n", "\"a.bmp\""},
    {"unmatched quotes kept", s + "Picture=\"a.bmp'\r\n", "\"a.bmp'"},
    {"first key wins even when empty", s + "Picture=\r\npicture=two.bmp\r\n", ""},
    {"repeated section never searched", s + "Mask=m.bmp\r\n[standard]\r\nPicture=2.bmp\r\n", ""},
    {"CR line ends", "[STANDARD]\rMask=m.bmp\rPicture=\"a.bmp\"\r", "a.bmp"},
    {"LF and mixed line ends", s + "Mask=m.bmp\r\r\nFont=f\nFrames=x.bmp", "x.bmp", "STANDARD", f},
    {"longest value whole, blanks not counted", fx + "  " + k1022 + " \r\n", k1022, e, f},
    {"long value cut by characters", fx + ya5000 + "\r\n", ya5000.substr(0, 1022), e, f},
    {"empty file", "", ""},
    {"UTF-16LE with its mark", Utf16File(u"[STANDARD]\r\nPicture=тест.bmp\r\n"), Cp1251("тест.bmp")},
    {"UTF-16BE not recognised", Utf16File(u"[STANDARD]\r\nPicture=a.bmp\r\n", true), "",
     "STANDARD", "Picture", "a.bmp"},
    {"UTF-8 mark spoils the first header", bom8 + s + "Picture=a.bmp\r\n" + mouseup, "",
     "STANDARD", "Picture", "a.bmp"},
    {"UTF-8 mark: later headers work", bom8 + s + "Picture=a.bmp\r\n" + mouseup, "u.bmp",
     "MOUSEUP", "Mask"},
    {"UTF-8 mark on its own line", bom8 + "\r\n" + s + "Picture=a.bmp\r\n", "a.bmp"},
    {"UTF-8 read as Windows-1251", s + "Picture=тест.bmp\r\n", Cp1251("С‚РµСЃС‚.bmp")},
  };
  // clang-format on

  const std::string cut_quoted = std::string(1022, 'a') + "bc";
  const std::string quote_inside = "\"" + std::string(1021, 'a') + "\"" + std::string(100, 'b');
  const std::string v(1 << 20, 'v'), n(1 << 20, 'N'), blanks(1 << 20, ' ');
  const std::string longest(platform::kMaxProfileName, 'L');
  const FileBytes huge = fx + v + "\r\n" + n + "=x\r\n" + longest + "=y\r\nMask" + blanks +
                         "=z\r\n[" + n + "\r\nMask=m\r\n";
  // clang-format off
  const std::vector<ProfileCase> ours_only = {
    // Quotes come off the whole value before it is cut.
    {"quotes dropped before the cut", fx + "\"" + cut_quoted + "\"\r\n",
     cut_quoted.substr(0, 1022), e, f},
    // The 1023rd character is a quote but the last is not: nothing to drop.
    {"quote check sees the whole value", fx + quote_inside + "\r\n", quote_inside.substr(0, 1022),
     e, f},
    // Cyrillic letter case is ignored as ASCII's is (Wine 8.0 ignores only ASCII's).
    {"Cyrillic names match ignoring case", Cp1251("[Модули]\r\nКартинкаЁ=к.bmp\r\n"),
     Cp1251("к.bmp"), Cp1251("МОДУЛИ"), Cp1251("картинкаё")},
    // NUL is an ordinary character: the name it spoils is refused later, not cut short here.
    {"NUL in a value", s + "Picture=ok.bmp\0\r\n"s, "ok.bmp\0"s},
    // Megabyte lines read in bounded memory: names longer than kMaxProfileName are not kept, and
    // no caller asks for one.
    {"megabyte value", huge, v.substr(0, 1022), e, f},
    {"megabyte key", huge, "", e, n},
    {"longest key kept", huge, "y", e, longest},
    {"megabyte of blanks after a key", huge, "z", e, "Mask"},
    {"megabyte section name", huge, "", n, "Mask"},
  };
  // clang-format on
  for (ProfileCase c : ours_only) {
    c.ours_only = true;
    cases.push_back(std::move(c));
  }
  return cases;
}

}  // namespace zrk::testing

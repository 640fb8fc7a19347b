// Worked cases of the INI reader: a file's bytes, one lookup, and the answer of Windows' profile
// API (GetPrivateProfileStringA with an empty default and a 1023-character buffer, as every build
// calls it). profile_reader_test.cpp holds our reader to these answers; on Windows,
// profile_differential_test.cpp compares it with the system's reader on the same rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/profile_reader.h"
#include "test_util.h"

namespace zrk::testing {

struct ProfileCase {
  std::string name;
  std::optional<std::string> file;  // the file's bytes; none: there is no such file
  std::string expected;             // Windows-1251 bytes, as our reader gives them
  std::string section = "STANDARD";
  std::string key = "Picture";
  // Where Wine's reader (8.0) departs from Windows: Wine's answer.
  std::optional<std::string> wine = std::nullopt;
  // Windows' answer is not known (or the lookup cannot be passed to it): the reader's own choice,
  // not asked of the system.
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
    {"blanks trimmed", "  [ STANDARD\t]  \r\n  Picture \t=\t a b.bmp \t\r\n", "a b.bmp"},
    {"text after a header ignored", "[STANDARD] ; normal state\r\nPicture=a.bmp\r\n", "a.bmp"},
    {"entry after a header on its line ignored", "[STANDARD]Picture=a.bmp\r\n", ""},
    {"name ends at the first ]", "[STANDARD]]\r\nPicture=a.bmp\r\n", "a.bmp", "STANDARD",
     "Picture", ""},
    {"missing ] allowed", "[STANDARD   \r\nPicture=a.bmp\r\n", "a.bmp", "STANDARD", "Picture", ""},
    {"[ inside a name", "[[STANDARD]\r\nPicture=a.bmp\r\n", ""},
    {"no [: no header", "STANDARD]\r\nPicture=a.bmp\r\n", ""},
    {"whole key names only", s + "Picture800=b.bmp\r\nMyPicture=c.bmp\r\n", ""},
    {"caller's trailing space dropped", "[MODULES]\r\nPicture800=p.zrm\r\n", "p.zrm", "MODULES",
     "Picture800 "},
    {"caller's trailing tab kept", "[MODULES]\r\nPicture800=p.zrm\r\n", "", "MODULES",
     "Picture800\t", "p.zrm"},
    {"caller's leading spaces dropped", s + "Picture=a.bmp\r\n", "a.bmp", "  STANDARD ", " Picture"},
    {"split at the first =", s + "Picture=a=b.bmp\r\n", "a=b.bmp"},
    {"backslashes kept", s + "Picture=skin\\pics\\ok.bmp\r\n", "skin\\pics\\ok.bmp"},
    {"list kept exactly", fx + "a.bmp; b.bmp ;c.bmp;\r\n", "a.bmp; b.bmp ;c.bmp;", e, f},
    {"no inline comment", s + "Picture=a.bmp   ;old.bmp\r\n", "a.bmp   ;old.bmp"},
    {"; starting a value", fx + ";a.bmp\r\n", ";a.bmp", e, f},
    {"comment lines", s + ";Picture=old.bmp\r\n  ;x\r\nPicture=new.bmp\r\n", "new.bmp"},
    {"commented header", s + "Picture=a.bmp\r\n;[MOUSEUP]\r\nMask=m.bmp\r\n", "m.bmp", "STANDARD",
     "Mask"},
    {"# is ordinary", s + "Picture=a.bmp # old\r\n", "a.bmp # old"},
    {"double quotes dropped", s + "Picture=\"a.bmp\"\r\n", "a.bmp"},
    {"single quotes dropped", s + "Picture = 'a.bmp'  \r\n", "a.bmp"},
    {"blanks inside quotes kept", s + "Picture=  \"  a.bmp  \"  \r\n", "  a.bmp  "},
    {"quotes dropped once", s + "Picture=\"\"a.bmp\"\"\r\n", "\"a.bmp\""},
    {"inner quotes of the other kind kept", s + "Picture=\"'a.bmp'\"\r\n", "'a.bmp'"},
    {"inner quote of the same kind kept", s + "Picture='x'y'\r\n", "x'y"},
    {"unmatched quotes kept", s + "Picture=\"a.bmp'\r\n", "\"a.bmp'"},
    {"quote not at the end kept", s + "Picture=\"a.bmp\" ;old\r\n", "\"a.bmp\" ;old"},
    {"quoted list", fx + "\"a.bmp;b.bmp\"\r\n", "a.bmp;b.bmp", e, f},
    {"first key wins", s + "Picture=one.bmp\r\npicture=two.bmp\r\n", "one.bmp"},
    {"first key wins even when empty", s + "Picture=\r\nPicture=two.bmp\r\n", ""},
    {"first section wins", s + "Picture=1.bmp\r\n" + mouseup + s + "Picture=2.bmp\r\n", "1.bmp"},
    {"repeated section never searched", s + "Mask=m.bmp\r\n[standard]\r\nPicture=2.bmp\r\n", ""},
    {"LF line ends", "[STANDARD]\nPicture=a.bmp\n", "a.bmp"},
    {"CR line ends", "[STANDARD]\rMask=m.bmp\rPicture=\"a.bmp\"\r", "a.bmp"},
    {"mixed line ends", s + "Mask=m.bmp\rPicture=p.bmp\nFont=f\r\r\nFrames=x.bmp", "x.bmp",
     "STANDARD", f},
    {"vertical tab is blank", s + "Picture=\va.bmp \t \r\n", "a.bmp"},
    {"longest value whole", fx + k1022 + "\r\n", k1022, e, f},
    {"one character too long: cut", fx + k1022 + "y\r\n", k1022, e, f},
    {"long value cut by characters", fx + ya5000 + "\r\n", ya5000.substr(0, 1022), e, f},
    {"trimmed blanks not counted", fx + "      " + k1022 + "\r\n", k1022, e, f},
    {"empty file", "", ""},
    {"Windows-1251 bytes kept", s + "Picture=\xF2\xE5\xF1\xF2.bmp\r\n", Cp1251("тест.bmp")},
    {"UTF-16LE with its mark", Utf16File(u"[STANDARD]\r\nPicture=тест.bmp\r\n"), Cp1251("тест.bmp")},
    {"UTF-16 mark alone", "\xFF\xFE", ""},
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
  const std::string nul = s + "Pic\0ture=a\0b\r\nPicture=ok.bmp\0\r\n[\0]\r\nMask=n\r\n"s;
  const std::string v(1 << 20, 'v'), n(1 << 20, 'N'), blanks(1 << 20, ' ');
  const std::string longest(platform::kMaxProfileName, 'L');
  const std::string huge = fx + v + "\r\n" + n + "=x\r\n" + longest + "=y\r\nMask" + blanks +
                           "=z\r\n[" + n + "\r\nMask=m\r\n";
  // clang-format off
  const std::vector<ProfileCase> ours_only = {
    // The first matching entry wins even when it has no "=".
    {"bare key line hides a later value", s + "Picture\r\nPicture=b.bmp\r\n", ""},
    // Quotes come off the whole value before it is cut.
    {"quotes dropped before the cut", fx + "\"" + cut_quoted + "\"\r\n",
     cut_quoted.substr(0, 1022), e, f},
    // The 1023rd character is a quote but the last is not: nothing to drop.
    {"quote check sees the whole value", fx + quote_inside + "\r\n", quote_inside.substr(0, 1022),
     e, f},
    // Cyrillic letter case is ignored as ASCII's is (Wine 8.0 ignores only ASCII's).
    {"Cyrillic names match ignoring case", Cp1251("[Модули]\r\nКартинкаЁ=к.bmp\r\n"),
     Cp1251("к.bmp"), Cp1251("МОДУЛИ"), Cp1251("картинкаё")},
    // NUL is an ordinary character.
    {"NUL in a value", nul, "ok.bmp\0"s},
    {"NUL in a key", nul, "a\0b"s, "STANDARD", "Pic\0ture"s},
    {"NUL as a section name", nul, "n", "\0"s, "Mask"},
    // Megabyte lines read in bounded memory: names longer than kMaxProfileName are not kept, and
    // no caller asks for one.
    {"megabyte value", huge, v.substr(0, 1022), e, f},
    {"megabyte key", huge, "", e, n},
    {"longest key kept", huge, "y", e, longest},
    {"megabyte of blanks after a key", huge, "z", e, "Mask"},
    {"megabyte section name", huge, "", n, "Mask"},
    {"megabyte line alone", v, "", e, f},
  };
  // clang-format on
  for (ProfileCase c : ours_only) {
    c.ours_only = true;
    cases.push_back(std::move(c));
  }
  return cases;
}

}  // namespace zrk::testing

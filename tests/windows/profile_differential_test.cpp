// The project's own INI reader beside the system's GetPrivateProfileStringA, on worked cases of how
// the Windows profile API answers: each case is parsed by Profile and written to disk for the
// system's reader. Both must give Windows' answer, except on cases where other implementations
// are known to differ from Windows, and except where Wine, standing in for Windows here, is known
// to differ from it (Windows' answer, and so our reader's, holds there).
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>

#include "platform/profile_reader.h"
#include "test_util.h"

namespace zrk::platform {
namespace {

using namespace std::string_literals;

struct Case {
  int number;
  std::string content;  // the file's bytes; empty for "no such file" (case 1)
  std::string section;
  std::string key;
  std::string expected;  // Windows-1251 bytes
  bool differs = false;  // a case where other implementations differ from Windows
};

std::string Utf16(std::string_view ascii_or_cp1251, bool big_endian) {
  std::string out;
  for (const char c : ascii_or_cp1251) {
    const auto byte = static_cast<unsigned char>(c);
    // Only ASCII and the Cyrillic letters а..я / А..Я (0xC0..0xFF) occur in the cases.
    const char16_t unit = byte < 0x80 ? byte : static_cast<char16_t>(0x0410 + (byte - 0xC0));
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
  }
  return out;
}

std::vector<Case> Cases() {
  const std::string k1022(1022, 'x');
  const std::string test_cp1251 = "\xF2\xE5\xF1\xF2";  // "тест"
  const std::string test_utf8 = "\xD1\x82\xD0\xB5\xD1\x81\xD1\x82";
  return {
      {1, "", "STANDARD", "Picture", ""},
      {2, "[STANDARD]\r\nPicture=a.bmp\r\n", "MOUSEUP", "Picture", ""},
      {3, "[STANDARD]\r\nPicture=\r\n", "STANDARD", "Picture", ""},
      {4, "Picture=g.bmp\r\n[STANDARD]\r\nMask=m.bmp\r\n", "STANDARD", "Picture", ""},
      {5, "[standard]\r\nPICTURE=a.bmp\r\n", "STANDARD", "Picture", "a.bmp"},
      {6, "  [ STANDARD\t]  \r\n  Picture \t=\t a b.bmp \t\r\n", "STANDARD", "Picture", "a b.bmp"},
      {7, "[STANDARD] ; normal state\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", "a.bmp"},
      {8, "[STANDARD]Picture=a.bmp\r\n", "STANDARD", "Picture", ""},
      {9, "[STANDARD]]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", "a.bmp"},
      {10, "[STANDARD   \r\nPicture=a.bmp\r\n", "STANDARD", "Picture", "a.bmp", true},
      {11, "[[STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", "", true},
      {12, "STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", ""},
      {13, "[STANDARD]\r\nPicture800=b.bmp\r\nMyPicture=c.bmp\r\n", "STANDARD", "Picture", ""},
      {14, "[MODULES]\r\nPicture800=p.zrm\r\n", "MODULES", "Picture800 ", "p.zrm"},
      {15, "[MODULES]\r\nPicture800=p.zrm\r\n", "MODULES", "Picture800\t", ""},
      {16, "[STANDARD]\r\nPicture=a=b.bmp\r\n", "STANDARD", "Picture", "a=b.bmp"},
      {17, "[STANDARD]\r\nPicture=skin\\pics\\ok.bmp\r\n", "STANDARD", "Picture",
       "skin\\pics\\ok.bmp"},
      {18, "[EFFECTS]\r\nFrames=a.bmp; b.bmp ;c.bmp;\r\n", "EFFECTS", "Frames",
       "a.bmp; b.bmp ;c.bmp;"},
      {19, "[STANDARD]\r\nPicture=a.bmp   ;old.bmp\r\n", "STANDARD", "Picture", "a.bmp   ;old.bmp"},
      {20, "[EFFECTS]\r\nFrames=;a.bmp\r\n", "EFFECTS", "Frames", ";a.bmp"},
      {21, "[STANDARD]\r\n;Picture=old.bmp\r\n  ;x\r\nPicture=new.bmp\r\n", "STANDARD", "Picture",
       "new.bmp"},
      {22, "[STANDARD]\r\nPicture=a.bmp\r\n;[MOUSEUP]\r\nMask=m.bmp\r\n", "STANDARD", "Mask",
       "m.bmp"},
      {23, "[STANDARD]\r\nPicture=a.bmp # old\r\n", "STANDARD", "Picture", "a.bmp # old"},
      {24, "[STANDARD]\r\nPicture=\"a.bmp\"\r\n", "STANDARD", "Picture", "a.bmp"},
      {25, "[STANDARD]\r\nPicture = 'a.bmp'  \r\n", "STANDARD", "Picture", "a.bmp"},
      {26, "[STANDARD]\r\nPicture=  \"  a.bmp  \"  \r\n", "STANDARD", "Picture", "  a.bmp  "},
      {27, "[STANDARD]\r\nPicture=\"\"a.bmp\"\"\r\n", "STANDARD", "Picture", "\"a.bmp\""},
      {28, "[STANDARD]\r\nPicture=\"'a.bmp'\"\r\n", "STANDARD", "Picture", "'a.bmp'"},
      {29, "[STANDARD]\r\nPicture=\"a.bmp'\r\n", "STANDARD", "Picture", "\"a.bmp'"},
      {30, "[STANDARD]\r\nPicture=\"a.bmp\" ;old\r\n", "STANDARD", "Picture", "\"a.bmp\" ;old"},
      {31, "[EFFECTS]\r\nFrames=\"a.bmp;b.bmp\"\r\n", "EFFECTS", "Frames", "a.bmp;b.bmp"},
      {32, "[STANDARD]\r\nPicture=one.bmp\r\npicture=two.bmp\r\n", "STANDARD", "Picture",
       "one.bmp"},
      {33, "[STANDARD]\r\nPicture=\r\nPicture=two.bmp\r\n", "STANDARD", "Picture", ""},
      {34,
       "[STANDARD]\r\nPicture=1.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n[STANDARD]\r\nPicture=2.bmp\r\n",
       "STANDARD", "Picture", "1.bmp"},
      {35, "[STANDARD]\r\nMask=m.bmp\r\n[standard]\r\nPicture=2.bmp\r\n", "STANDARD", "Picture",
       ""},
      {36, "[STANDARD]\nPicture=a.bmp\n", "STANDARD", "Picture", "a.bmp"},
      {37, "[STANDARD]\rMask=m.bmp\rPicture=\"a.bmp\"\r", "STANDARD", "Picture", "a.bmp"},
      {38, "[STANDARD]\r\nMask=m.bmp\rPicture=p.bmp\nFont=f\r\r\nFrames=x.bmp", "STANDARD",
       "Frames", "x.bmp"},
      {39, "[STANDARD]\r\nPicture=\va.bmp \t \r\n", "STANDARD", "Picture", "a.bmp"},
      {40, "[EFFECTS]\r\nFrames=" + k1022 + "\r\n", "EFFECTS", "Frames", k1022},
      {41, "[EFFECTS]\r\nFrames=" + k1022 + "y\r\n", "EFFECTS", "Frames", k1022},
      {42, "[EFFECTS]\r\nFrames=" + k1022 + std::string(3978, 'y') + "\r\n", "EFFECTS", "Frames",
       k1022},
      {43, "[EFFECTS]\r\nFrames=      " + k1022 + "\r\n", "EFFECTS", "Frames", k1022},
      {44, "[STANDARD]\r\nPicture=" + test_cp1251 + ".bmp\r\n", "STANDARD", "Picture",
       test_cp1251 + ".bmp"},
      {45, "\xFF\xFE"s + Utf16("[STANDARD]\r\nPicture=" + test_cp1251 + ".bmp\r\n", false),
       "STANDARD", "Picture", test_cp1251 + ".bmp"},
      {46, "\xFE\xFF"s + Utf16("[STANDARD]\r\nPicture=a.bmp\r\n", true), "STANDARD", "Picture", "",
       true},
      {47, "\xEF\xBB\xBF[STANDARD]\r\nPicture=a.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n", "STANDARD",
       "Picture", "", true},
      {48, "\xEF\xBB\xBF[STANDARD]\r\nPicture=a.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n", "MOUSEUP",
       "Mask", "u.bmp", true},
      {49, "\xEF\xBB\xBF\r\n[STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", "a.bmp", true},
      {50, "[STANDARD]\r\nPicture=" + test_utf8 + ".bmp\r\n", "STANDARD", "Picture",
       test_utf8 + ".bmp", true},
  };
}

// Cases not marked [differs] where Wine's GetPrivateProfileStringA (Wine 8.0) gives another
// answer than Windows does; Windows' answer, and so our reader's, holds for them:
// 9: "[STANDARD]]" names no section for Wine (Windows: STANDARD, up to the first "]");
// 15: Wine trims a tab from the caller's key (Windows trims spaces only).
const std::set<int> kWineDiffers = {9, 15};

std::string SystemValue(const std::string& path, const Case& c) {
  std::string buffer(kMaxProfileValue + 1, ' ');
  const DWORD n = ::GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), nullptr,
                                             buffer.data(), kMaxProfileValue + 1, path.c_str());
  return buffer.substr(0, std::min<std::size_t>(n, kMaxProfileValue));
}

std::string Shown(const std::string& bytes) {
  if (bytes.size() > 24) return "<" + std::to_string(bytes.size()) + " bytes>";
  std::string shown = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    }
  }
  return shown + "\"";
}

TEST(ProfileDifferential, OurReaderAndTheSystemsAgree) {
  ASSERT_EQ(1251u, ::GetACP()) << "run the Windows tests with LC_ALL=ru_RU.UTF-8 under Wine";
  zrk::testing::TempDir dir;
  int compared = 0, agreed = 0;
  std::set<int> system_differs, differs_marked_agree;
  for (const Case& c : Cases()) {
    SCOPED_TRACE("case " + std::to_string(c.number));
    // The folder's name is ASCII, so its narrow form is the same in every code page.
    const std::string path = dir.path().string() + "\\case" + std::to_string(c.number) + ".ini";
    if (!c.content.empty()) {
      std::ofstream(path, std::ios::binary)
          .write(c.content.data(), static_cast<std::streamsize>(c.content.size()));
    }
    const std::string ours =
        c.content.empty() ? "" : Profile::Parse(c.content).Value(c.section, c.key);
    const std::string system = SystemValue(path, c);
    EXPECT_EQ(c.expected, ours) << "our reader departs from Windows' answer";
    ++compared;
    if (ours == system) ++agreed;
    if (system != c.expected) {
      std::cout << "  case " << c.number << (c.differs ? " [differs]" : "")
                << ": Windows and our reader " << Shown(c.expected) << ", system " << Shown(system)
                << '\n';
      if (!c.differs) system_differs.insert(c.number);
    }
  }
  std::cout << compared << " cases compared, " << agreed << " alike\n";
  EXPECT_EQ(kWineDiffers, system_differs)
      << "the system's reader departs from Windows' answer on other cases than those known of Wine";
}

}  // namespace
}  // namespace zrk::platform

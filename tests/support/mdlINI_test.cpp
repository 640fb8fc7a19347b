// Tests of mdlINI: values read from INI files on disk, one at a time and through the cache of a
// build, and the trailing-separator helper.
#include "support/mdlINI.h"

#include <gtest/gtest.h>

#include "platform/native_path.h"
#include "test_util.h"

namespace mdlINI {
namespace {

using zrk::testing::Cp1251;

// An empty folder stands for the program's folder.
TEST(WithTrailingBackslash, AddsASeparatorOnlyWhenMissing) {
  EXPECT_EQ("C:\\a\\", WithTrailingBackslash("C:\\a\\"));
  EXPECT_EQ("C:\\a\\", WithTrailingBackslash("C:\\a"));
  EXPECT_EQ("/home/u/skin/", WithTrailingBackslash("/home/u/skin/"));
  EXPECT_EQ(zrk::platform::ProgramFolder() + "\\", WithTrailingBackslash(""));
}

using ReadIniValueTest = zrk::testing::TempDirTest;

struct IniCase {
  std::string name, path, section, key, expected;  // path: a skin path below the test's folder
};
std::vector<IniCase> IniCases() {
  std::string ya1022;
  for (int i = 0; i < 1022; ++i) ya1022 += "я";
  const std::string config = "skin\\CONFIG.zrp";
  return {
      {"list", config, "DIRECTIVES", "SizeList", "800,600;1024,768"},
      {"Cyrillic value", config, "MODULES", "BackGround", "Фон\\Окно.zrm"},
      {"Cyrillic key", config, "MODULES", "КнопкаБольшая", "b.zrm"},
      {"empty value", config, "MODULES", "ToolTip", ""},
      // "?" must not stand in for a character the code page lacks.
      {"key without Windows-1251 form", config, "STANDARD", "漢", ""},
      {"section without Windows-1251 form", config, "漢", "Picture", ""},
      {"characters counted, not UTF-8 bytes", "skin\\long.zrm", "EFFECTS", "Frames", ya1022},
      {"no such file", "skin\\none.zrm", "EFFECTS", "Frames", ""},
  };
}

class IniCaseTest : public ReadIniValueTest, public ::testing::WithParamInterface<IniCase> {};
INSTANTIATE_TEST_SUITE_P(, IniCaseTest, ::testing::ValuesIn(IniCases()),
                         zrk::testing::NameOfRow<IniCase>);

// Names and values are UTF-8 for the caller and Windows-1251 in the file, and the path is a skin
// path. The cache, holding every case's file, gives the same answers, the second time from
// memory; ReadIniValue reads the file afresh on every call.
TEST_P(IniCaseTest, ReadsValuesAsTheCacheDoes) {
  Write("Skin/config.zrp", Cp1251("[DIRECTIVES]\r\nSizeList=800,600;1024,768\r\n[MODULES]\r\n"
                                  "BackGround=Фон\\Окно.zrm\r\nToolTip=\r\nКнопкаБольшая=b.zrm\r\n"
                                  "[STANDARD]\r\n?=wrong.bmp\r\n[?]\r\nPicture=x.bmp\r\n"));
  Write("Skin/long.zrm", "[EFFECTS]\r\nFrames=" + std::string(1030, '\xFF') + "\r\n");
  const IniCase& c = GetParam();
  CachedIniReader cached;
  for (int round = 0; round < 2; ++round) {
    for (const IniCase& row : IniCases()) {
      const std::string value = cached.Read(dir_.folder() + row.path, row.section, row.key);
      if (row.name != c.name) continue;
      EXPECT_EQ(c.expected, value) << "round " << round;
    }
    EXPECT_EQ(c.expected, ReadIniValue(dir_.folder() + c.path, c.section, c.key));
  }
}

// A default stands for what is missing, not for an empty value, and loses its trailing spaces,
// as the system's reader gives it.
TEST_F(ReadIniValueTest, DefaultStandsForWhatIsMissing) {
  Write("Skin/config.zrp", "[MODULES]\r\nToolTip=\r\n");
  const std::string skin = dir_.folder() + "skin\\", config = skin + "CONFIG.zrp";
  EXPECT_EQ("none", ReadIniValue(config, "MODULES", "Font", "none  "));
  EXPECT_EQ("none", ReadIniValue(skin + "none.zrm", "MODULES", "Font", "none"));
  EXPECT_EQ("", ReadIniValue(config, "MODULES", "ToolTip", "none"));
  Write("Skin/config.zrp", "[MODULES]\r\nFont=f.zrm\r\n");
  EXPECT_EQ("f.zrm", ReadIniValue(config, "MODULES", "Font", "none"));
}

}  // namespace
}  // namespace mdlINI

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

// Names and values are UTF-8 for the caller and Windows-1251 in the file, and the path is a skin
// path. The cache gives the same answers, the second time from memory; ReadIniValue reads the
// file afresh on every call.
TEST_F(ReadIniValueTest, ReadsValuesAsTheCacheDoes) {
  Write("Skin/config.zrp", Cp1251("[DIRECTIVES]\r\nSizeList=800,600;1024,768\r\n[MODULES]\r\n"
                                  "BackGround=Фон\\Окно.zrm\r\nToolTip=\r\nКнопкаБольшая=b.zrm\r\n"
                                  "[STANDARD]\r\n?=wrong.bmp\r\n[?]\r\nPicture=x.bmp\r\n"));
  Write("Skin/long.zrm", "[EFFECTS]\r\nFrames=" + std::string(1030, '\xFF') + "\r\n");
  std::string ya1022;
  for (int i = 0; i < 1022; ++i) ya1022 += "я";
  const std::string skin = dir_.folder() + "skin\\", config = skin + "CONFIG.zrp";
  const struct {
    std::string path, section, key, expected;
  } kCases[] = {
      {config, "DIRECTIVES", "SizeList", "800,600;1024,768"},
      {config, "MODULES", "BackGround", "Фон\\Окно.zrm"},
      {config, "MODULES", "КнопкаБольшая", "b.zrm"},
      {config, "MODULES", "ToolTip", ""},
      // "?" must not stand in for a character the code page lacks.
      {config, "STANDARD", "漢", ""},
      {config, "漢", "Picture", ""},
      {skin + "long.zrm", "EFFECTS", "Frames", ya1022},  // characters counted, not UTF-8 bytes
      {skin + "none.zrm", "EFFECTS", "Frames", ""},
  };
  CachedIniReader cached;
  for (int round = 0; round < 2; ++round) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(c.path + " " + c.section + "/" + c.key);
      EXPECT_EQ(c.expected, ReadIniValue(c.path, c.section, c.key));
      EXPECT_EQ(c.expected, cached.Read(c.path, c.section, c.key));
    }
  }
  // A default stands for what is missing, not for an empty value, and loses its trailing spaces,
  // as the system's reader gives it.
  EXPECT_EQ("none", ReadIniValue(config, "MODULES", "Font", "none  "));
  EXPECT_EQ("none", ReadIniValue(skin + "none.zrm", "MODULES", "Font", "none"));
  EXPECT_EQ("", ReadIniValue(config, "MODULES", "ToolTip", "none"));
  Write("Skin/config.zrp", "[MODULES]\r\nFont=f.zrm\r\n");
  EXPECT_EQ("f.zrm", ReadIniValue(config, "MODULES", "Font", "none"));
}

}  // namespace
}  // namespace mdlINI

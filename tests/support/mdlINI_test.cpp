// Tests of mdlINI: reading values from real INI files and the trailing-separator helper.
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
  EXPECT_EQ("/home/u/skin\\", WithTrailingBackslash("/home/u/skin"));
  EXPECT_EQ(zrk::platform::ProgramFolder() + "\\", WithTrailingBackslash(""));
}

using ReadIniValueTest = zrk::testing::TempDirTest;

TEST_F(ReadIniValueTest, ReadsARealFile) {
  ZRK_SKIP_ON_WINDOWS(zrk::testing::kNonAsciiNamesNeedWidePaths);
  const std::string path = Write("Скин/config.zrp", Cp1251("[DIRECTIVES]\r\n"
                                                           "SizeList=800,600;1024,768\r\n"
                                                           "[MODULES]\r\n"
                                                           "BackGround=Фон\\Окно.zrm\r\n"
                                                           "ToolTip=\r\n"
                                                           "КнопкаБольшая=b.zrm\r\n"));
  EXPECT_EQ("800,600;1024,768", ReadIniValue(path, "DIRECTIVES", "SizeList"));
  EXPECT_EQ("Фон\\Окно.zrm", ReadIniValue(path, "MODULES", "BackGround"));
  EXPECT_EQ("b.zrm", ReadIniValue(path, "MODULES", "КнопкаБольшая"));
  // The folder's letter case is resolved as for any other skin file.
  EXPECT_EQ("Фон\\Окно.zrm",
            ReadIniValue(dir_.folder() + "скин\\CONFIG.zrp", "MODULES", "BackGround"));
  EXPECT_EQ("", ReadIniValue(path, "MODULES", "ToolTip"));
  EXPECT_EQ("none", ReadIniValue(path, "MODULES", "Font", "none"));
  EXPECT_EQ("none", ReadIniValue(dir_.folder() + "missing.zrp", "MODULES", "Font", "none"));
}

TEST_F(ReadIniValueTest, NameWithoutCp1251FormFindsNothing) {
  // "?" must not stand in for a character the code page lacks.
  const std::string path = Write("a.zrm", "[STANDARD]\r\n?=wrong.bmp\r\n[?]\r\nPicture=x.bmp\r\n");
  EXPECT_EQ("", ReadIniValue(path, "STANDARD", "漢"));
  EXPECT_EQ("", ReadIniValue(path, "漢", "Picture"));
}

TEST_F(ReadIniValueTest, LimitCountsCharactersNotUtf8Bytes) {
  const std::string path =
      Write("a.zrm", "[EFFECTS]\r\nFrames=" + std::string(1030, '\xFF') + "\r\n");
  std::string expected;
  for (int i = 0; i < 1022; ++i) expected += "я";
  EXPECT_EQ(expected, ReadIniValue(path, "EFFECTS", "Frames"));
}

TEST_F(ReadIniValueTest, EveryCallReadsTheFileAfresh) {
  const std::string path = Write("a.zrm", "[STANDARD]\r\nPicture=old.bmp\r\n");
  EXPECT_EQ("old.bmp", ReadIniValue(path, "STANDARD", "Picture"));
  Write("a.zrm", "[STANDARD]\r\nPicture=new.bmp\r\n");
  EXPECT_EQ("new.bmp", ReadIniValue(path, "STANDARD", "Picture"));
}

TEST_F(ReadIniValueTest, CachedReaderAgreesWithReadIniValue) {
  const std::string a =
      Write("a.zrm", Cp1251("[STANDARD]\r\nPicture=Кнопка.bmp\r\nMask=\r\n[EFFECTS]\r\n"
                            "Frames=1.bmp;2.bmp\r\n"));
  const std::string b = Write("sub/b.zrm", "[standard]\nPICTURE=b.bmp\n");
  const std::string paths[] = {a, b, dir_.folder() + "SUB\\B.zrm", dir_.folder() + "none.zrm"};
  const char* const lookups[][2] = {
      {"STANDARD", "Picture"}, {"STANDARD", "Mask"}, {"EFFECTS", "Frames"},
      {"MOUSEUP", "Picture"},  {"STANDARD", "漢"},
  };
  CachedIniReader cached;
  for (int round = 0; round < 2; ++round) {  // the second round is served from memory
    for (const std::string& path : paths) {
      for (const auto& lookup : lookups) {
        EXPECT_EQ(ReadIniValue(path, lookup[0], lookup[1]), cached.Read(path, lookup[0], lookup[1]))
            << path << " " << lookup[0] << "/" << lookup[1];
      }
    }
  }
  EXPECT_EQ("Кнопка.bmp", cached.Read(a, "STANDARD", "Picture"));
  EXPECT_EQ("b.bmp", cached.Read(b, "STANDARD", "Picture"));
}

}  // namespace
}  // namespace mdlINI

// Tests of skin paths on the native file system: separators, letter case and file probes.
#include "platform/native_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_util.h"

namespace zrk::platform {
namespace {

using NativePathTest = testing::TempDirTest;

TEST_F(NativePathTest, BackslashesBecomeSlashes) {
  const std::string dir = dir_.folder();
  EXPECT_EQ(dir + "no/such/file.bmp", ResolveNativePath(dir + "no\\such\\file.bmp"));
  Write("Images/a.bmp", "a");
  EXPECT_EQ(dir + "Images/a.bmp", ResolveNativePath(dir + "Images\\a.bmp"));
}

TEST_F(NativePathTest, ResolvesLetterCase) {
  const std::string dir = dir_.folder();
  Write("Картинки/Фон.BMP", "x");
  Write("Images/Back.bmp", "x");
  Write("Ёлка.bmp", "x");
  EXPECT_EQ(dir + "Картинки/Фон.BMP", ResolveNativePath(dir + "картинки\\фон.bmp"));
  EXPECT_EQ(dir + "Картинки/Фон.BMP", ResolveNativePath(dir + "КАРТИНКИ\\ФОН.bmp"));
  EXPECT_EQ(dir + "Images/Back.bmp", ResolveNativePath(dir + "IMAGES\\back.BMP"));
  EXPECT_EQ(dir + "Ёлка.bmp", ResolveNativePath(dir + "ёлка.bmp"));
  // Below a component that matches nothing, the rest is kept as given.
  EXPECT_EQ(dir + "Kartinki/фон.bmp", ResolveNativePath(dir + "Kartinki\\фон.bmp"));
}

TEST_F(NativePathTest, AmbiguousCaseIsNotGuessed) {
  const std::string dir = dir_.folder();
  Write("Pic.bmp", "1");
  Write("PIC.bmp", "2");
  Write("Sub/a.bmp", "1");
  Write("SUB/a.bmp", "2");
  EXPECT_EQ(dir + "pic.bmp", ResolveNativePath(dir + "pic.bmp"));
  EXPECT_EQ(dir + "sub/a.bmp", ResolveNativePath(dir + "sub\\a.bmp"));
  EXPECT_EQ(Presence::kMissingFile, ProbeFile(dir + "pic.bmp"));
  // An exact match wins over its case variants.
  EXPECT_EQ(dir + "PIC.bmp", ResolveNativePath(dir + "PIC.bmp"));
  EXPECT_EQ(dir + "Sub/a.bmp", ResolveNativePath(dir + "Sub\\a.bmp"));
  EXPECT_EQ(Presence::kPresent, ProbeFile(dir + "Pic.bmp"));
}

TEST_F(NativePathTest, ProbeClassifiesWhatItFinds) {
  const std::string dir = dir_.folder();
  Write("Images/a.bmp", "a");
  Write("empty.bmp", "");
  std::filesystem::create_directories(dir_.path() / "Folder.bmp");
  const struct {
    std::string path;
    Presence expected;
  } kCases[] = {
      {dir + "Images\\a.bmp", Presence::kPresent},
      {dir + "images\\A.BMP", Presence::kPresent},
      {dir + "empty.bmp", Presence::kPresent},
      {dir + "Images\\b.bmp", Presence::kMissingFile},
      {dir + "b.bmp", Presence::kMissingFile},
      {dir + "Other\\a.bmp", Presence::kMissingFolder},
      {dir + "Other\\Deeper\\a.bmp", Presence::kMissingFolder},
      {dir + "Folder.bmp", Presence::kFolder},
      {dir + "Images", Presence::kFolder},
      {dir + "empty.bmp\\a.bmp", Presence::kMissingFolder},              // through a regular file
      {"\\\\" + dir.substr(1) + "empty.bmp", Presence::kMissingFolder},  // a network path
      {"", Presence::kMissingFile},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(ProbeFile(c.path))) << c.path;
  }
}

TEST(NativePath, FoldCase) {
  EXPECT_EQ("abc xyz 09_@[`", FoldCase("ABC xYz 09_@[`"));
  EXPECT_EQ("абвгдеёжзийклмнопрстуфхцчшщъыьэюя", FoldCase("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"));
  EXPECT_EQ("ђѓєѕіїјљњћќўџґ", FoldCase("ЂЃЄЅІЇЈЉЊЋЌЎЏҐ"));
  EXPECT_EQ("абв", FoldCase("абв"));
  EXPECT_EQ("ÄÉ 漢 €", FoldCase("ÄÉ 漢 €"));  // only ASCII and Cyrillic fold
  EXPECT_EQ("a\xD0", FoldCase("A\xD0"));      // a cut sequence passes through
}

TEST(NativePath, ProgramFolderHoldsTheProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('/', folder.front());
  EXPECT_NE('/', folder.back());
  EXPECT_TRUE(std::filesystem::exists(folder + "/zrk_core_tests"));
}

}  // namespace
}  // namespace zrk::platform

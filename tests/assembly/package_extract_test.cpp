// Tests of extraction: entry names as paths below the target folder, and what is already there.
#include <gtest/gtest.h>

#include <filesystem>

#include "assembly/extract_path.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;

// Names that would leave the target folder are refused; the others, as a build writes them, are
// paths below it with "\" separating folders.
TEST(ExtractPath, NamesBecomePathsBelowTheTargetFolderOrAreRefused) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"Images\\Фон.bmp", "/t/Images/Фон.bmp"}, {"a..b\\c.d", "/t/a..b/c.d"},
      {".\\bg.bmp", "/t/bg.bmp"}, {"sub\\\\x.bmp", "/t/sub/x.bmp"}, {"", "имя пустое"},
      {"\\Windows\\a.bmp", "путь абсолютный"}, {"/etc/passwd", "путь абсолютный"},
      {"\\\\server\\share\\a.bmp", "путь абсолютный"},
      {"C:\\a.bmp", "путь начинается с буквы диска"}, {"c:a.bmp", "путь начинается с буквы диска"},
      {"..\\a.bmp", "часть пути '..'"}, {"Images\\..\\..\\a.bmp", "часть пути '..'"},
      {"Images/../../a.bmp", "часть пути '..'"}, {".", "имя не называет файл"},
      {"Images\\", "имя не называет файл"}, {"Images\\.", "имя не называет файл"},
      {std::string("a\0b", 3), "имя содержит символ NUL"}};
  // clang-format on
  for (const auto& [name, expected] : cases) {
    std::string got;
    const std::string error = testing::ErrorOf([&] { got = ExtractionPath("/t", name); });
    const std::string shown = name.find('\0') == std::string::npos ? name : "a\\0b";
    EXPECT_EQ(expected.starts_with('/') ? expected
                                        : "имя файла '" + shown + "' нельзя извлечь: " + expected,
              got + error);
  }
  EXPECT_EQ("/t/config.zrp", ExtractionPath("/t/", "config.zrp"));
}

class ExtractEntryTest : public testing::TempDirTest {
 protected:
  // Writes a package of files as target/p.zrk and extracts every entry into target/, once per
  // item of replace; returns what each extraction threw, "" for nothing.
  std::vector<std::string> PackAndExtract(
      const std::vector<std::pair<std::string, std::string>>& files, std::vector<bool> replace) {
    std::string package(testing::kPackageMagic);
    for (const auto& [name, data] : files) {
      package += testing::PackageEntryBytes(testing::Cp1251(name), data);
    }
    const PackageReader reader(Write("target/p.zrk", package));
    std::vector<std::string> errors;
    for (const bool replace_all : replace) {
      for (const PackageEntry& entry : reader.entries()) {
        errors.push_back(testing::ErrorOf(
            [&] { ExtractEntry(reader, entry, dir_.folder() + "target", replace_all); }));
      }
    }
    return errors;
  }
};

// A file already there stays unless replacing was asked for; the package being read is never
// written over, even then; a folder in the way fails and leaves no temporary file.
TEST_F(ExtractEntryTest, WhatIsAlreadyThere) {
  Write("target/config.zrp", "old");
  fs::create_directories(dir_.path() / "target/in/way.bmp/inside");
  const std::string there = " в папке '" + dir_.folder() + "target'";
#ifdef _WIN32
  const std::string in_the_way = "нет доступа";  // what Windows says of a file over a folder
#else
  const std::string in_the_way = "это папка";
#endif
  const std::string is_package = "файл 'p.zrk'" + there + " не будет записан: это читаемый пакет";
  EXPECT_EQ(
      (std::vector<std::string>{
          "файл 'config.zrp' уже есть" + there + " и не будет заменён", is_package,
          "файл 'in\\way.bmp' уже есть" + there + " и не будет заменён",
          // and with replacing
          "", is_package, "не удалось записать файл 'in\\way.bmp'" + there + ": " + in_the_way}),
      PackAndExtract(
          {{"config.zrp", "new"}, {"p.zrk", "named as the package"}, {"in\\way.bmp", "x"}},
          {false, true}));
  EXPECT_EQ((std::vector<std::string>{"config.zrp: new", "in/way.bmp/inside/", "p.zrk: 99 bytes"}),
            testing::Tree(dir_.path() / "target"));
}

// Entries of every kind come back as they were packed; a link below the target folder is never
// followed: a linked folder is not written into, a linked file is replaced, not its target.
TEST_F(ExtractEntryTest, RoundTripNeverFollowsALink) {
  ZRK_SKIP_ON_WINDOWS("Wine cannot make symbolic links");
  Write("victim.txt", "keep me");
  fs::create_directories(dir_.path() / "outside");
  fs::create_directories(dir_.path() / "target");
  fs::create_directory_symlink(dir_.path() / "outside", dir_.path() / "target/Linked");
  fs::create_symlink(dir_.path() / "victim.txt", dir_.path() / "target/config.zrp");
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> files = {
      {"config.zrp", "project"}, {"Images\\Фон.bmp", "picture"}, {"empty.bmp", ""},
      {"preview.bmp", "p"}, {"preview.bmp", "p"}, {"Linked\\a.bmp", "data"}};
  // clang-format on
  const std::string there = " в папке '" + dir_.folder() + "target'";
  EXPECT_EQ((std::vector<std::string>{"", "", "", "", "",
                                      "не удалось создать файл 'Linked\\a.bmp'" + there +
                                          ": часть пути не является папкой"}),
            PackAndExtract(files, {true}));
  EXPECT_EQ((std::vector<std::string>{"Images/Фон.bmp: picture", "Linked -> ../outside",
                                      "config.zrp: project", "empty.bmp: ", "p.zrk: 175 bytes",
                                      "preview.bmp: p"}),
            testing::Tree(dir_.path() / "target"));
  EXPECT_TRUE(fs::is_empty(dir_.path() / "outside"));
  EXPECT_EQ("keep me", testing::ReadFile(dir_.path() / "victim.txt"));
}

}  // namespace
}  // namespace zrk

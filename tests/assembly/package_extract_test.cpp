// Tests of extraction: unsafe entry names, paths below the target folder, and planted links.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "assembly/extract_path.h"
#include "assembly/package_writer.h"
#include "platform/error.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;

std::string UnsafeReason(std::string_view name) {
  try {
    EntryPathComponents(name);
  } catch (const Error& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(ExtractPath, RefusesNamesThatLeaveTheTargetFolder) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "имя пустое"},
      {"\\Windows\\a.bmp", "путь абсолютный"},
      {"/etc/passwd", "путь абсолютный"},
      {"\\\\server\\share\\a.bmp", "путь абсолютный"},
      {"C:\\a.bmp", "путь начинается с буквы диска"},
      {"c:a.bmp", "путь начинается с буквы диска"},
      {"..\\a.bmp", "часть пути '..'"},
      {"Images\\..\\..\\a.bmp", "часть пути '..'"},
      {"Images/../../a.bmp", "часть пути '..'"},
      {".", "имя не называет файл"},
      {"Images\\", "имя не называет файл"},
      {"Images\\.", "имя не называет файл"},
  };
  for (const auto& [name, reason] : cases) {
    EXPECT_EQ("имя файла '" + name + "' нельзя извлечь: " + reason, UnsafeReason(name));
  }
  EXPECT_EQ("имя файла 'a\\0b' нельзя извлечь: имя содержит символ NUL",
            UnsafeReason(std::string("a\0b", 3)));
}

TEST(ExtractPath, BackslashesBecomeSubFolders) {
  EXPECT_EQ("/t/Images/Фон.bmp", ExtractionPath("/t", "Images\\Фон.bmp"));
  EXPECT_EQ("/t/config.zrp", ExtractionPath("/t/", "config.zrp"));
  EXPECT_EQ("/t/a..b/c.d", ExtractionPath("/t", "a..b\\c.d"));
  // What a build writes for names such as these extracts too.
  EXPECT_EQ("/t/bg.bmp", ExtractionPath("/t", ".\\bg.bmp"));
  EXPECT_EQ("/t/sub/x.bmp", ExtractionPath("/t", "sub\\\\x.bmp"));
  EXPECT_EQ("/t/sub/x.bmp", ExtractionPath("/t", "sub\\.\\x.bmp"));
}

class ExtractEntryTest : public testing::TempDirTest {
 protected:
  // A package of the given files (written into skin/ first), and a reader on it.
  std::unique_ptr<PackageReader> Pack(
      const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::string> list;
    for (const auto& [name, data] : files) {
      std::string on_disk = name;
      std::replace(on_disk.begin(), on_disk.end(), '\\', '/');
      Write("skin/" + on_disk, data);
      list.push_back(name);
    }
    WritePackage(dir_.folder() + "p.zrk", dir_.folder() + "skin/" + list[0], list);
    return std::make_unique<PackageReader>(dir_.folder() + "p.zrk");
  }
  std::string Target() {
    fs::create_directories(dir_.path() / "target");
    return dir_.folder() + "target";
  }
};

TEST_F(ExtractEntryTest, RoundTripRebuildsTheSkin) {
  ZRK_SKIP_ON_WINDOWS(testing::kNonAsciiNamesNeedWidePaths);
  const auto reader = Pack({{"config.zrp", "project"},
                            {"Images\\Фон.bmp", std::string(100000, 'b')},
                            {"empty.bmp", ""},
                            {"preview.bmp", "p"},
                            {"preview.bmp", "p"}});
  const std::string target = Target();
  for (const PackageEntry& entry : reader->entries()) ExtractEntry(*reader, entry, target, true);
  EXPECT_EQ("project", testing::ReadFile(target + "/config.zrp"));
  EXPECT_EQ(std::string(100000, 'b'), testing::ReadFile(target + "/Images/Фон.bmp"));
  EXPECT_EQ("", testing::ReadFile(target + "/empty.bmp"));
  EXPECT_EQ("p", testing::ReadFile(target + "/preview.bmp"));
  EXPECT_EQ(5, std::distance(fs::recursive_directory_iterator(target), {}));  // with Images
}

TEST_F(ExtractEntryTest, DoesNotFollowALinkedFolder) {
  ZRK_SKIP_ON_WINDOWS("Wine cannot make symbolic links");
  const auto reader = Pack({{"config.zrp", "p"}, {"Images\\a.bmp", "data"}});
  const std::string target = Target();
  fs::create_directories(dir_.path() / "outside");
  fs::create_directory_symlink(dir_.path() / "outside", dir_.path() / "target/Images");
  EXPECT_THROW(ExtractEntry(*reader, reader->entries()[1], target, true), Error);
  EXPECT_TRUE(fs::is_empty(dir_.path() / "outside"));
}

TEST_F(ExtractEntryTest, ReplacesALinkedFileInsteadOfItsTarget) {
  ZRK_SKIP_ON_WINDOWS("Wine cannot make symbolic links");
  const auto reader = Pack({{"config.zrp", "new"}});
  const std::string target = Target();
  Write("victim.txt", "keep me");
  fs::create_symlink(dir_.path() / "victim.txt", dir_.path() / "target/config.zrp");
  ExtractEntry(*reader, reader->entries()[0], target, true);
  EXPECT_EQ("keep me", testing::ReadFile(dir_.path() / "victim.txt"));
  EXPECT_FALSE(fs::is_symlink(dir_.path() / "target/config.zrp"));
  EXPECT_EQ("new", testing::ReadFile(dir_.path() / "target/config.zrp"));
}

TEST_F(ExtractEntryTest, FailureLeavesNoTemporaryFile) {
  const auto reader = Pack({{"config.zrp", "p"}});
  const std::string target = Target();
  fs::create_directories(dir_.path() / "target/config.zrp/inside");  // a folder in the way
  EXPECT_THROW(ExtractEntry(*reader, reader->entries()[0], target, true), Error);
  EXPECT_EQ(1, std::distance(fs::directory_iterator(target), {}));
}

// A file already there stays unless replacing was asked for; the package being read is never
// written over, even then.
TEST_F(ExtractEntryTest, KeepsAnExistingFileUnlessToldAndNeverThePackage) {
  const auto reader = Pack({{"config.zrp", "new"}, {"p.zrk", "entry named as the package"}});
  const std::string target = Target();
  Write("target/config.zrp", "old");
  EXPECT_THROW(ExtractEntry(*reader, reader->entries()[0], target, false), ExistingFile);
  EXPECT_EQ("old", testing::ReadFile(dir_.path() / "target/config.zrp"));
  ExtractEntry(*reader, reader->entries()[0], target, true);
  EXPECT_EQ("new", testing::ReadFile(dir_.path() / "target/config.zrp"));

  const std::string package = testing::ReadFile(dir_.path() / "p.zrk");
  for (const bool replace : {false, true}) {
    EXPECT_THROW(ExtractEntry(*reader, reader->entries()[1], dir_.folder(), replace), Error);
  }
  EXPECT_TRUE(package == testing::ReadFile(dir_.path() / "p.zrk"));
}

}  // namespace
}  // namespace zrk

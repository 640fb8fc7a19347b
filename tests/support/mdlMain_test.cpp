// Tests of mdlMain: splitting, path parts, list dimensioning and the file-existence probe.
#include "support/mdlMain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>

#include "test_util.h"

namespace mdlMain {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(SplitPart, PicksPiecesFromEitherEnd) {
  const struct {
    std::string text;
    std::string delimiter;
    std::int32_t index;
    bool from_end;
    std::string expected;
  } kCases[] = {
      {"C:\\a\\b.zrp", "\\", 0, true, "b.zrp"},
      {"C:\\a\\b.zrp", "\\", 1, true, "a"},
      {"C:\\a\\b.zrp", "\\", 2, true, "C:"},
      {"C:\\a\\b.zrp", "\\", 3, true, ""},
      {"C:\\a\\b.zrp", "\\", 0, false, "C:"},
      {"C:\\a\\b.zrp", "\\", 2, false, "b.zrp"},
      {"C:\\a\\b.zrp", "\\", 3, false, ""},
      {"b.zrp", "\\", 0, true, "b.zrp"},
      {"b.zrp", "\\", 0, false, "b.zrp"},
      {"b.zrp", "\\", 1, true, ""},
      {"b.zrp", "\\", 1, false, ""},
      {"C:\\a\\", "\\", 0, true, ""},
      {"C:\\a\\", "\\", 1, true, "a"},
      {"a\\\\b", "\\", 1, false, ""},
      {"800,600,32", ",", 0, false, "800"},
      {"a::b::c", "::", 1, false, "b"},
      {"a::b::c", ":", 1, false, ""},
      {"", "\\", 0, true, ""},
      {"", "\\", 0, false, ""},
      {"", "\\", -1, true, ""},
      {"a\\b", "\\", -1, false, ""},
      {"a\\b", "\\", -1, true, ""},
      {"a\\b", "\\", kMin, true, ""},
      {"a\\b", "\\", kMin, false, ""},
      {"a\\b", "\\", kMax, true, ""},
      {"a\\b", "\\", kMax, false, ""},
      {"", "\\", kMin, true, ""},
      {"", "\\", kMax, false, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, SplitPart(c.text, c.delimiter, c.index, c.from_end))
        << c.text << " at " << c.delimiter << ", " << c.index << (c.from_end ? " from end" : "");
  }
}

TEST(Split, KeepsEmptyPieces) {
  EXPECT_EQ((std::vector<std::string>{"", "a.bmp", "", "b.bmp", ""}),
            Split(";a.bmp;;b.bmp;", ";").items());
  EXPECT_EQ((std::vector<std::string>{"a.bmp"}), Split("a.bmp", ";").items());
  const zrk::StringList empty = Split("", ";");
  EXPECT_TRUE(IsArrayDimensioned(empty));
  EXPECT_EQ(-1, empty.UpperBound());
}

TEST(IsArrayDimensioned, TellsUndimensionedFromEmpty) {
  zrk::StringList list;
  EXPECT_FALSE(IsArrayDimensioned(list));
  list.Append("a");
  EXPECT_TRUE(IsArrayDimensioned(list));
  EXPECT_EQ(0, list.UpperBound());
  list.Erase();
  EXPECT_FALSE(IsArrayDimensioned(list));
  EXPECT_TRUE(IsArrayDimensioned(zrk::StringList::Dimensioned()));
}

TEST(ParentFolder, KeepsTheLastSeparator) {
  const struct {
    std::string path;
    std::string folder;
    std::string name;
  } kCases[] = {
      {"C:\\a\\b.zrp", "C:\\a\\", "b.zrp"},
      {"C:\\a\\", "C:\\a\\", ""},
      {"b.zrp", "", "b.zrp"},
      {"", "", ""},
      {"\\\\server\\share\\b.zrp", "\\\\server\\share\\", "b.zrp"},
      {"/home/u/skin/config.zrp", "/home/u/skin/", "config.zrp"},
      {"/home/u/skin\\sub\\config.zrp", "/home/u/skin\\sub\\", "config.zrp"},
      {"/config.zrp", "/", "config.zrp"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.folder, ParentFolder(c.path)) << c.path;
    EXPECT_EQ(c.name, FileNamePart(c.path)) << c.path;
  }
}

using FileExistsTest = zrk::testing::TempDirTest;

TEST_F(FileExistsTest, OnlyARegularFileCounts) {
  const std::string dir = dir_.folder();
  Write("sub/a.bmp", "a");
  Write("empty.bmp", "");
  EXPECT_TRUE(FileExists(dir + "sub/a.bmp"));
  EXPECT_TRUE(FileExists(dir + "sub\\a.bmp"));  // "\" between sub-folders of a native path
  EXPECT_TRUE(FileExists(dir + "SUB\\A.bmp"));
  EXPECT_TRUE(FileExists(dir + "empty.bmp"));
  EXPECT_FALSE(FileExists(dir + "sub\\b.bmp"));
  EXPECT_FALSE(FileExists(dir + "other\\a.bmp"));
  EXPECT_FALSE(FileExists(dir + "sub"));
  EXPECT_FALSE(FileExists(dir + "sub\\"));
  EXPECT_FALSE(FileExists(dir + "empty.bmp\\a.bmp"));
  EXPECT_FALSE(FileExists(""));
  // The probe only opens the file: it is left as it was.
  EXPECT_EQ("a", zrk::testing::ReadFile(dir_.path() / "sub/a.bmp"));
}

TEST_F(FileExistsTest, DoubledBackslashesCollapse) {
  const std::string dir = dir_.folder();
  Write("sub/a.bmp", "a");
  EXPECT_TRUE(FileExists(dir + "sub\\\\a.bmp"));
  EXPECT_TRUE(FileExists(dir + "sub\\\\\\a.bmp"));    // three become two
  EXPECT_TRUE(FileExists(dir + "sub\\\\\\\\a.bmp"));  // four become two
  EXPECT_TRUE(FileExists(dir + "\\\\sub\\\\a.bmp"));  // after the folder's own "/"
}

TEST_F(FileExistsTest, LeadingDoubleBackslashStaysANetworkPath) {
  // Collapsing it would turn \\tmp\... into \tmp\..., an existing local file.
  Write("a.bmp", "a");
  const std::string rel = dir_.path().relative_path().string();  // "tmp/zrk-test-..."
  std::string windows_style = rel;
  for (char& c : windows_style) {
    if (c == '/') c = '\\';
  }
  ASSERT_TRUE(FileExists("\\" + windows_style + "\\a.bmp"));
  EXPECT_FALSE(FileExists("\\\\" + windows_style + "\\a.bmp"));
  EXPECT_FALSE(FileExists("\\\\server\\share\\a.bmp"));
}

}  // namespace
}  // namespace mdlMain

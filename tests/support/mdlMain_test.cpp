// Tests of mdlMain: splitting, path parts, list dimensioning and the file-existence probe.
#include "support/mdlMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "test_util.h"

namespace mdlMain {
namespace {

TEST(SplitPart, PicksPiecesFromEitherEnd) {
  const struct {
    std::string text, delimiter;
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
      {"b.zrp", "\\", 1, false, ""},
      {"C:\\a\\", "\\", 0, true, ""},
      {"a\\\\b", "\\", 1, false, ""},
      {"800,600,32", ",", 0, false, "800"},
      {"a::b::c", "::", 1, false, "b"},
      {"a::b::c", ":", 1, false, ""},
      {"", "\\", 0, true, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, SplitPart(c.text, c.delimiter, c.index, c.from_end))
        << c.text << " at " << c.delimiter << ", " << c.index << (c.from_end ? " from end" : "");
  }
  // Indexes out of range, including the extremes, give nothing.
  for (const std::int32_t index :
       {-1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
    for (const char* text : {"", "a\\b"}) {
      EXPECT_EQ("", SplitPart(text, "\\", index, true)) << text << " " << index;
      EXPECT_EQ("", SplitPart(text, "\\", index, false)) << text << " " << index;
    }
  }
}

TEST(Split, KeepsEmptyPiecesAndTellsEmptyFromUndimensioned) {
  EXPECT_EQ((std::vector<std::string>{"", "a.bmp", "", "b.bmp", ""}),
            Split(";a.bmp;;b.bmp;", ";").items());
  EXPECT_EQ((std::vector<std::string>{"a.bmp"}), Split("a.bmp", ";").items());
  const zrk::StringList empty = Split("", ";");
  EXPECT_TRUE(IsArrayDimensioned(empty));
  EXPECT_EQ(-1, empty.UpperBound());
  EXPECT_FALSE(IsArrayDimensioned(zrk::StringList()));
}

TEST(ParentFolder, KeepsTheLastSeparator) {
  const struct {
    std::string path, folder, name;
  } kCases[] = {
      {"C:\\a\\b.zrp", "C:\\a\\", "b.zrp"},
      {"C:\\a\\", "C:\\a\\", ""},
      {"b.zrp", "", "b.zrp"},
      {"", "", ""},
      {"\\\\server\\share\\b.zrp", "\\\\server\\share\\", "b.zrp"},
      {"/home/u/skin\\sub\\config.zrp", "/home/u/skin\\sub\\", "config.zrp"},
      {"/config.zrp", "/", "config.zrp"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.folder, ParentFolder(c.path)) << c.path;
    EXPECT_EQ(c.name, FileNamePart(c.path)) << c.path;
  }
}

using FileExistsTest = zrk::testing::TempDirTest;

// "\" separates sub-folders of a native path, doubled ones collapse, and only a regular file
// counts; the probe leaves the file as it was.
TEST_F(FileExistsTest, OnlyARegularFileCounts) {
  Write("sub/a.bmp", "a");
  Write("empty.bmp", "");
  const std::pair<std::string, bool> cases[] = {
      {"sub/a.bmp", true},
      {"sub\\a.bmp", true},
      {"SUB\\A.bmp", true},
      {"empty.bmp", true},
      {"sub\\\\a.bmp", true},
      {"sub\\\\\\a.bmp", true},
      {"sub\\\\\\\\a.bmp", true},
      {"\\\\sub\\\\a.bmp", true},
      {"sub\\b.bmp", false},
      {"other\\a.bmp", false},
      {"sub", false},
      {"sub\\", false},
      {"empty.bmp\\a.bmp", false},
  };
  for (const auto& [name, exists] : cases) {
    EXPECT_EQ(exists, FileExists(dir_.folder() + name)) << name;
  }
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ("a", zrk::testing::ReadFile(dir_.path() / "sub/a.bmp"));
}

TEST_F(FileExistsTest, LeadingDoubleBackslashStaysANetworkPath) {
  ZRK_SKIP_ON_WINDOWS("only POSIX resolves the root-relative \\\\tmp\\... path it builds");
  // Collapsing it would turn \\tmp\... into \tmp\..., an existing local file.
  Write("a.bmp", "a");
  std::string windows_style = dir_.path().relative_path().string();  // "tmp/zrk-test-..."
  std::replace(windows_style.begin(), windows_style.end(), '/', '\\');
  ASSERT_TRUE(FileExists("\\" + windows_style + "\\a.bmp"));
  EXPECT_FALSE(FileExists("\\\\" + windows_style + "\\a.bmp"));
  EXPECT_FALSE(FileExists("\\\\server\\share\\a.bmp"));
}

}  // namespace
}  // namespace mdlMain

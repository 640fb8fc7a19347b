// Tests of mdlMain: splitting, path parts and the file-existence probe.
#include "support/mdlMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "test_util.h"

namespace mdlMain {
namespace {

using namespace std::string_literals;

TEST(Split, PiecesFromEitherEndKeepingEmptyOnes) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    std::string text, delimiter;
    std::int32_t index;
    bool from_end;
    std::string expected;
  } kCases[] = {
      // clang-format off
      {"C:\\a\\b.zrp", "\\", 0, true, "b.zrp"}, {"C:\\a\\b.zrp", "\\", 1, true, "a"},
      {"C:\\a\\b.zrp", "\\", 3, true, ""}, {"C:\\a\\b.zrp", "\\", 2, false, "b.zrp"},
      {"C:\\a\\b.zrp", "\\", 3, false, ""}, {"b.zrp", "\\", 0, true, "b.zrp"},
      {"C:\\a\\", "\\", 0, true, ""}, {"a\\\\b", "\\", 1, false, ""}, {"", "\\", 0, true, ""},
      {"800,600,32", ",", 0, false, "800"}, {"a::b::c", "::", 1, false, "b"},
      {"a::b::c", ":", 1, false, ""},
      // Indexes out of range, the extremes included (no overflow), give nothing.
      {"a\\b", "\\", -1, true, ""}, {"a\\b", "\\", -1, false, ""},
      {"a\\b", "\\", kMin, true, ""}, {"a\\b", "\\", kMax, false, ""},
      // clang-format on
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, SplitPart(c.text, c.delimiter, c.index, c.from_end))
        << c.text << " at " << c.delimiter << ", " << c.index << (c.from_end ? " from end" : "");
  }
  EXPECT_EQ((std::vector<std::string>{"", "a.bmp", "", "b.bmp", ""}),
            Split(";a.bmp;;b.bmp;", ";").items());
  // An empty text gives a dimensioned list with no pieces.
  const zrk::StringList empty = Split("", ";");
  EXPECT_TRUE(IsArrayDimensioned(empty));
  EXPECT_EQ(-1, empty.UpperBound());
  EXPECT_FALSE(IsArrayDimensioned(zrk::StringList()));
}

TEST(ParentFolder, KeepsTheLastSeparator) {
  const struct {
    std::string path, folder, name;
  } kCases[] = {
      // clang-format off
      {"C:\\a\\b.zrp", "C:\\a\\", "b.zrp"}, {"C:\\a\\", "C:\\a\\", ""}, {"b.zrp", "", "b.zrp"},
      {"", "", ""}, {"/home/u/skin\\sub/config.zrp", "/home/u/skin\\sub/", "config.zrp"},
      // clang-format on
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
  const std::pair<std::string, bool> cases[] = {
      // clang-format off
      {"sub/a.bmp", true}, {"sub\\a.bmp", true}, {"SUB\\A.bmp", true}, {"sub\\\\a.bmp", true},
      {"sub\\b.bmp", false}, {"sub", false}, {"sub\\a.bmp\\x.bmp", false},
      // A name with a NUL byte was reported present because the system saw only the name before
      // it; the check passed and the build then failed on the name.
      {"sub\\a.bmp\0.x"s, false},
      // clang-format on
  };
  for (const auto& [name, exists] : cases) {
    EXPECT_EQ(exists, FileExists(dir_.folder() + name)) << name;
  }
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ("a", zrk::testing::ReadFile(dir_.path() / "sub/a.bmp"));
#ifndef _WIN32
  // A leading "\\" stays a network path: collapsed, \\tmp\... would name the local \tmp\....
  std::string windows_style = dir_.path().relative_path().string();  // "tmp/zrk-test-..."
  std::replace(windows_style.begin(), windows_style.end(), '/', '\\');
  ASSERT_TRUE(FileExists("\\" + windows_style + "\\sub\\a.bmp"));
  EXPECT_FALSE(FileExists("\\\\" + windows_style + "\\sub\\a.bmp"));
#endif
}

}  // namespace
}  // namespace mdlMain

// Tests of skin paths on the native file system: separators, letter case and file probes.
#include "platform/native_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "test_util.h"

namespace zrk::platform {
namespace {

// The POSIX path layer: "\\" turned into "/", letter case matched by hand. tests/windows checks
// the Win32 one.
class NativePathTest : public testing::TempDirTest {
 protected:
  void SetUp() override { ZRK_SKIP_ON_WINDOWS("the POSIX path layer"); }
};

// Backslashes become slashes and letter case is matched on disk, unless two names match: then
// only an exact match counts. Below a component that matches nothing, the rest is kept as given.
TEST_F(NativePathTest, ResolvesSeparatorsAndLetterCase) {
  for (const char* file : {"Картинки/Фон.BMP", "Images/Back.bmp", "Ёлка.bmp", "Pic.bmp", "PIC.bmp",
                           "Sub/a.bmp", "SUB/a.bmp"}) {
    Write(file, "x");
  }
  const std::pair<std::string, std::string> cases[] = {
      {"no\\such\\file.bmp", "no/such/file.bmp"},
      {"картинки\\фон.bmp", "Картинки/Фон.BMP"},
      {"КАРТИНКИ\\ФОН.bmp", "Картинки/Фон.BMP"},
      {"IMAGES\\back.BMP", "Images/Back.bmp"},
      {"ёлка.bmp", "Ёлка.bmp"},
      {"Kartinki\\фон.bmp", "Kartinki/фон.bmp"},
      {"pic.bmp", "pic.bmp"},
      {"sub\\a.bmp", "sub/a.bmp"},
      {"PIC.bmp", "PIC.bmp"},
      {"Sub\\a.bmp", "Sub/a.bmp"},
  };
  // The same answers whether a build keeps the folder listings and a handle of the skin folder,
  // or each look-up reads the listings and starts from the root.
  for (const bool cached : {false, true}) {
    std::optional<SkinLookupScope> listings;
    if (cached) listings.emplace(dir_.folder());
    for (const auto& [given, resolved] : cases) {
      EXPECT_EQ(dir_.folder() + resolved, ResolveNativePath(dir_.folder() + given)) << given;
    }
  }
}

TEST_F(NativePathTest, ProbeClassifiesWhatItFinds) {
  const std::string dir = dir_.folder();
  for (const char* file : {"Images/a.bmp", "empty.bmp", "Pic.bmp", "PIC.bmp"}) Write(file, "");
  std::filesystem::create_directories(dir_.path() / "Folder.bmp");
  const struct {
    std::string path;
    Presence expected;
  } kCases[] = {
      {dir + "Images\\a.bmp", Presence::kPresent},
      {dir + "images\\A.BMP", Presence::kPresent},
      {dir + "empty.bmp", Presence::kPresent},
      {dir + "Pic.bmp", Presence::kPresent},
      {dir + "pic.bmp", Presence::kMissingFile},  // two names match: neither is guessed
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
  for (const bool cached : {false, true}) {
    std::optional<SkinLookupScope> listings;
    if (cached) listings.emplace(dir_.folder());
    for (const auto& c : kCases) {
      EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(InspectFile(c.path).presence))
          << c.path;
    }
  }
}

TEST(NativePath, FoldCase) {
  EXPECT_EQ("abc xyz 09_@[`", FoldCase("ABC xYz 09_@[`"));
  EXPECT_EQ("абвгдеёжзийклмнопрстуфхцчшщъыьэюя", FoldCase("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"));
  EXPECT_EQ("ђѓєѕіїјљњћќўџґ", FoldCase("ЂЃЄЅІЇЈЉЊЋЌЎЏҐ"));
  EXPECT_EQ("ÄÉ 漢 €", FoldCase("ÄÉ 漢 €"));  // only ASCII and Cyrillic fold
  EXPECT_EQ("a\xD0", FoldCase("A\xD0"));      // a cut sequence passes through
}

// Dialogs open beside the program when the user keeps it among their files, else at home.
TEST(NativePath, DefaultDialogFolderIsTheProgramsWhenTheUserWorksThere) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows decides by the system folders, not by a home folder";
#else
  const std::string program = ProgramFolder();
  const char* saved = std::getenv("HOME");
  const std::string home = saved != nullptr ? saved : "";
  ::setenv("HOME", program.substr(0, program.rfind('/')).c_str(), 1);
  EXPECT_EQ(program, DefaultDialogFolder());
  ::setenv("HOME", "/nonexistent-home", 1);
  EXPECT_EQ("/nonexistent-home", DefaultDialogFolder());
  ::setenv("HOME", home.c_str(), 1);
#endif
}

TEST(NativePath, ProgramFolderHoldsTheProgram) {
  ZRK_SKIP_ON_WINDOWS("the POSIX layer reads /proc/self/exe; tests/windows checks the Win32 one");
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('/', folder.front());
  EXPECT_NE('/', folder.back());
  EXPECT_TRUE(std::filesystem::exists(folder + "/zrk_core_tests"));
}

}  // namespace
}  // namespace zrk::platform

// Tests of skin paths on the native file system: separators, letter case and file probes.
#include "platform/native_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "test_util.h"

namespace zrk::platform {
namespace {

using NativePathTest = testing::TempDirTest;

// Backslashes become slashes and letter case is matched on disk, unless two names match: then
// only an exact match counts. Below a component that matches nothing, the rest is kept as given.
// The probe classifies what the resolved path finds.
struct SkinPath {
  const char* name;
  std::string given, resolved;
  Presence presence;
};
const SkinPath kSkinPaths[] = {
    {"no such folder", "no\\such\\file.bmp", "no/such/file.bmp", Presence::kMissingFolder},
    {"Cyrillic letter case", "картинки\\фон.bmp", "Картинки/Фон.BMP", Presence::kPresent},
    {"Latin letter case", "IMAGES\\back.BMP", "Images/Back.bmp", Presence::kPresent},
    {"Cyrillic Yo letter case", "ёлка.bmp", "Ёлка.bmp", Presence::kPresent},
    {"rest kept as given", "Kartinki\\фон.bmp", "Kartinki/фон.bmp", Presence::kMissingFolder},
    {"two matches, none exact", "pic.bmp", "pic.bmp", Presence::kMissingFile},
    {"two matches, one exact", "PIC.bmp", "PIC.bmp", Presence::kPresent},
    {"no such file", "Images\\b.bmp", "Images/b.bmp", Presence::kMissingFile},
    {"folder", "images", "Images", Presence::kFolder},
    {"through a file", "PIC.bmp\\a.bmp", "PIC.bmp/a.bmp", Presence::kMissingFolder},
};
class SkinPathTest : public NativePathTest, public ::testing::WithParamInterface<SkinPath> {};
INSTANTIATE_TEST_SUITE_P(, SkinPathTest, ::testing::ValuesIn(kSkinPaths),
                         testing::NameOfRow<SkinPath>);

// The same answers whether a build keeps the folder listings and a handle of the skin folder,
// or each look-up reads the listings and starts from the root.
TEST_P(SkinPathTest, ResolvesAndProbes) {
  ZRK_SKIP_ON_WINDOWS("the POSIX path layer; tests/platform/win32 checks the Win32 one");
  for (const char* file :
       {"Картинки/Фон.BMP", "Images/Back.bmp", "Ёлка.bmp", "Pic.bmp", "PIC.bmp"}) {
    Write(file, "");
  }
  const SkinPath& c = GetParam();
  for (const bool cached : {false, true}) {
    std::optional<SkinLookupScope> listings;
    if (cached) listings.emplace(dir_.folder());
    EXPECT_EQ(dir_.folder() + c.resolved, ResolveNativePath(dir_.folder() + c.given));
    EXPECT_EQ(static_cast<int>(c.presence),
              static_cast<int>(InspectFile(dir_.folder() + c.given).presence));
  }
}

// A network path never finds the local file of the same folders, nor an empty path a file.
TEST_F(NativePathTest, NetworkAndEmptyPathsFindNoFile) {
  ZRK_SKIP_ON_WINDOWS("the POSIX path layer; tests/platform/win32 checks the Win32 one");
  Write("PIC.bmp", "");
  for (const bool cached : {false, true}) {
    std::optional<SkinLookupScope> listings;
    if (cached) listings.emplace(dir_.folder());
    const std::string network = "\\\\" + dir_.folder().substr(1) + "PIC.bmp";
    EXPECT_EQ(Presence::kMissingFolder, InspectFile(network).presence);
    EXPECT_EQ(Presence::kMissingFile, InspectFile("").presence);
  }
}

// Only ASCII and Cyrillic fold; a cut sequence at the end passes through.
TEST(NativePath, FoldCase) {
  EXPECT_EQ("abc 09_@[` абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђѓєѕіїјљњћќўџґ ÄÉ 漢 € a\xD0",
            FoldCase("ABC 09_@[` АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЃЄЅІЇЈЉЊЋЌЎЏҐ ÄÉ 漢 € A\xD0"));
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

// Absolute and without a trailing separator, so that callers can append "\" and a name.
TEST(NativePath, ProgramFolderHoldsTheProgram) {
  const std::string folder = ProgramFolder();
  EXPECT_TRUE(std::filesystem::path(folder).is_absolute() && !IsPathSeparator(folder.back()) &&
              (std::filesystem::exists(folder + "/zrk_core_tests") ||
               std::filesystem::exists(folder + "/zrk_core_tests.exe")))
      << folder;
}

}  // namespace
}  // namespace zrk::platform

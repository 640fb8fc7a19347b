// Tests of the Win32 platform layer under the Russian ANSI code page: file probes, INI files
// reached through the system's profile API, and packages written through the Win32 file functions.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "assembly/package_writer.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/text_win32.h"
#include "support/mdlINI.h"
#include "support/mdlMain.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using platform::PathFromUtf8;
using platform::Utf8FromPath;

// A temporary folder whose files are named and read through wide paths.
class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1251u, ::GetACP()) << "run the Windows tests with LC_ALL=ru_RU.UTF-8 under Wine";
  }
  // The folder as UTF-8, ending in "\".
  std::string Folder() const { return Utf8FromPath(dir_.path()) + "\\"; }
  std::string Write(const std::string& relative, std::string_view bytes) {
    const fs::path path = dir_.path() / PathFromUtf8(relative);
    testing::WriteFile(path, bytes);
    return Utf8FromPath(path);
  }
  std::string Read(const std::string& path) const { return testing::ReadFile(PathFromUtf8(path)); }
  // Opens a file of the folder as another program would, sharing it only as share allows.
  HANDLE Hold(const std::string& relative, DWORD access, DWORD share, DWORD creation) const {
    return ::CreateFileW((dir_.path() / PathFromUtf8(relative)).c_str(), access, share, nullptr,
                         creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  testing::TempDir dir_;
};

TEST_F(Win32Test, ProbeClassifiesWhatTheSystemReports) {
  using platform::Presence;
  Write("Картинки/Фон.bmp", "x");
  const auto presence = [&](const std::string& relative) {
    return platform::InspectFile(relative.empty() ? "" : Folder() + relative).presence;
  };
  EXPECT_EQ(Presence::kPresent, presence("Картинки\\Фон.bmp"));
  EXPECT_EQ(Presence::kPresent, presence("картинки\\ФОН.BMP"));  // the system folds case
  EXPECT_EQ(Presence::kMissingFile, presence("Картинки\\Окно.bmp"));
  EXPECT_EQ(Presence::kMissingFolder, presence("Нет\\Фон.bmp"));
  EXPECT_EQ(Presence::kFolder, presence("Картинки"));
  EXPECT_EQ(Presence::kMissingFile, presence("a?.bmp"));
  EXPECT_EQ(Presence::kMissingFile, presence(""));

  // Open elsewhere without sharing: present, though it cannot be opened.
  const HANDLE holder = Hold("locked.bmp", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_EQ(Presence::kUnopenable, presence("locked.bmp"));
  EXPECT_TRUE(mdlMain::FileExists(Folder() + "locked.bmp"));
  ::CloseHandle(holder);
}

// A stray byte or a lone surrogate made std::filesystem throw; both become U+FFFD instead.
TEST(Win32Path, ConvertsWhatIsNoUnicodeWithoutThrowing) {
  EXPECT_EQ(L"a\uFFFDb", PathFromUtf8("a\xFF\x62").native());
  EXPECT_EQ("a\uFFFDb", Utf8FromPath(std::wstring{L'a', wchar_t{0xD800}, L'b'}));
}

// The path reaches the system's reader in the ANSI code page: a Cyrillic folder is found in any
// letter case, a folder with no ANSI form is never reached though the file is there, and a relative
// name is the current folder's, not the Windows folder's. Values: mdlINI_test.cpp and
// profile_differential_test.cpp.
TEST_F(Win32Test, ReadIniValueFindsTheFileThroughTheAnsiCodePage) {
  EXPECT_EQ("\xD4\xEE\xED.bmp", platform::Utf8ToAnsi("Фон.bmp"));
  // No "?" and no look-alike letter: "ä" would otherwise become "a" and name another file.
  EXPECT_FALSE(platform::Utf8ToAnsi("漢.bmp"));
  EXPECT_FALSE(platform::Utf8ToAnsi("ä.bmp"));
  EXPECT_FALSE(platform::Utf8ToWide("\xD0"));  // a cut UTF-8 sequence
  Write("Скин/config.zrp", "[MODULES]\r\nFont=f.zrm\r\n");
  Write("漢/config.zrp", "[MODULES]\r\nFont=f.zrm\r\n");
  EXPECT_EQ("f.zrm", mdlINI::ReadIniValue(Folder() + "скин\\CONFIG.zrp", "modules", "font"));
  EXPECT_EQ("", mdlINI::ReadIniValue(Folder() + "漢\\config.zrp", "MODULES", "Font"));
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path() / PathFromUtf8("Скин"));
  EXPECT_EQ("f.zrm", mdlINI::ReadIniValue("config.zrp", "MODULES", "Font"));
  fs::current_path(previous);
}

// A package with a Cyrillic name, of a skin with a Cyrillic file name and a file large enough for
// the copy path, replaces the old one only when agreed and when the sources and the package can be
// had; a failure leaves the old package and no temporary file beside it.
TEST_F(Win32Test, PackageReplacesTheOldOneOnlyWhenItCan) {
  const std::string project = "[MODULES]\r\nPicture=m.zrm\r\n", big(200000, 'b');
  const std::string module = "[STANDARD]\r\nPicture=\xD4\xEE\xED.bmp\r\nMask=big.bmp\r\n";
  Write("skin/config.zrp", project);
  Write("skin/m.zrm", module);
  Write("skin/Фон.bmp", "abc");
  Write("skin/big.bmp", big);
  const std::string package = Write("out/Пакет.zrk", "old");
  const auto write = [&](bool replace) {
    WritePackage(package, Folder() + "skin\\config.zrp",
                 {"config.zrp", "m.zrm", "Фон.bmp", "big.bmp"},
                 {.replace_existing = replace, .progress = {}, .seen = {}});
  };
  EXPECT_THROW(write(false), DestinationTaken);
  // A source that another program holds without sharing cannot be read.
  HANDLE holder = Hold("skin/big.bmp", GENERIC_READ, 0, OPEN_EXISTING);
  const std::string error = testing::ErrorOf([&] { write(true); });
  EXPECT_TRUE(testing::Contains(error, "big.bmp")) << error;
  ::CloseHandle(holder);
  // A package that another program holds open cannot be replaced: the new one is dropped.
  holder = Hold("out/Пакет.zrk", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_THROW(write(true), Error);
  ::CloseHandle(holder);
  EXPECT_EQ("old", Read(package));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_.path() / "out"), {}));

  write(true);
  using testing::PackageEntryBytes;
  EXPECT_EQ(std::string(testing::kPackageMagic) + PackageEntryBytes("config.zrp", project) +
                PackageEntryBytes("m.zrm", module) + PackageEntryBytes("\xD4\xEE\xED.bmp", "abc") +
                PackageEntryBytes("big.bmp", big),
            Read(package));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_.path() / "out"), {}));
}

// Names a new file may not take: the system would open a device, a stream or another folder
// instead, drop the trailing dot or space, or refuse the name.
struct RefusedName {
  const char* name;
  const char* file_name;
};
// clang-format off
constexpr RefusedName kRefusedNames[] = {
    {"device", "CON"}, {"device with an extension", "nul.txt"}, {"numbered device", "Com1.bmp"},
    {"stream", "a:stream"}, {"trailing dot", "a."}, {"trailing space", "a "},
    {"wildcard", "a?b"}, {"separator", "a/b"}};
// clang-format on
class CreateBeneathRefuses : public Win32Test, public ::testing::WithParamInterface<RefusedName> {};
INSTANTIATE_TEST_SUITE_P(, CreateBeneathRefuses, ::testing::ValuesIn(kRefusedNames),
                         testing::NameOfRow<RefusedName>);

TEST_P(CreateBeneathRefuses, NamesThatAreNotPlainFiles) {
  platform::NativeFileSystem fs;
  std::error_code ec;
  EXPECT_EQ(nullptr, fs.CreateBeneath(Utf8FromPath(dir_.path()), {}, GetParam().file_name, ec));
  EXPECT_EQ(std::errc::invalid_argument, ec);
}

TEST_F(Win32Test, CreateBeneathReplacesAFileOfASubFolder) {
  platform::NativeFileSystem fs;
  Write("Папка/Фон.bmp", "old");
  std::error_code ec;
  {
    const auto file = fs.CreateBeneath(Utf8FromPath(dir_.path()), {"Папка"}, "Фон.bmp", ec);
    ASSERT_TRUE(file) << ec.message();
    fs.Write(file->handle(), std::span<const char>("new", 3), ec);
    ASSERT_FALSE(ec);
    file->Commit(true, ec);
    ASSERT_FALSE(ec) << platform::ErrorText(ec);
  }
  EXPECT_EQ("new", Read(Folder() + "Папка\\Фон.bmp"));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_.path() / PathFromUtf8("Папка")), {}));
}

}  // namespace
}  // namespace zrk

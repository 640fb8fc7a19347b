// Tests of the Win32 platform layer under the Russian ANSI code page: text conversions, file
// probes, the program's folder, INI values through the system's profile API, and packages
// written through the Win32 file functions.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "assembly/package_reader.h"
#include "assembly/package_writer.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/text_win32.h"
#include "support/mdlINI.h"
#include "support/mdlMain.h"
#include "test_util.h"
#include "win32_test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using testing::PathOf;
using testing::Utf8Of;

// A temporary folder whose files are named and read through wide paths.
class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1251u, ::GetACP()) << "run the Windows tests with LC_ALL=ru_RU.UTF-8 under Wine";
  }
  // The folder as UTF-8, ending in "\".
  std::string Folder() const { return Utf8Of(dir_.path()) + "\\"; }
  std::string Write(const std::string& relative, std::string_view bytes) {
    const fs::path path = dir_.path() / PathOf(relative);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return Utf8Of(path);
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  testing::TempDir dir_;
};

TEST_F(Win32Test, AnsiTextIsWindows1251WithoutSubstitutes) {
  EXPECT_EQ("\xD4\xEE\xED.bmp", platform::Utf8ToAnsi("Фон.bmp"));
  EXPECT_EQ("Фон.bmp", platform::AnsiToUtf8("\xD4\xEE\xED.bmp"));
  // No "?" and no look-alike letter: "ä" would otherwise become "a" and name another file.
  EXPECT_FALSE(platform::Utf8ToAnsi("漢.bmp"));
  EXPECT_FALSE(platform::Utf8ToAnsi("ä.bmp"));
  EXPECT_FALSE(platform::Utf8ToWide("\xD0"));  // a cut UTF-8 sequence
  EXPECT_EQ(L"Ёлка", platform::Utf8ToWide("Ёлка"));
  EXPECT_EQ("Ёлка", platform::WideToUtf8(L"Ёлка"));
}

TEST_F(Win32Test, ProbeClassifiesWhatTheSystemReports) {
  using platform::InspectFile;
  using platform::Presence;
  Write("Картинки/Фон.bmp", "x");
  Write("empty.bmp", "");
  const std::string dir = Folder();
  EXPECT_EQ(Presence::kPresent, InspectFile(dir + "Картинки\\Фон.bmp").presence);
  EXPECT_EQ(Presence::kPresent,
            InspectFile(dir + "картинки\\ФОН.BMP").presence);  // the system folds case
  EXPECT_EQ(Presence::kPresent, InspectFile(dir + "Картинки/Фон.bmp").presence);
  EXPECT_EQ(Presence::kPresent, InspectFile(dir + "empty.bmp").presence);
  EXPECT_EQ(Presence::kMissingFile, InspectFile(dir + "Картинки\\Окно.bmp").presence);
  EXPECT_EQ(Presence::kMissingFolder, InspectFile(dir + "Нет\\Фон.bmp").presence);
  EXPECT_EQ(Presence::kFolder, InspectFile(dir + "Картинки").presence);
  EXPECT_EQ(Presence::kFolder, InspectFile(dir + "Картинки\\").presence);
  EXPECT_EQ(Presence::kMissingFile, InspectFile(dir + "a?.bmp").presence);
  EXPECT_EQ(Presence::kMissingFile, InspectFile("").presence);

  // Open elsewhere without sharing: present, though it cannot be opened.
  const std::wstring locked = (dir_.path() / L"locked.bmp").wstring();
  const HANDLE holder = ::CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_EQ(Presence::kUnopenable, InspectFile(dir + "locked.bmp").presence);
  EXPECT_TRUE(mdlMain::FileExists(dir + "locked.bmp"));
  ::CloseHandle(holder);
}

TEST_F(Win32Test, FileExistsCollapsesDoubledBackslashes) {
  Write("sub/Фон.bmp", "x");
  const std::string dir = Folder();
  EXPECT_TRUE(mdlMain::FileExists(dir + "sub\\\\Фон.bmp"));
  EXPECT_TRUE(mdlMain::FileExists(dir + "sub\\\\\\\\Фон.bmp"));
  EXPECT_FALSE(mdlMain::FileExists(dir + "sub"));
  EXPECT_FALSE(mdlMain::FileExists(dir + "sub\\Окно.bmp"));
  EXPECT_FALSE(mdlMain::FileExists("\\\\no-such-server\\share\\a.bmp"));
}

TEST_F(Win32Test, ProgramFolderHoldsTheProgram) {
  const std::string folder = platform::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE('\\', folder.back());
  EXPECT_TRUE(fs::exists(PathOf(folder + "\\zrk_windows_tests.exe")));
  EXPECT_EQ(folder + "\\", mdlINI::WithTrailingBackslash(""));
  EXPECT_EQ("C:\\a\\", mdlINI::WithTrailingBackslash("C:\\a"));
  EXPECT_EQ("C:/a/", mdlINI::WithTrailingBackslash("C:/a/"));
}

TEST_F(Win32Test, ReadIniValueGoesThroughTheAnsiCodePage) {
  const std::string path = Write("Скин/config.zrp",
                                 "[DIRECTIVES]\r\nSizeList=800,600;1024,768\r\n[MODULES]\r\n"
                                 "BackGround=\xD4\xEE\xED\\\xCE\xEA\xED\xEE.zrm\r\nToolTip=\r\n"
                                 "\xCA\xED\xEE\xEF\xEA\xE0=b.zrm\r\n");
  EXPECT_EQ("800,600;1024,768", mdlINI::ReadIniValue(path, "DIRECTIVES", "SizeList"));
  EXPECT_EQ("Фон\\Окно.zrm", mdlINI::ReadIniValue(path, "MODULES", "BackGround"));
  EXPECT_EQ("b.zrm", mdlINI::ReadIniValue(path, "MODULES", "Кнопка"));
  EXPECT_EQ("Фон\\Окно.zrm",
            mdlINI::ReadIniValue(Folder() + "скин\\CONFIG.zrp", "modules", "background"));
  EXPECT_EQ("", mdlINI::ReadIniValue(path, "MODULES", "ToolTip"));
  EXPECT_EQ("", mdlINI::ReadIniValue(path, "MODULES", "Font"));
  EXPECT_EQ("none", mdlINI::ReadIniValue(path, "MODULES", "Font", "none"));
  EXPECT_EQ("", mdlINI::ReadIniValue(Folder() + "missing.zrp", "MODULES", "BackGround"));
  EXPECT_EQ("", mdlINI::ReadIniValue(path, "MODULES", "漢"));

  // A path with no ANSI form never reaches the reader, though the file is there.
  const std::string unreachable = Write("漢/config.zrp", "[MODULES]\r\nFont=f.zrm\r\n");
  EXPECT_EQ("", mdlINI::ReadIniValue(unreachable, "MODULES", "Font"));

  // A relative name is the current folder's, not the Windows folder's.
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path() / PathOf("Скин"));
  EXPECT_EQ("800,600;1024,768", mdlINI::ReadIniValue("config.zrp", "DIRECTIVES", "SizeList"));
  fs::current_path(previous);

  mdlINI::CachedIniReader cached;
  EXPECT_EQ("Фон\\Окно.zrm", cached.Read(path, "MODULES", "BackGround"));
}

TEST_F(Win32Test, ValuesAreCutTo1022Characters) {
  const std::string value(1030, '\xFF');
  const std::string path = Write(
      "a.zrm", "[EFFECTS]\r\nFrames=" + value + "\r\nMask=" + std::string(1022, 'm') + "\r\n");
  std::string expected;
  for (int i = 0; i < 1022; ++i) expected += "я";
  EXPECT_EQ(expected, mdlINI::ReadIniValue(path, "EFFECTS", "Frames"));
  EXPECT_EQ(std::string(1022, 'm'), mdlINI::ReadIniValue(path, "EFFECTS", "Mask"));
}

// The package of a skin with a Cyrillic name and a file large enough for the copy path.
class Win32PackageTest : public Win32Test {
 protected:
  void WriteSkin() {
    Write("skin/config.zrp", project_);
    Write("skin/m.zrm", module_);
    Write("skin/Фон.bmp", "abc");
    Write("skin/big.bmp", big_);
  }
  std::string Project() const { return Folder() + "skin\\config.zrp"; }
  std::vector<std::string> List() const { return {"config.zrp", "m.zrm", "Фон.bmp", "big.bmp"}; }
  std::string Expected() const {
    return "ZRK4000029<new_file=config.zrp*26>" + project_ + "<new_file=m.zrm*43>" + module_ +
           "<new_file=\xD4\xEE\xED.bmp*3>abc<new_file=big.bmp*200000>" + big_;
  }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(dir_.path() / "out")) {
      names.push_back(Utf8Of(item.path().filename()));
    }
    return names;
  }
  const std::string project_ = "[MODULES]\r\nPicture=m.zrm\r\n";
  const std::string module_ = "[STANDARD]\r\nPicture=\xD4\xEE\xED.bmp\r\nMask=big.bmp\r\n";
  const std::string big_ = std::string(200000, 'b');
};

TEST_F(Win32PackageTest, WritesAndReplacesThePackage) {
  WriteSkin();
  const std::string package = Write("out/Пакет.zrk", "old package, longer than nothing");
  EXPECT_THROW(WritePackage(package, Project(), List()), DestinationTaken);  // not agreed
  WritePackage(package, Project(), List(), {.replace_existing = true, .progress = {}});
  EXPECT_EQ(Expected(), Read(package));
  EXPECT_EQ((std::vector<std::string>{"Пакет.zrk"}), Listing());

  const std::vector<PackageEntry> entries = ReadPackageIndex(package);
  ASSERT_EQ(4u, entries.size());
  EXPECT_EQ("Фон.bmp", entries[2].name);
  EXPECT_EQ(200000u, entries[3].size);
}

TEST_F(Win32PackageTest, FailureLeavesTheOldPackageAndNoTemporaryFile) {
  WriteSkin();
  const std::string package = Write("out/skin.zrk", "old");
  // A source that another program holds without sharing cannot be read.
  const std::wstring source = (dir_.path() / "skin" / "big.bmp").wstring();
  const HANDLE holder = ::CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  const WriteOptions replace{.replace_existing = true, .progress = {}};
  try {
    WritePackage(package, Project(), List(), replace);
    ADD_FAILURE() << "the locked source was written";
  } catch (const Error& error) {
    EXPECT_NE(std::string::npos, std::string(error.what()).find("big.bmp")) << error.what();
  }
  ::CloseHandle(holder);
  EXPECT_EQ("old", Read(package));
  EXPECT_EQ((std::vector<std::string>{"skin.zrk"}), Listing());

  // A package that another program holds open cannot be replaced: the new one is dropped.
  const std::wstring held = (dir_.path() / "out" / "skin.zrk").wstring();
  const HANDLE reader = ::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  EXPECT_THROW(WritePackage(package, Project(), List(), replace), Error);
  ::CloseHandle(reader);
  EXPECT_EQ("old", Read(package));
  EXPECT_EQ((std::vector<std::string>{"skin.zrk"}), Listing());
}

TEST_F(Win32Test, CreateBeneathRefusesNamesThatAreNotPlainFiles) {
  platform::NativeFileSystem fs;
  for (const char* name : {"CON", "nul.txt", "Com1.bmp", "a:stream", "a.", "a ", "a?b", "a/b"}) {
    std::error_code ec;
    EXPECT_EQ(nullptr, fs.CreateBeneath(Utf8Of(dir_.path()), {}, name, ec)) << name;
    EXPECT_EQ(std::errc::invalid_argument, ec) << name;
  }
  Write("Папка/Фон.bmp", "old");
  std::error_code ec;
  {
    const auto file = fs.CreateBeneath(Utf8Of(dir_.path()), {"Папка"}, "Фон.bmp", ec);
    ASSERT_TRUE(file) << ec.message();
    fs.Write(file->handle(), std::span<const char>("new", 3), ec);
    ASSERT_FALSE(ec);
    file->Commit(true, ec);
    ASSERT_FALSE(ec) << platform::ErrorText(ec);
  }
  EXPECT_EQ("new", Read(Folder() + "Папка\\Фон.bmp"));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_.path() / PathOf("Папка")), {}));
}

}  // namespace
}  // namespace zrk

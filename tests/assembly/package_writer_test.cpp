// Tests of WritePackage: the exact bytes, and failures that leave nothing behind.
#include "assembly/package_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "platform/error.h"
#include "test_util.h"

namespace zrk {
namespace {

using testing::PackageEntryBytes;

namespace fs = std::filesystem;
using platform::FileHandle;

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The native file operations, with the faults a test asks for.
class FaultyFileSystem : public platform::NativeFileSystem {
 public:
  std::function<void(const std::string&path)> before_open, after_measuring;
  std::error_code read_error, create_error, write_error, copy_error, sync_error, rename_error;
  int creates = 0;

  FileHandle OpenForReading(const std::string& path, std::error_code& ec) override {
    if (before_open) before_open(path);
    last_opened_ = path;
    return NativeFileSystem::OpenForReading(path, ec);
  }
  platform::FileInfo StatHandle(FileHandle file, std::error_code& ec) override {
    const platform::FileInfo info = NativeFileSystem::StatHandle(file, ec);
    if (after_measuring) after_measuring(last_opened_);
    return info;
  }
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override {
    return Fails(read_error, ec) ? 0 : NativeFileSystem::ReadAt(file, offset, buffer, ec);
  }
  FileHandle CreateTemporary(const std::string& target, std::string& temporary,
                             std::error_code& ec) override {
    ++creates;
    return Fails(create_error, ec) ? platform::kNoFile
                                   : NativeFileSystem::CreateTemporary(target, temporary, ec);
  }
  void Write(FileHandle file, std::span<const char> data, std::error_code& ec) override {
    if (!Fails(write_error, ec)) NativeFileSystem::Write(file, data, ec);
  }
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override {
    return Fails(copy_error, ec) ? 0 : NativeFileSystem::CopyAt(from, offset, to, count, ec);
  }
  void Sync(FileHandle file, std::error_code& ec) override {
    if (!Fails(sync_error, ec)) NativeFileSystem::Sync(file, ec);
  }
  void Publish(FileHandle file, const std::string& temporary, const std::string& target,
               bool replace, std::error_code& ec) override {
    if (!Fails(rename_error, ec))
      return NativeFileSystem::Publish(file, temporary, target, replace, ec);
    std::error_code ignored;
    NativeFileSystem::Close(file, ignored);
    if (!temporary.empty()) NativeFileSystem::Remove(temporary, ignored);
  }

 private:
  std::string last_opened_;

  static bool Fails(const std::error_code& fault, std::error_code& ec) {
    if (fault) ec = fault;
    return static_cast<bool>(fault);
  }
};

class PackageWriterTest : public testing::TempDirTest {
 protected:
  std::string Project() const { return dir_.folder() + "config.zrp"; }
  // Packages go to a folder of their own, so that a left-over temporary file shows in Listing.
  std::string Package() {
    fs::create_directories(dir_.path() / "out");
    return dir_.folder() + "out/skin.zrk";
  }
};

TEST_F(PackageWriterTest, ProjectOfFiveBytesGivesThirtyEightBytesInPlaceOfTheOldPackage) {
  Write("config.zrp", "abcde");
  Write("out/skin.zrk", "old package");
  fs::permissions(Package(), fs::perms::owner_read | fs::perms::owner_write);
  WritePackage(Package(), Project(), {"config.zrp"}, {.replace_existing = true, .progress = {}});
  const std::string expected = "ZRK4000029<new_file=config.zrp*5>abcde";
  EXPECT_EQ(38u, expected.size());
  EXPECT_EQ(expected, testing::ReadFile(Package()));
  EXPECT_EQ(std::vector<std::string>{"skin.zrk"}, Listing(dir_.path() / "out"));
  // The replaced package keeps who may read it.
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write,
            fs::status(Package()).permissions() & fs::perms::mask);
}

#ifndef _WIN32
// What is at the package path decides: without agreement a file that is there (as one that
// appears during the build would be) stays; a link is written through and stays a link; and no
// agreement lets the package replace a file of the skin itself.
TEST_F(PackageWriterTest, DestinationRules) {
  Write("config.zrp", "abcde");
  Write("out/old.zrk", "old package");
  EXPECT_THROW(WritePackage(dir_.folder() + "out/old.zrk", Project(), {"config.zrp"}),
               DestinationTaken);
  EXPECT_TRUE(testing::ReadFile(dir_.path() / "out/old.zrk") == "old package");

  fs::create_symlink("real.zrk", dir_.path() / "out/link.zrk");
  WritePackage(dir_.folder() + "out/link.zrk", Project(), {"config.zrp"});
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "out/link.zrk"));
  EXPECT_EQ(38u, fs::file_size(dir_.path() / "out/real.zrk"));

  fs::create_hard_link(dir_.path() / "config.zrp", dir_.path() / "out/same.zrk");
  for (const std::string name : {"config.zrp", "out/same.zrk"}) {
    try {
      WritePackage(dir_.folder() + name, Project(), {"config.zrp"},
                   {.replace_existing = true, .progress = {}});
      ADD_FAILURE() << name << " replaced";
    } catch (const Error& e) {
      EXPECT_NE(std::string::npos, std::string(e.what()).find("это файл 'config.zrp' самого скина"))
          << e.what();
    }
  }
  EXPECT_EQ("abcde", testing::ReadFile(dir_.path() / "config.zrp"));
  EXPECT_EQ((std::vector<std::string>{"link.zrk", "old.zrk", "real.zrk", "same.zrk"}),
            Listing(dir_.path() / "out"));
}
#endif

// Empty, large (kernel copy), Cyrillic and repeated entries; an entry keeps its own text when the
// file on disk differs in letter case.
TEST_F(PackageWriterTest, WritesEveryEntryByteForByte) {
  const std::string project = "[MODULES]\r\nBackGround=back.ini\r\n";
  const std::string big = RandomBytes(3 * 1024 * 1024, 1);
  const std::string picture = RandomBytes(1024, 2);
  const std::string preview = RandomBytes(70 * 1024, 3);
  Write("config.zrp", project);
  Write("empty.bmp", "");
  Write("big.bin", big);
  Write("Фон.bmp", "cyrillic");
  Write("images/Back.BMP", picture);
  Write("preview.bmp", preview);
  WritePackage(Package(), Project(),
               {"config.zrp", "empty.bmp", "big.bin", "Фон.bmp", "IMAGES\\back.bmp", "preview.bmp",
                "preview.bmp"});
  // Ф, о, н are one byte each in Windows-1251; a zero-length file is "*0>" and nothing else.
  const std::string expected =
      std::string(testing::kPackageMagic) + PackageEntryBytes("config.zrp", project) +
      PackageEntryBytes("empty.bmp", "") + PackageEntryBytes("big.bin", big) +
      PackageEntryBytes("\xD4\xEE\xED.bmp", "cyrillic") +
      PackageEntryBytes("IMAGES\\back.bmp", picture) + PackageEntryBytes("preview.bmp", preview) +
      PackageEntryBytes("preview.bmp", preview);
  const std::string written = testing::ReadFile(Package());
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);  // no dump of megabytes on failure
}

// A failing build, the fault it meets, and what it must say ("@" stands for the package path).
// Sources: config.zrp, Images\a.bmp (100 bytes, copied through the buffer) and big.bin (200 KiB,
// copied by the kernel).
using Arrange = std::function<void(FaultyFileSystem&, const fs::path& skin)>;
struct FailureCase {
  const char* label;
  std::vector<std::string> list;
  Arrange arrange;
  bool checked_before_writing;  // a name the package cannot hold: refused before any file exists
  std::string message;
};

Arrange Fault(std::error_code FaultyFileSystem::*member, int value) {
  return [=](FaultyFileSystem& f, const fs::path&) { f.*member = {value, std::system_category()}; };
}

// Runs act on the source whose path ends in suffix, before it is opened or once the open file has
// been measured for its header.
Arrange OnOpenOf(std::string suffix, std::function<void(fs::path)> act,
                 std::function<void(const std::string&)> FaultyFileSystem::*when =
                     &FaultyFileSystem::before_open) {
  return [=](FaultyFileSystem& f, const fs::path&) {
    f.*when = [=](const std::string& path) {
      if (path.ends_with(suffix)) act(path);
    };
  };
}
Arrange OnceMeasured(std::string suffix, std::function<void(fs::path)> act) {
  return OnOpenOf(std::move(suffix), std::move(act), &FaultyFileSystem::after_measuring);
}

std::vector<FailureCase> FailureCases() {
  const Arrange none = [](FaultyFileSystem&, const fs::path&) {};
  const auto remove = [](fs::path p) { fs::remove(p); };
  const auto shrink = [](fs::path p) { fs::resize_file(p, fs::file_size(p) - 1); };
  const auto grow = [](fs::path p) { fs::resize_file(p, fs::file_size(p) + 1); };
  const auto huge = [](FaultyFileSystem&, const fs::path& skin) {
    testing::WriteFile(skin / "huge.bin", "");
    fs::resize_file(skin / "huge.bin", std::uint64_t{1} << 31);  // sparse: no disk used
  };
  const std::vector<std::string> list = {"config.zrp", "Images\\a.bmp", "big.bin"};
  using F = FaultyFileSystem;
  // clang-format off
  return {
      {"no Windows-1251 form", {"config.zrp", "big.bin", "漢字.bmp"}, none, true,
       "имя файла '漢字.bmp' нельзя записать в кодировке Windows-1251"},
      {"star in name", {"config.zrp", "big.bin", "a*b.bmp"}, none, true,
       "имя файла 'a*b.bmp' содержит недопустимый символ '*'"},
      {"missing source", {"config.zrp", "big.bin", "gone.bmp"}, none, false,
       "не удалось открыть файл 'gone.bmp': нет такого файла или папки"},
      {"folder as source", {"config.zrp", "Images"}, none, false,
       "не удалось открыть файл 'Images': это не обычный файл"},
      {"source of 2^31 bytes", {"config.zrp", "huge.bin"}, huge, false,
       "файл 'huge.bin' слишком велик для пакета: 2147483648 байт, "
       "допустимо не больше 2147483647"},
      {"empty list", {}, none, true, "список файлов пакета пуст"},
      {"source vanishes after the check", list, OnOpenOf("Images/a.bmp", remove), false,
       "не удалось открыть файл 'Images\\a.bmp': нет такого файла или папки"},
      {"small source shrinks", list, OnceMeasured("Images/a.bmp", shrink), false,
       "не удалось прочитать файл 'Images\\a.bmp': файл стал короче 100 байт во время записи"},
      {"small source grows", list, OnceMeasured("Images/a.bmp", grow), false,
       "не удалось прочитать файл 'Images\\a.bmp': файл стал длиннее 100 байт во время записи"},
      {"large source shrinks", list, OnceMeasured("big.bin", shrink), false,
       "не удалось прочитать файл 'big.bin': файл стал короче 204800 байт во время записи"},
      {"large source grows", list, OnceMeasured("big.bin", grow), false,
       "не удалось прочитать файл 'big.bin': файл стал длиннее 204800 байт во время записи"},
      {"source unreadable", list, Fault(&F::read_error, EIO), false,
       "не удалось прочитать файл 'config.zrp': ошибка ввода-вывода"},
      {"package cannot be created", list, Fault(&F::create_error, EACCES), false,
       "не удалось создать пакет '@': нет доступа"},
      {"disk full in a write", list, Fault(&F::write_error, ENOSPC), false,
       "не удалось записать пакет '@': нет места на диске"},
      {"disk full in a kernel copy", list, Fault(&F::copy_error, ENOSPC), false,
       "не удалось записать пакет '@': нет места на диске"},
      {"kernel copy fails otherwise", list, Fault(&F::copy_error, EIO), false,
       "не удалось скопировать файл 'big.bin' в пакет '@': ошибка ввода-вывода"},
      {"data never reach the disk", list, Fault(&F::sync_error, EIO), false,
       "не удалось записать пакет '@': ошибка ввода-вывода"},
      {"package cannot replace the old one", list, Fault(&F::rename_error, EBUSY), false,
       "не удалось сохранить пакет '@': файл занят"},
  };
  // clang-format on
}

TEST_F(PackageWriterTest, FailureLeavesOldPackageAndNoTemporaryFile) {
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.label);
    testing::TempDir skin;
    testing::WriteFile(skin.path() / "config.zrp", "abcde");
    testing::WriteFile(skin.path() / "Images/a.bmp", std::string(100, 'a'));
    testing::WriteFile(skin.path() / "big.bin", RandomBytes(200 * 1024, 4));
    testing::WriteFile(skin.path() / "out/skin.zrk", "old package");
    const std::string package = skin.folder() + "out/skin.zrk";
    FaultyFileSystem faulty;
    c.arrange(faulty, skin.path());

    std::string message = "(no error)";
    try {
      WritePackage(package, skin.folder() + "config.zrp", c.list, faulty);
    } catch (const Error& e) {
      message = e.what();
    }
    std::string expected = c.message;
    if (const auto at = expected.find('@'); at != std::string::npos) {
      expected.replace(at, 1, package);
    }
    EXPECT_EQ(expected, message);
    EXPECT_EQ(std::vector<std::string>{"skin.zrk"}, Listing(skin.path() / "out"));
    EXPECT_TRUE(testing::ReadFile(package) == "old package");  // no dump of a new package
    if (c.checked_before_writing) {
      EXPECT_EQ(0, faulty.creates);
    }
  }
}

}  // namespace
}  // namespace zrk

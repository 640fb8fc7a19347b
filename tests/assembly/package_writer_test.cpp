// Tests of WritePackage: the exact bytes of a package, and faults that leave nothing behind.
#include "assembly/package_writer.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <regex>

#include "platform/error.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using platform::FileHandle;

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Empty, small, Cyrillic, large (kernel copy) and repeated entries, written through a link over
// an old package: an entry keeps its own spelling where the disk's differs in letter case, the
// link stays a link, the replaced file keeps who may read it and no temporary file stays.
TEST(PackageWriter, WritesEveryEntryByteForByte) {
  ZRK_SKIP_ON_WINDOWS("makes a symbolic link; windows/win32_platform_test.cpp writes packages");
  testing::TempDir dir;
  const std::string project = "[MODULES]\r\nBackGround=back.ini\r\n", big = RandomBytes(3 << 20, 1),
                    picture = RandomBytes(1024, 2), preview = RandomBytes(70 * 1024, 3);
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"config.zrp", project}, {"empty.bmp", ""}, {"big.bin", big}, {"Фон.bmp", "cyrillic"},
      {"IMAGES\\back.bmp", picture}, {"preview.bmp", preview}, {"preview.bmp", preview}};
  // clang-format on
  std::vector<std::string> list;
  std::string expected(testing::kPackageMagic);
  for (const auto& [name, bytes] : entries) {
    if (name != "IMAGES\\back.bmp") testing::WriteFile(dir.path() / name, bytes);
    list.push_back(name);
    expected += testing::PackageEntryBytes(testing::Cp1251(name), bytes);
  }
  testing::WriteFile(dir.path() / "images/Back.BMP", picture);
  const fs::path old = dir.path() / "out/skin.zrk";
  testing::WriteFile(old, "old package");
  fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("skin.zrk", dir.path() / "out/link.zrk");

  // What the writer tells of each source: its start (of the large one too, which the kernel
  // copies), and the path a name matched only by letter case opened.
  std::vector<std::string> seen;
  const auto note = [&](std::size_t index, const SourceSeen& source) {
    const std::string_view by_case = source.by_letter_case;
    seen.push_back(std::to_string(index) + " " + std::string(source.start) + " " +
                   std::string(by_case.substr(std::min(by_case.size(), dir.folder().size()))));
  };
  WritePackage(dir.folder() + "out/link.zrk", dir.folder() + "config.zrp", list,
               {.replace_existing = true, .progress = {}, .seen = note});
  EXPECT_TRUE(expected == testing::ReadFile(old));  // no dump of megabytes on failure
  const auto start = [](const std::string& bytes) { return bytes.substr(0, kSeenStartBytes); };
  EXPECT_TRUE(
      (std::vector<std::string>{"0 " + start(project) + " ", "1  ", "2 " + start(big) + " ",
                                "3 cyrillic ", "4 " + start(picture) + " images/Back.BMP",
                                "5 " + start(preview) + " ", "6 " + start(preview) + " "}) == seen);
  EXPECT_EQ((std::vector<std::string>{"link.zrk -> skin.zrk",
                                      "skin.zrk: " + std::to_string(expected.size()) + " bytes"}),
            testing::Tree(dir.path() / "out"));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(old).permissions());
}

// A fault of one build: a file operation that fails with an error, or a source that a change
// (removed, cut, grown) meets when it is opened or once it has been measured for its header.
struct Fault {
  std::string at;  // "read", "create", "write", "copy", "sync", "publish"; "open", "measured"
  int error = 0;
  std::string source = {};  // the end of the source's path, for "open" and "measured"
  std::function<void(const fs::path&)> change = {};
};

// The native file operations with one fault. The writer opens and reads sources on two threads.
class FaultyFileSystem : public platform::NativeFileSystem {
 public:
  explicit FaultyFileSystem(Fault fault) : fault_(std::move(fault)) {}

  FileHandle OpenForReading(const std::string& path, std::error_code& ec) override {
    Meet("open", path);
    const FileHandle file = NativeFileSystem::OpenForReading(path, ec);
    const std::lock_guard<std::mutex> lock(mutex_);
    opened_[file] = path;
    return file;
  }
  platform::FileInfo StatHandle(FileHandle file, std::error_code& ec) override {
    const platform::FileInfo info = NativeFileSystem::StatHandle(file, ec);
    std::string path;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      path = opened_[file];
    }
    Meet("measured", path);
    return info;
  }
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override {
    return Fails("read", ec) ? 0 : NativeFileSystem::ReadAt(file, offset, buffer, ec);
  }
  std::size_t ReadCachedAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                           std::error_code& ec) override {
    return Fails("read", ec) ? 0 : NativeFileSystem::ReadCachedAt(file, offset, buffer, ec);
  }
  FileHandle CreateTemporary(const std::string& target, std::string& temporary,
                             std::error_code& ec) override {
    return Fails("create", ec) ? platform::kNoFile
                               : NativeFileSystem::CreateTemporary(target, temporary, ec);
  }
  void Write(FileHandle file, std::span<const char> data, std::error_code& ec) override {
    if (!Fails("write", ec)) NativeFileSystem::Write(file, data, ec);
  }
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override {
    return Fails("copy", ec) ? 0 : NativeFileSystem::CopyAt(from, offset, to, count, ec);
  }
  void Sync(FileHandle file, std::error_code& ec) override {
    if (!Fails("sync", ec)) NativeFileSystem::Sync(file, ec);
  }
  void Publish(FileHandle file, const std::string& temporary, const std::string& target,
               bool replace, std::error_code& ec) override {
    if (!Fails("publish", ec))
      return NativeFileSystem::Publish(file, temporary, target, replace, ec);
    std::error_code ignored;  // a failed publish takes the temporary file with it
    NativeFileSystem::Close(file, ignored);
    if (!temporary.empty()) NativeFileSystem::Remove(temporary, ignored);
  }

 private:
  bool Fails(const std::string& operation, std::error_code& ec) const {
    if (fault_.at != operation) return false;
    ec = {fault_.error, std::system_category()};
    return true;
  }
  void Meet(const std::string& moment, const std::string& path) const {
    if (fault_.at == moment && path.ends_with(fault_.source)) fault_.change(path);
  }
  Fault fault_;
  std::mutex mutex_;
  std::map<FileHandle, std::string> opened_;  // the path each open file was opened by
};

// A failing build, the fault it meets, and what it must say ("@" stands for the package path).
struct FailureCase {
  const char* name;
  std::vector<std::string> list;
  Fault fault;
  std::string message;
  std::string package = "out/skin.zrk";
  bool replace = true;
};

// Every failure leaves out/, where the temporary file is made, as it was. The skin: config.zrp,
// Images\a.bmp (100 bytes, buffered), big.bin (200 KiB, kernel copy), a sparse huge.bin of 2^31
// bytes; in out/, an old package, a hard link to the project file, a folder, a link to a pipe
// and a link to itself.
std::vector<FailureCase> FailureCases() {
  const auto remove = [](const fs::path& p) { fs::remove(p); };
  const auto shrink = [](const fs::path& p) { fs::resize_file(p, fs::file_size(p) - 1); };
  const auto grow = [](const fs::path& p) { fs::resize_file(p, fs::file_size(p) + 1); };
  const std::vector<std::string> list = {"config.zrp", "Images\\a.bmp", "big.bin"};
  // clang-format off
  return {
      {"no Windows-1251 form", {"config.zrp", "big.bin", "漢字.bmp"}, {},
       "имя файла '漢字.bmp' нельзя записать в кодировке Windows-1251"},
      {"star in name", {"config.zrp", "big.bin", "a*b.bmp"}, {},
       "имя файла 'a*b.bmp' содержит недопустимый символ '*'"},
      {"empty list", {}, {}, "список файлов пакета пуст"},
      {"source of 2^31 bytes", {"config.zrp", "huge.bin"}, {},
       "файл 'huge.bin' слишком велик для пакета: 2147483648 байт, допустимо не больше 2147483647"},
      {"source vanishes after the check", list, {"open", 0, "Images/a.bmp", remove},
       "не удалось открыть файл 'Images\\a.bmp': нет такого файла или папки"},
      {"small source shrinks", list, {"measured", 0, "Images/a.bmp", shrink},
       "не удалось прочитать файл 'Images\\a.bmp': файл стал короче 100 байт во время записи"},
      {"small source grows", list, {"measured", 0, "Images/a.bmp", grow},
       "не удалось прочитать файл 'Images\\a.bmp': файл стал длиннее 100 байт во время записи"},
      {"large source shrinks", list, {"measured", 0, "big.bin", shrink},
       "не удалось прочитать файл 'big.bin': файл стал короче 204800 байт во время записи"},
      {"large source grows", list, {"measured", 0, "big.bin", grow},
       "не удалось прочитать файл 'big.bin': файл стал длиннее 204800 байт во время записи"},
      {"source unreadable", list, {"read", EIO},
       "не удалось прочитать файл 'config.zrp': ошибка ввода-вывода"},
      {"package cannot be created", list, {"create", EACCES},
       "не удалось создать пакет '@': нет доступа"},
      {"disk full in a write", list, {"write", ENOSPC},
       "не удалось записать пакет '@': нет места на диске"},
      {"disk full in a kernel copy", list, {"copy", ENOSPC},
       "не удалось записать пакет '@': нет места на диске"},
      {"kernel copy fails otherwise", list, {"copy", EIO},
       "не удалось скопировать файл 'big.bin' в пакет '@': ошибка ввода-вывода"},
      {"data never reach the disk", list, {"sync", EIO},
       "не удалось записать пакет '@': ошибка ввода-вывода"},
      {"package cannot replace the old one", list, {"publish", EBUSY},
       "не удалось сохранить пакет '@': файл занят"},
      // Without agreement a file at the package path (one that appeared during the build) stays;
      // no agreement lets the package replace a file of the skin itself or a folder.
      {"old package, no agreement", list, {},
       "не удалось сохранить пакет '@': такой файл появился во время сборки и не был заменён",
       "out/skin.zrk", false},
      {"package path is a hard link to the project file", list, {},
       "не удалось сохранить пакет '@': это файл 'config.zrp' самого скина, он не будет заменён",
       "out/same.zrk"},
      {"package path is a folder", list, {}, "не удалось сохранить пакет '@': это папка",
       "out/folder.zrk"},
      {"package path links to a pipe", list, {},
       "не удалось сохранить пакет '@': это не обычный файл", "out/to-pipe.zrk"},
      {"package path is a link loop", list, {},
       "не удалось сохранить пакет '@': символические ссылки идут по кругу или их слишком много",
       "out/loop.zrk"},
  };
  // clang-format on
}

using PackageWriterFailure = ::testing::TestWithParam<FailureCase>;
INSTANTIATE_TEST_SUITE_P(, PackageWriterFailure, ::testing::ValuesIn(FailureCases()),
                         testing::NameOfRow<FailureCase>);

TEST_P(PackageWriterFailure, ChangesNothingAndLeavesNoTemporaryFile) {
  ZRK_SKIP_ON_WINDOWS("makes hard links and a sparse file of 2 GiB, and takes POSIX error numbers");
  const FailureCase& c = GetParam();
  testing::TempDir skin;
  for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"config.zrp", "abcde"},
                                    {"Images/a.bmp", std::string(100, 'a')},
                                    {"big.bin", RandomBytes(200 * 1024, 4)},
                                    {"huge.bin", ""},
                                    {"out/skin.zrk", "old package"}}) {
    testing::WriteFile(skin.path() / name, bytes);
  }
  fs::resize_file(skin.path() / "huge.bin", std::uint64_t{1} << 31);  // sparse: no disk used
  fs::create_hard_link(skin.path() / "config.zrp", skin.path() / "out/same.zrk");
  fs::create_directory(skin.path() / "out/folder.zrk");
#ifndef _WIN32
  ASSERT_EQ(0, ::mkfifo((skin.folder() + "out/pipe").c_str(), 0644));
#endif
  fs::create_symlink("pipe", skin.path() / "out/to-pipe.zrk");
  fs::create_symlink("loop.zrk", skin.path() / "out/loop.zrk");
  const std::vector<std::string> before = testing::Tree(skin.path() / "out");
  const std::string package = skin.folder() + c.package;
  FaultyFileSystem faulty(c.fault);

  EXPECT_EQ(std::regex_replace(c.message, std::regex("@"), package), testing::ErrorOf([&] {
              WritePackage(package, skin.folder() + "config.zrp", c.list, faulty,
                           {.replace_existing = c.replace, .progress = {}, .seen = {}});
            }));
  EXPECT_EQ(before, testing::Tree(skin.path() / "out"));
}

}  // namespace
}  // namespace zrk

// Tests of WritePackage: the exact bytes, round trips, and failures that leave nothing behind.
#include "assembly/package_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>

#include "assembly/package_reader.h"
#include "platform/error.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using platform::FileHandle;

// One entry as the format lays it out, built by hand from its name bytes and data.
std::string Entry(std::string_view name_bytes, std::string_view data) {
  return "<new_file=" + std::string(name_bytes) + "*" + std::to_string(data.size()) + ">" +
         std::string(data);
}

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

std::error_code Errno(int value) { return {value, std::system_category()}; }

// The native file operations, with the faults a test asks for.
class FaultyFileSystem : public platform::NativeFileSystem {
 public:
  std::function<void(const std::string& path)> before_open;
  std::error_code read_error, create_error, write_error, copy_error, sync_error, rename_error;
  int creates = 0;

  FileHandle OpenForReading(const std::string& path, std::error_code& ec) override {
    if (before_open) before_open(path);
    return NativeFileSystem::OpenForReading(path, ec);
  }
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override {
    if (read_error) {
      ec = read_error;
      return 0;
    }
    return NativeFileSystem::ReadAt(file, offset, buffer, ec);
  }
  FileHandle CreateTemporary(const std::string& target, std::string& temporary,
                             std::error_code& ec) override {
    ++creates;
    if (create_error) {
      ec = create_error;
      return platform::kNoFile;
    }
    return NativeFileSystem::CreateTemporary(target, temporary, ec);
  }
  void Write(FileHandle file, std::span<const char> data, std::error_code& ec) override {
    if (write_error) {
      ec = write_error;
      return;
    }
    NativeFileSystem::Write(file, data, ec);
  }
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override {
    if (copy_error) {
      ec = copy_error;
      return 0;
    }
    return NativeFileSystem::CopyAt(from, offset, to, count, ec);
  }
  void Sync(FileHandle file, std::error_code& ec) override {
    if (sync_error) {
      ec = sync_error;
      return;
    }
    NativeFileSystem::Sync(file, ec);
  }
  void Rename(const std::string& from, const std::string& to, std::error_code& ec) override {
    if (rename_error) {
      ec = rename_error;
      return;
    }
    NativeFileSystem::Rename(from, to, ec);
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

TEST_F(PackageWriterTest, ProjectOfFiveBytesGivesThirtyEightBytes) {
  Write("config.zrp", "abcde");
  WritePackage(Package(), Project(), {"config.zrp"});
  const std::string expected = "ZRK4000029<new_file=config.zrp*5>abcde";
  EXPECT_EQ(38u, expected.size());
  EXPECT_EQ(expected, testing::ReadFile(Package()));
}

TEST_F(PackageWriterTest, RoundTripKeepsNamesAndEveryByte) {
  const std::string project = "[MODULES]\r\nBackGround=back.ini\r\n";
  const std::string big = RandomBytes(3 * 1024 * 1024, 1);
  const std::string picture = RandomBytes(1024, 2);
  const std::string preview = RandomBytes(70 * 1024, 3);
  Write("config.zrp", project);
  Write("empty.bmp", "");
  Write("big.bin", big);
  Write("Фон.bmp", "cyrillic");
  Write("Images/a.bmp", picture);
  Write("preview.bmp", preview);
  const std::vector<std::string> list = {"config.zrp",    "empty.bmp",   "big.bin",    "Фон.bmp",
                                         "Images\\a.bmp", "preview.bmp", "preview.bmp"};
  WritePackage(Package(), Project(), list);

  // Ф, о, н are one byte each in Windows-1251; a zero-length file is "*0>" and nothing else.
  const std::string expected =
      "ZRK4000029" + Entry("config.zrp", project) + Entry("empty.bmp", "") + Entry("big.bin", big) +
      Entry("\xD4\xEE\xED.bmp", "cyrillic") + Entry("Images\\a.bmp", picture) +
      Entry("preview.bmp", preview) + Entry("preview.bmp", preview);
  const std::string written = testing::ReadFile(Package());
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);
  EXPECT_NE(std::string::npos, written.find("empty.bmp*0><new_file=big.bin*3145728>"));

  const std::vector<PackageEntry> entries = ReadPackageIndex(Package());
  ASSERT_EQ(list.size(), entries.size());
  const std::vector<std::string> sources = {project, "",      big,    "cyrillic",
                                            picture, preview, preview};
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i], entries[i].name);
    EXPECT_EQ(sources[i].size(), entries[i].size);
    EXPECT_TRUE(sources[i] == written.substr(entries[i].data_offset, entries[i].size)) << list[i];
  }
}

TEST_F(PackageWriterTest, EntryKeepsItsTextWhenTheFileDiffersInCase) {
  Write("config.zrp", "p");
  Write("images/Back.BMP", "b");
  WritePackage(Package(), Project(), {"config.zrp", "IMAGES\\back.bmp"});
  EXPECT_EQ("ZRK4000029" + Entry("config.zrp", "p") + Entry("IMAGES\\back.bmp", "b"),
            testing::ReadFile(Package()));
}

TEST_F(PackageWriterTest, ReplacesAnExistingPackageWhenComplete) {
  Write("config.zrp", "new");
  Write("out/skin.zrk", "old package");
  WritePackage(Package(), Project(), {"config.zrp"});
  EXPECT_EQ("ZRK4000029" + Entry("config.zrp", "new"), testing::ReadFile(Package()));
  EXPECT_EQ(std::vector<std::string>{"skin.zrk"}, Listing(dir_.path() / "out"));
}

// A failing build, the fault it meets, and what it must say. "@" in the message stands for the
// package path. Sources: config.zrp, Images\a.bmp (100 bytes, copied through the buffer) and
// big.bin (200 KiB, copied by the kernel).
struct FailureCase {
  const char* label;
  std::vector<std::string> list;
  std::function<void(FaultyFileSystem&, const fs::path& skin)> arrange;
  std::string message;
  bool checked_before_writing;  // the failure must come before the temporary file exists
};

const std::vector<std::string> kList = {"config.zrp", "Images\\a.bmp", "big.bin"};

void OnOpenOf(FaultyFileSystem& faulty, std::string suffix, std::function<void(fs::path)> act) {
  faulty.before_open = [suffix, act](const std::string& path) {
    if (path.ends_with(suffix)) act(path);
  };
}

std::vector<FailureCase> FailureCases() {
  const auto none = [](FaultyFileSystem&, const fs::path&) {};
  const auto shrink = [](fs::path p) { fs::resize_file(p, fs::file_size(p) - 1); };
  const auto grow = [](fs::path p) { fs::resize_file(p, fs::file_size(p) + 1); };
  return {
      {"no Windows-1251 form",
       {"config.zrp", "big.bin", "漢字.bmp"},
       none,
       "имя файла '漢字.bmp' нельзя записать в кодировке Windows-1251",
       true},
      {"star in name",
       {"config.zrp", "big.bin", "a*b.bmp"},
       none,
       "имя файла 'a*b.bmp' содержит недопустимый символ '*'",
       true},
      {"missing source",
       {"config.zrp", "big.bin", "gone.bmp"},
       none,
       "не удалось открыть файл 'gone.bmp': нет такого файла или папки",
       true},
      {"folder as source",
       {"config.zrp", "Images"},
       none,
       "не удалось открыть файл 'Images': это не обычный файл",
       true},
      {"source of 2^31 bytes",
       {"config.zrp", "huge.bin"},
       [](FaultyFileSystem&, const fs::path& skin) {
         testing::WriteFile(skin / "huge.bin", "");
         fs::resize_file(skin / "huge.bin", std::uint64_t{1} << 31);  // sparse: no disk used
       },
       "файл 'huge.bin' слишком велик для пакета: 2147483648 байт, допустимо не больше "
       "2147483647",
       true},
      {"empty list", {}, none, "список файлов пакета пуст", true},
      {"source vanishes after the check", kList,
       [=](FaultyFileSystem& f, const fs::path&) {
         OnOpenOf(f, "Images/a.bmp", [](fs::path p) { fs::remove(p); });
       },
       "не удалось открыть файл 'Images\\a.bmp': нет такого файла или папки", false},
      {"small source shrinks", kList,
       [=](FaultyFileSystem& f, const fs::path&) { OnOpenOf(f, "Images/a.bmp", shrink); },
       "не удалось прочитать файл 'Images\\a.bmp': файл стал короче 100 байт во время записи",
       false},
      {"small source grows", kList,
       [=](FaultyFileSystem& f, const fs::path&) { OnOpenOf(f, "Images/a.bmp", grow); },
       "не удалось прочитать файл 'Images\\a.bmp': файл стал длиннее 100 байт во время записи",
       false},
      {"large source shrinks", kList,
       [=](FaultyFileSystem& f, const fs::path&) { OnOpenOf(f, "big.bin", shrink); },
       "не удалось прочитать файл 'big.bin': файл стал короче 204800 байт во время записи", false},
      {"large source grows", kList,
       [=](FaultyFileSystem& f, const fs::path&) { OnOpenOf(f, "big.bin", grow); },
       "не удалось прочитать файл 'big.bin': файл стал длиннее 204800 байт во время записи", false},
      {"source unreadable", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.read_error = Errno(EIO); },
       "не удалось прочитать файл 'config.zrp': ошибка ввода-вывода", false},
      {"package cannot be created", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.create_error = Errno(EACCES); },
       "не удалось создать пакет '@': нет доступа", false},
      {"disk full in a write", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.write_error = Errno(ENOSPC); },
       "не удалось записать пакет '@': нет места на диске", false},
      {"disk full in a kernel copy", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.copy_error = Errno(ENOSPC); },
       "не удалось записать пакет '@': нет места на диске", false},
      {"kernel copy fails otherwise", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.copy_error = Errno(EIO); },
       "не удалось скопировать файл 'big.bin' в пакет '@': ошибка ввода-вывода", false},
      {"data never reach the disk", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.sync_error = Errno(EIO); },
       "не удалось записать пакет '@': ошибка ввода-вывода", false},
      {"package cannot replace the old one", kList,
       [](FaultyFileSystem& f, const fs::path&) { f.rename_error = Errno(EBUSY); },
       "не удалось сохранить пакет '@': файл занят", false},
  };
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

// A real full disk, as far as a test can have one: the file size limit makes the kernel's copy
// fail with EFBIG in a child process, which reports the message through a pipe.
TEST_F(PackageWriterTest, FileSizeLimitLeavesOldPackage) {
  Write("config.zrp", "abcde");
  Write("big.bin", RandomBytes(300 * 1024, 5));
  const std::string package = Package();
  Write("out/skin.zrk", "old package");

  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  const pid_t child = ::fork();
  ASSERT_NE(-1, child);
  if (child == 0) {
    ::close(fds[0]);
    const rlimit limit{100 * 1024, 100 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::string message = "(no error)";
    try {
      WritePackage(package, Project(), {"config.zrp", "big.bin"});
    } catch (const Error& e) {
      message = e.what();
    }
    const bool sent =
        ::write(fds[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::_exit(sent ? 0 : 1);
  }
  ::close(fds[1]);
  std::string message;
  char chunk[512];
  for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) message.append(chunk, n);
  ::close(fds[0]);
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ("не удалось записать пакет '" + package + "': превышен допустимый размер файла",
            message);
  EXPECT_EQ(std::vector<std::string>{"skin.zrk"}, Listing(dir_.path() / "out"));
  EXPECT_TRUE(testing::ReadFile(package) == "old package");  // no dump of a new package
}

}  // namespace
}  // namespace zrk

// zrk run as a process into faults: a full disk, bad destinations, sources and names a package
// cannot take, bad project files, and hostile packages to extract. Sources that change under a
// build are the writer's own tests.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "cli/run_zrk.h"
#include "test_util.h"

namespace zrk {
namespace {

using testing::Contains;
using testing::PackageEntryBytes;

namespace fs = std::filesystem;
using namespace std::string_literals;

using testing::RunOptions;
using testing::RunResult;
using testing::RunZrk;

// Every path below root, relative to it, leaving out the subtree skip (relative to root).
std::set<std::string> Tree(const fs::path& root, const std::string& skip = "") {
  std::set<std::string> paths;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string relative = fs::relative(it->path(), root).string();
    if (!skip.empty() && (relative == skip || relative.starts_with(skip + "/"))) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    paths.insert(relative);
  }
  return paths;
}

// Bytes of every value, none of them "[", so that no line of them is a section header.
std::string Garbage(std::size_t size) {
  std::string out(size, '\0');
  std::uint32_t seed = 7;
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
    if (c == '[') c = ']';
  }
  return out;
}

// UTF-16LE bytes of ASCII text.
std::string Utf16Le(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) out += {c, '\0'};
  return out;
}

// skin/config.zrp names mods/btn.zrm, which names img/a.bmp (4 bytes, copied through the writer's
// buffer) and img/b.bmp (70000 bytes, copied by the kernel).
void WriteSkin(const fs::path& dir) {
  testing::WriteFile(dir / "skin/config.zrp", "[MODULES]\r\nPicture=mods\\btn.zrm\r\n");
  testing::WriteFile(dir / "skin/mods/btn.zrm",
                     "[STANDARD]\r\nPicture=img\\a.bmp\r\n[EFFECTS]\r\nFrames=img\\b.bmp\r\n");
  testing::WriteFile(dir / "skin/img/a.bmp", "AAAA");
  testing::WriteFile(dir / "skin/img/b.bmp", std::string(70000, 'b'));
}

// A build that must fail: how the skin is changed, how zrk runs, and what it must say.
struct BuildFault {
  const char* label;
  std::function<void(const fs::path& dir)> arrange;
  RunOptions options;
  std::string message;  // "@" stands for the full package path
  std::string project = "skin/config.zrp";
  std::string output = "out/skin.zrk";
};

// Runs the build over an old package at out/skin.zrk and checks what a user relies on: exit 3,
// the reason and the file in the report's last line, and nothing changed outside the skin: the
// old package as it was, no temporary or partial package, no new folder.
void ExpectBuildFails(const BuildFault& fault) {
  SCOPED_TRACE(fault.label);
  testing::TempDir temp;
  const fs::path& dir = temp.path();
  WriteSkin(dir);
  testing::WriteFile(dir / "out/skin.zrk", "old package");
  if (fault.arrange) fault.arrange(dir);
  const std::set<std::string> before = Tree(dir, "skin");

  const RunResult run =
      RunZrk({"build", fault.project, "-o", fault.output, "--force"}, dir, fault.options);

  std::string message = fault.message;
  if (const auto at = message.find('@'); at != std::string::npos) {
    message.replace(at, 1, (dir / fault.output).string());
  }
  EXPECT_EQ(3, run.exit_code) << "signal " << run.signal << "\n" << run.err;
  EXPECT_TRUE(run.out.ends_with("Ошибка... " + message + "\n")) << run.out;
  EXPECT_EQ(before, Tree(dir, "skin"));
  EXPECT_TRUE(testing::ReadFile(dir / "out/skin.zrk") == "old package");
}

TEST(ZrkFault, FailedBuildNamesTheFileAndLeavesTheOldPackage) {
  const BuildFault faults[] = {
      {"disk full while writing",
       nullptr,
       {{}, 64 * 1024, {}},
       "не удалось записать пакет '@': превышен допустимый размер файла"},
      {"source is a pipe that nobody writes to",
       [](const fs::path& dir) {
         fs::remove(dir / "skin/img/a.bmp");
         ASSERT_EQ(0, ::mkfifo((dir / "skin/img/a.bmp").c_str(), 0644));
       },
       {},
       "не удалось открыть файл 'img\\a.bmp': это не обычный файл"},
      {"name with no Windows-1251 form",
       [](const fs::path& dir) { fs::copy_file(dir / "skin/config.zrp", dir / "skin/漢字.zrp"); },
       {},
       "имя файла '漢字.zrp' нельзя записать в кодировке Windows-1251",
       "skin/漢字.zrp"},
      {"name with a star",
       [](const fs::path& dir) {
         testing::WriteFile(dir / "skin/img/a*b.bmp", "star");
         testing::WriteFile(dir / "skin/mods/btn.zrm", "[STANDARD]\r\nPicture=img\\a*b.bmp\r\n");
       },
       {},
       "имя файла 'img\\a*b.bmp' содержит недопустимый символ '*'"},
      {"destination folder does not exist",
       nullptr,
       {},
       "не удалось создать пакет '@': нет такого файла или папки",
       "skin/config.zrp",
       "missing/skin.zrk"},
      {"destination is a folder",
       [](const fs::path& dir) { fs::create_directories(dir / "out/dir.zrk"); },
       {},
       "не удалось сохранить пакет '@': это папка",
       "skin/config.zrp",
       "out/dir.zrk"},
  };
  for (const BuildFault& fault : faults) ExpectBuildFails(fault);
}

// The size limit must stop the build before anything is written. The file is sparse; should the
// limit fail, zrk's file size limit stops the copy long before the disk fills.
TEST(ZrkFault, SourceOfTwoGibibytesIsRefusedBeforeWriting) {
  constexpr std::uintmax_t kHuge = std::uintmax_t{1} << 31;
  struct statvfs disk;
  ASSERT_EQ(0, ::statvfs(fs::temp_directory_path().c_str(), &disk));
  if (std::uintmax_t{disk.f_bavail} * disk.f_frsize < 2 * kHuge) {
    GTEST_SKIP() << "less than 4 GiB free in " << fs::temp_directory_path()
                 << ", too little should the file system not keep a 2 GiB file sparse";
  }
  ExpectBuildFails({"2^31 bytes",
                    [=](const fs::path& dir) {
                      testing::WriteFile(dir / "skin/img/huge.bin", "");
                      fs::resize_file(dir / "skin/img/huge.bin", kHuge);
                      testing::WriteFile(dir / "skin/mods/btn.zrm",
                                         "[STANDARD]\r\nPicture=img\\huge.bin\r\n");
                    },
                    {{}, 16 * 1024 * 1024, {}},
                    "файл 'img\\huge.bin' слишком велик для пакета: 2147483648 байт, допустимо "
                    "не больше 2147483647"});
}

// A project or module file that is not what a skin author writes, and what zrk must make of it.
struct BadInput {
  const char* label;
  std::function<void(const fs::path& dir)> arrange;
  int exit_code;
  std::string shown;  // exit 0: the package's listing; otherwise a line of the report
  std::string project = "skin/config.zrp";
};

TEST(ZrkFault, BadProjectAndModuleFilesGiveASaneReport) {
  const std::string ten_mb(10 << 20, 'x');
  const BadInput inputs[] = {
      {"project of binary garbage",
       [](const fs::path& dir) { testing::WriteFile(dir / "skin/config.zrp", Garbage(8192)); }, 0,
       "8192\tconfig.zrp\n"},
      {"module of binary garbage",
       [](const fs::path& dir) { testing::WriteFile(dir / "skin/mods/btn.zrm", Garbage(8192)); }, 0,
       "33\tconfig.zrp\n8192\tmods\\btn.zrm\n"},
      {"value on a 10 MB line",
       [&](const fs::path& dir) {
         testing::WriteFile(dir / "skin/config.zrp",
                            "[MODULES]\r\nPicture=mods\\btn.zrm\r\nFont=" + ten_mb);
       },
       1, "\n" + std::string(1022, 'x') + "  [err]\n"},
      {"NUL byte in a name",
       [](const fs::path& dir) {
         testing::WriteFile(dir / "skin/mods/btn.zrm", "[STANDARD]\r\nPicture=img\\a.bmp\0.x\r\n"s);
       },
       1, "img\\a.bmp\0.x  [err]\n"s},
      {"UTF-16 project with a byte order mark",
       [](const fs::path& dir) {
         testing::WriteFile(dir / "skin/config.zrp",
                            "\xFF\xFE" + Utf16Le("[MODULES]\r\nPicture=mods\\btn.zrm\r\n"));
       },
       0, "68\tconfig.zrp\n60\tmods\\btn.zrm\n4\timg\\a.bmp\n70000\timg\\b.bmp\n"},
      {"module file that is a folder",
       [](const fs::path& dir) {
         testing::WriteFile(dir / "skin/config.zrp", "[MODULES]\r\nPicture=mods\r\n");
       },
       1, "\nmods  [err]\n"},
      {"project that names itself as a module",
       [](const fs::path& dir) {
         testing::WriteFile(dir / "skin/config.zrp",
                            "[MODULES]\r\nPicture=config.zrp\r\n[STANDARD]\r\nMask=img\\a.bmp\r\n");
       },
       0, "59\tconfig.zrp\n4\timg\\a.bmp\n"},
  };
  for (const BadInput& input : inputs) {
    SCOPED_TRACE(input.label);
    testing::TempDir temp;
    const fs::path& dir = temp.path();
    WriteSkin(dir);
    fs::create_directories(dir / "out");
    if (input.arrange) input.arrange(dir);
    const RunResult run = RunZrk({"build", input.project, "-o", "out/skin.zrk"}, dir);
    EXPECT_EQ(input.exit_code, run.exit_code) << "signal " << run.signal << "\n" << run.err;
    if (input.exit_code == 0) {
      EXPECT_EQ(input.shown, RunZrk({"list", "out/skin.zrk"}, dir).out);
      EXPECT_EQ(std::set<std::string>{"skin.zrk"}, Tree(dir / "out"));
    } else {
      EXPECT_TRUE(Contains(run.out, input.shown)) << run.out.substr(0, 2000);
      EXPECT_TRUE(Contains(run.err, "ВНИМАНИЕ")) << run.err;
      EXPECT_EQ(std::set<std::string>{}, Tree(dir / "out"));
    }
  }
}

// A package made to write outside the folder it is extracted into, or to make zrk trust a size
// or a header it cannot have.
struct HostilePackage {
  const char* label;
  std::string bytes;
  std::vector<std::string> messages;  // each must be on stderr
  std::set<std::string> extracted;    // what the target folder holds afterwards
};

TEST(ZrkFault, HostilePackagesWriteNothingOutsideTheTarget) {
  testing::TempDir temp;
  const fs::path& dir = temp.path();
  const std::string magic = "ZRK4000029";
  const std::string absolute = (dir / "abs.txt").string();
  const HostilePackage packages[] = {
      {"names that climb out",
       magic + PackageEntryBytes("..\\..\\x", "1") + PackageEntryBytes("a/../../../x", "2") +
           PackageEntryBytes("ok.txt", "ok"),
       {"'..\\..\\x' нельзя извлечь: часть пути '..'",
        "'a/../../../x' нельзя извлечь: часть пути '..'"},
       {}},  // checked whole before anything is written
      {"absolute names",
       magic + PackageEntryBytes(absolute, "1") + PackageEntryBytes("\\abs.txt", "2"),
       {"'" + absolute + "' нельзя извлечь: путь абсолютный",
        "'\\abs.txt' нельзя извлечь: путь абсолютный"},
       {}},
      {"drive letters",
       magic + PackageEntryBytes("C:\\x.txt", "1") + PackageEntryBytes("c:x.txt", "2"),
       {"'C:\\x.txt' нельзя извлечь: путь начинается с буквы диска",
        "'c:x.txt' нельзя извлечь: путь начинается с буквы диска"},
       {}},
      {"truncated entry",
       magic + PackageEntryBytes("ok.txt", "ok") + "<new_file=cut.txt*10>abc",
       {"повреждён: смещение 52: данные файла 'cut.txt' обрываются: нужно 10 байт, до конца "
        "файла 3"},
       {}},
      {"size of 99999999999",
       magic + "<new_file=x*99999999999>" + std::string(64, 'd'),
       {"повреждён: смещение 22: размер файла больше 2147483647"},
       {}},
  };
  for (const HostilePackage& package : packages) {
    SCOPED_TRACE(package.label);
    fs::remove_all(dir / "a");
    fs::create_directories(dir / "a/b/target");
    testing::WriteFile(dir / "evil.zrk", package.bytes);
    const std::set<std::string> before = Tree(dir, "a/b/target");

    const RunResult run = RunZrk({"extract", "evil.zrk", "-C", "a/b/target"}, dir);
    EXPECT_EQ(3, run.exit_code) << "signal " << run.signal << "\n" << run.err;
    for (const std::string& message : package.messages) {
      EXPECT_TRUE(Contains(run.err, message)) << run.err;
    }
    EXPECT_EQ(before, Tree(dir, "a/b/target"));
    EXPECT_EQ(package.extracted, Tree(dir / "a/b/target"));
  }
}

}  // namespace
}  // namespace zrk

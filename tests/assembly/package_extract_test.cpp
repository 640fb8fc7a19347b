// Tests of extraction: entry names as paths below the target folder, and ExtractPackage writing
// all or nothing beneath the opened folder, driven into conflicts and faults.
#include "assembly/package_extract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include "assembly/extract_path.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using platform::FileHandle;
using Files = std::vector<std::pair<std::string, std::string>>;

struct NameCase {
  const char* name;
  std::string entry;
  std::string expected;  // the components joined by "/", or why the name is refused
};

// Names that would leave the target folder are refused; the others, as a build writes them, are
// names of folders and a file, "\" separating them.
std::vector<NameCase> NameCases() {
  // clang-format off
  return {{"Cyrillic in a folder", "Images\\Фон.bmp", "Images/Фон.bmp"},
      {"dots inside names", "a..b\\c.d", "a..b/c.d"}, {"leading dot folder", ".\\bg.bmp", "bg.bmp"},
      {"doubled separator", "sub\\\\x.bmp", "sub/x.bmp"}, {"empty", "", "имя пустое"},
      {"absolute", "\\Windows\\a.bmp", "путь абсолютный"}, {"POSIX absolute", "/etc/passwd", "путь абсолютный"},
      {"network", "\\\\server\\share\\a.bmp", "путь абсолютный"},
      {"drive", "C:\\a.bmp", "путь начинается с буквы диска"},
      {"drive relative", "c:a.bmp", "путь начинается с буквы диска"},
      {"parent", "..\\a.bmp", "часть пути '..'"}, {"parent inside", "Images\\..\\..\\a.bmp", "часть пути '..'"},
      {"POSIX parent inside", "Images/../../a.bmp", "часть пути '..'"}, {"dot", ".", "имя не называет файл"},
      {"trailing separator", "Images\\", "имя не называет файл"},
      {"trailing dot", "Images\\.", "имя не называет файл"},
      {"NUL", std::string("a\0b", 3), "имя содержит символ NUL"}};
  // clang-format on
}

using ExtractName = ::testing::TestWithParam<NameCase>;
INSTANTIATE_TEST_SUITE_P(, ExtractName, ::testing::ValuesIn(NameCases()),
                         testing::NameOfRow<NameCase>);

TEST_P(ExtractName, BecomesComponentsOrIsRefused) {
  const NameCase& c = GetParam();
  std::string joined;
  const std::string error = testing::ErrorOf([&] {
    for (const std::string& part : EntryPathComponents(c.entry)) joined += "/" + part;
  });
  const std::string shown = c.entry.find('\0') == std::string::npos ? c.entry : "a\\0b";
  EXPECT_EQ(error.empty() ? c.expected : "имя файла '" + shown + "' нельзя извлечь: " + c.expected,
            error.empty() ? joined.substr(1) : error);
}

// A file operation that fails with error at its nth call, or, with change, does that to the
// test's folder at that call and goes on: "folder" (a folder made), "create", "copy".
struct Fault {
  std::string at;
  int nth = 1;
  std::errc error = {};
  std::function<void(const fs::path&)> change = {};
};

class FaultyFileSystem : public platform::NativeFileSystem {
 public:
  FaultyFileSystem(Fault fault, fs::path dir) : fault_(std::move(fault)), dir_(std::move(dir)) {}

  FileHandle OpenBeneath(FileHandle folder, const std::string& name, bool make, bool& made,
                         std::error_code& ec) override {
    made = false;
    if (make && Fails("folder", ec)) return platform::kNoFile;
    return NativeFileSystem::OpenBeneath(folder, name, make, made, ec);
  }
  std::unique_ptr<platform::NewFile> CreateIn(FileHandle folder, const std::string& name,
                                              std::error_code& ec) override {
    return Fails("create", ec) ? nullptr : NativeFileSystem::CreateIn(folder, name, ec);
  }
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override {
    return Fails("copy", ec) ? 0 : NativeFileSystem::CopyAt(from, offset, to, count, ec);
  }

 private:
  bool Fails(const std::string& operation, std::error_code& ec) {
    if (fault_.at != operation || ++calls_ != fault_.nth) return false;
    if (fault_.change) fault_.change(dir_);
    ec = std::make_error_code(fault_.error);
    return !fault_.change;
  }
  Fault fault_;
  fs::path dir_;
  int calls_ = 0;
};

// What extraction told, a line each: the kind, then the message.
class RecordingReport : public ExtractReport {
 public:
  void Refused(const PackageEntry&, ExtractProblem problem, const std::string& message) override {
    static const char* const kKinds[] = {"unsafe", "conflict", "package", "existing"};
    told += kKinds[static_cast<int>(problem)] + (": " + message) + "\n";
  }
  void Repeated(const PackageEntry&, const std::string& message) override {
    told += "repeated: " + message + "\n";
  }
  std::string told;
};

std::string PackageOf(const Files& entries) {
  std::string package(testing::kPackageMagic);
  for (const auto& [name, data] : entries) {
    package += testing::PackageEntryBytes(testing::Cp1251(name), data);
  }
  return package;
}

// An extraction of p.zrk into t/ of a fresh folder, after before is made there.
struct ExtractCase {
  const char* name;
  Files entries;
  std::vector<std::string> before;  // as testing::Tree lists a folder, and "a => b" a hard link
  std::string told;                 // and "thrown: " what was thrown; "@" is the fresh folder
  std::vector<std::string> after;   // the fresh folder afterwards, p.zrk left out
  bool replace = false;
  Fault fault = {};
};

// A change that moves folder aside, to folder.old, and puts a link to link in its place.
std::function<void(const fs::path&)> SwapForLink(const char* folder, const char* link) {
  return [=](const fs::path& dir) {
    fs::rename(dir / folder, dir / (std::string(folder) + ".old"));
    fs::create_directory_symlink(link, dir / folder);
  };
}

std::vector<ExtractCase> ExtractCases() {
  const std::string long_name(256, 'n'), there = " нельзя извлечь в папку 't': ";
  const Files two = {{"x\\a", "1"}, {"x\\b", "2"}};
  // clang-format off
  return {
      {"file then folder of one name in the package", {{"config.zrp", "p"}, {"x", "1"}, {"x\\y", "2"}, {"z", "3"}},
       {}, "conflict: файл 'x\\y'" + there + "'x' в пакете уже есть как файл, а нужна папка\n", {"t/"}},
      {"folder then file of one name in the package", {{"x\\y", "1"}, {"x", "2"}}, {},
       "conflict: файл 'x'" + there + "'x' в пакете уже есть как папка (файл 'x\\y'), а нужен файл\n", {"t/"}},
      {"file on disk where a folder must go", {{"a", "1"}, {"x\\y\\z", "2"}}, {"t/x: old"},
       "conflict: файл 'x\\y\\z'" + there + "'x' в папке уже есть как файл, а нужна папка\n", {"t/x: old"}},
      {"folder on disk where a file must go", {{"a", "1"}, {"x\\y", "2"}}, {"t/x/y/"},
       "conflict: файл 'x\\y'" + there + "'x\\y' в папке уже есть как папка, а нужен файл\n", {"t/x/y/"}},
      {"name over 255 bytes", {{"a", "1"}, {"d\\" + long_name, "2"}}, {},
       "conflict: файл 'd\\" + long_name + "'" + there + "'d\\" + long_name + "': слишком длинное имя\n", {"t/"}},
      {"link planted in the target", {{"a", "1"}, {"Linked\\b", "2"}}, {"outside/", "t/Linked -> ../outside"},
       "conflict: файл 'Linked\\b'" + there + "'Linked' в папке — символическая ссылка, по ней файлы не "
       "извлекаются\n", {"outside/", "t/Linked -> ../outside"}},
      {"every problem in package order", {{"..\\x", "1"}, {"x", "2"}, {"x\\y", "3"}, {"C:\\a", "4"}, {"o", "5"}},
       {"t/o: old"}, "unsafe: имя файла '..\\x' нельзя извлечь: часть пути '..'\n"
       "conflict: файл 'x\\y'" + there + "'x' в пакете уже есть как файл, а нужна папка\n"
       "unsafe: имя файла 'C:\\a' нельзя извлечь: путь начинается с буквы диска\n"
       "existing: файл 'o' уже есть в папке 't' и не будет заменён\n", {"t/o: old"}},
      {"existing files kept", {{"a", "new"}, {"x\\b", "new"}, {"c", "new"}}, {"t/a: old", "t/x/b: old"},
       "existing: файл 'a' уже есть в папке 't' и не будет заменён\n"
       "existing: файл 'x\\b' уже есть в папке 't' и не будет заменён\n", {"t/a: old", "t/x/b: old"}},
      {"the package itself, even when replacing", {{"a", "1"}, {"p.zrk", "2"}}, {"t/p.zrk => p.zrk"},
       "package: файл 'p.zrk' в папке 't' не будет записан: это читаемый пакет\n",
       {"t/p.zrk: " + PackageOf({{"a", "1"}, {"p.zrk", "2"}})}, true},
      // Dots and doubled separators are dropped; a name that comes again replaces the earlier
      // one; a link at a file's name is replaced itself, never what it points to.
      {"replacing, repeated names, links at file names", {{"config.zrp", "project"},
       {"Images\\Фон.bmp", "picture"}, {"empty.bmp", ""}, {"a\\\\.\\b", "dots"}, {"p.bmp", "1"}, {"p.bmp", "2"}},
       {"t/config.zrp -> ../victim", "victim: keep me", "t/old: x"},
       "repeated: файл 'p.bmp' встречается в пакете ещё раз; последний заменяет предыдущий\n",
       {"t/Images/Фон.bmp: picture", "t/a/b: dots", "t/config.zrp: project", "t/empty.bmp: ", "t/old: x",
        "t/p.bmp: 2", "victim: keep me"}, true},
      // A failure while writing takes back what this extraction made, and only that.
      {"file cannot be created midway", {{"a", "1"}, {"d\\b", "2"}, {"d\\e\\c", "3"}}, {"t/keep: old"},
       "thrown: не удалось создать файл 'd\\e\\c' в папке 't': нет места на диске; ничего не извлечено",
       {"t/keep: old"}, false, {"create", 3, std::errc::no_space_on_device}},
      {"folder cannot be made midway", two, {}, "thrown: не удалось создать файл 'x\\a' в папке 't': нет "
       "доступа; ничего не извлечено", {"t/"}, false, {"folder", 1, std::errc::permission_denied}},
      {"disk full midway after a replace", {{"a", "new"}, {"b", "x"}, {"c", "y"}}, {"t/a: old"},
       "thrown: не удалось извлечь файл 'c' из пакета '@p.zrk': нет места на диске; осталось "
       "извлечённых файлов: 1", {"t/a: new"}, true, {"copy", 3, std::errc::no_space_on_device}},
      // The folders are opened once: what is put in their place meanwhile is never written to.
      {"target swapped for a link while writing", two, {"outside/"}, "",
       {"outside/", "t -> outside", "t.old/x/a: 1", "t.old/x/b: 2"}, false, {"copy", 1, {}, SwapForLink("t", "outside")}},
      {"sub-folder swapped for a link while writing", two, {"outside/"}, "",
       {"outside/", "t/x -> ../outside", "t/x.old/a: 1", "t/x.old/b: 2"}, false,
       {"copy", 1, {}, SwapForLink("t/x", "../outside")}},
  };
  // clang-format on
}

void Make(const fs::path& dir, const std::string& item) {
  const std::size_t link = item.find(" -> "), hard = item.find(" => "), colon = item.find(": ");
  if (link != std::string::npos) {
    fs::create_directories((dir / item.substr(0, link)).parent_path());
    fs::create_directory_symlink(item.substr(link + 4), dir / item.substr(0, link));
  } else if (hard != std::string::npos) {
    fs::create_hard_link(dir / item.substr(hard + 4), dir / item.substr(0, hard));
  } else if (item.ends_with('/')) {
    fs::create_directories(dir / item);
  } else {
    testing::WriteFile(dir / item.substr(0, colon), item.substr(colon + 2));
  }
}

using ExtractPackageTest = ::testing::TestWithParam<ExtractCase>;
INSTANTIATE_TEST_SUITE_P(, ExtractPackageTest, ::testing::ValuesIn(ExtractCases()),
                         testing::NameOfRow<ExtractCase>);

TEST_P(ExtractPackageTest, WritesAllOrNothing) {
  const ExtractCase& c = GetParam();
  const bool links = c.fault.change || std::any_of(c.before.begin(), c.before.end(), [](auto& i) {
                       return i.find(" -> ") != std::string::npos;
                     });
  if (links) ZRK_SKIP_ON_WINDOWS("Wine cannot make symbolic links");
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "p.zrk", PackageOf(c.entries));
  fs::create_directory(dir.path() / "t");
  for (const std::string& item : c.before) Make(dir.path(), item);
  FaultyFileSystem faulty(c.fault, dir.path());
  const PackageReader reader(dir.folder() + "p.zrk", faulty);
  RecordingReport report;
  std::error_code ec;
  const platform::ScopedFile target(faulty, faulty.OpenFolder(dir.folder() + "t", ec));
  ASSERT_FALSE(ec) << ec.message();

  bool done = false;
  const std::string thrown = testing::ErrorOf([&] {
    done = ExtractPackage(reader, {target.get(), {}, "t"}, {.replace_existing = c.replace}, report);
  });
  EXPECT_EQ(std::regex_replace(c.told, std::regex("@"), dir.folder()),
            report.told + (thrown.empty() ? "" : "thrown: " + thrown));
  EXPECT_EQ(c.told.empty() || c.told.starts_with("repeated"), done);
  std::vector<std::string> after = testing::Tree(dir.path());
  std::erase_if(after, [](const std::string& item) { return item.starts_with("p.zrk"); });
  EXPECT_EQ(c.after, after);
}

// Names are looked up beneath the opened folder, never by a full path, which may be longer than
// the system takes: a file there is found, and kept, all the same.
TEST(ExtractPackageBeyondPathMax, FindsTheFileThereAndWritesNothing) {
  ZRK_SKIP_ON_WINDOWS("a path longer than PATH_MAX is a POSIX limit");
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "p.zrk", PackageOf({{"a", "1"}, {"config.zrp", "new"}}));
  platform::NativeFileSystem native;
  std::error_code ec;
  FileHandle folder = native.OpenFolder(dir.folder(), ec);
  for (int depth = 0; depth < 17; ++depth) {  // 17 * 255 bytes: more than PATH_MAX (4096)
    bool made = false;
    const FileHandle next = native.OpenBeneath(folder, std::string(254, 'd'), true, made, ec);
    native.Close(folder, ec);
    folder = next;
  }
  const platform::ScopedFile deep(native, folder);
  const std::unique_ptr<platform::NewFile> old = native.CreateIn(deep.get(), "config.zrp", ec);
  ASSERT_TRUE(old) << ec.message();
  old->Commit(false, ec);

  const PackageReader reader(dir.folder() + "p.zrk");
  RecordingReport report;
  EXPECT_FALSE(ExtractPackage(reader, {deep.get(), {}, "deep"}, {}, report));
  EXPECT_EQ("existing: файл 'config.zrp' уже есть в папке 'deep' и не будет заменён\n",
            report.told);
  EXPECT_EQ(platform::NameKind::kMissing, native.LookBeneath(deep.get(), "a", ec).kind);
  EXPECT_EQ(0, std::system(("rm -rf '" + dir.folder() + std::string(254, 'd') + "'").c_str()));
}

}  // namespace
}  // namespace zrk

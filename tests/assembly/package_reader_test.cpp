// Tests of the package reader: valid packages, a table of broken ones, and copying entry data.
#include "assembly/package_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <tuple>

#include "platform/error.h"
#include "test_util.h"

namespace zrk {
namespace {

using testing::PackageEntryBytes;

const std::string kMagic(testing::kPackageMagic);

using PackageReaderTest = testing::TempDirTest;

using Row = std::tuple<std::string, std::uint32_t, std::uint64_t, std::uint64_t>;

// Name, size, header and data offset of each entry; the last has the longest name allowed.
TEST_F(PackageReaderTest, IndexesNamesSizesAndOffsets) {
  const std::string long_name(4096, 'n');
  const std::string path = Write("a.zrk", kMagic + PackageEntryBytes("config.zrp", "abcde") +
                                              PackageEntryBytes("empty", "") +
                                              PackageEntryBytes("Images\\\xD4\xEE\xED.bmp", "xyz") +
                                              PackageEntryBytes(long_name, "d"));
  std::vector<Row> rows;
  for (const PackageEntry& e : ReadPackageIndex(path)) {
    rows.emplace_back(e.name, e.size, e.header_offset, e.data_offset);
  }
  EXPECT_EQ((std::vector<Row>{{"config.zrp", 5, 10, 33},
                              {"empty", 0, 38, 56},
                              {"Images\\Фон.bmp", 3, 56, 83},
                              {long_name, 1, 86, 4195}}),
            rows);
}

// Headers are fetched in windows; many entries make headers straddle the windows' ends.
TEST_F(PackageReaderTest, IndexesThousandsOfEntries) {
  std::string package = kMagic;
  for (int i = 0; i < 5000; ++i) {
    package += PackageEntryBytes("f" + std::to_string(i) + std::string(i % 7, 'x'),
                                 std::string(i % 13, 'd'));
  }
  const std::vector<PackageEntry> entries = ReadPackageIndex(Write("many.zrk", package));
  ASSERT_EQ(5000u, entries.size());
  for (int i = 0; i < 5000; i += 499) {
    EXPECT_EQ("f" + std::to_string(i) + std::string(i % 7, 'x'), entries[i].name);
    EXPECT_EQ(static_cast<std::uint32_t>(i % 13), entries[i].size);
  }
}

// The message ReadPackageIndex throws for path, or "(accepted)".
std::string IndexError(const std::string& path) {
  try {
    ReadPackageIndex(path);
  } catch (const Error& e) {
    return e.what();
  }
  return "(accepted)";
}

struct CorruptCase {
  const char* label;
  std::string bytes;
  std::uint64_t offset;
  std::string what;
};

TEST_F(PackageReaderTest, RejectsBrokenAndMissingPackages) {
  const std::string ok = PackageEntryBytes("a", "x");  // 15 bytes
  const std::vector<CorruptCase> cases = {
      {"empty file", "", 0, "файл короче сигнатуры ZRK4000029"},
      {"cut magic", "ZRK40", 5, "файл короче сигнатуры ZRK4000029"},
      {"wrong magic", "ZRK4000028" + ok, 9, "нет сигнатуры ZRK4000029"},
      {"magic only", kMagic, 10, "в пакете нет ни одного файла"},
      {"cut header start", kMagic + "<new_fi", 17, "заголовок обрывается в конце файла"},
      {"cut name", kMagic + "<new_file=conf", 24, "заголовок обрывается в конце файла"},
      {"cut size", kMagic + "<new_file=a*12", 24, "заголовок обрывается в конце файла"},
      {"misspelt header", kMagic + "<new_fiLe=a*1>x", 17, "ожидался заголовок \"<new_file=\""},
      {"'>' in name", kMagic + "<new_file=a>b*1>x", 21, "недопустимый символ в имени файла"},
      {"name too long", kMagic + PackageEntryBytes(std::string(4097, 'n'), "x"), 20,
       "имя файла длиннее 4096 байт"},
      {"plus sign", kMagic + "<new_file=a*+1>x", 22, "недопустимый символ в размере файла"},
      {"minus sign", kMagic + "<new_file=a*-1>x", 22, "недопустимый символ в размере файла"},
      {"blank", kMagic + "<new_file=a* 1>x", 22, "недопустимый символ в размере файла"},
      {"hex digit", kMagic + "<new_file=a*1f>x", 23, "недопустимый символ в размере файла"},
      {"no digits", kMagic + "<new_file=a*>", 22, "размер файла не указан"},
      {"leading zero", kMagic + "<new_file=a*01>x", 22, "размер файла начинается с нуля"},
      {"2^31", kMagic + "<new_file=a*2147483648>", 22, "размер файла больше 2147483647"},
      {"eleven digits", kMagic + "<new_file=a*12345678901>", 22, "размер файла больше 2147483647"},
      {"cut data", kMagic + "<new_file=a*5>abc", 24,
       "данные файла 'a' обрываются: нужно 5 байт, до конца файла 3"},
      {"largest size, no data", kMagic + "<new_file=a*2147483647>", 33,
       "данные файла 'a' обрываются: нужно 2147483647 байт, до конца файла 0"},
      {"trailing line end", kMagic + ok + "\r\n", 25, "ожидался заголовок \"<new_file=\""},
      {"cut second header", kMagic + ok + "<new", 29, "заголовок обрывается в конце файла"},
  };
  for (const CorruptCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = Write("bad.zrk", c.bytes);
    EXPECT_EQ(
        "пакет '" + path + "' повреждён: смещение " + std::to_string(c.offset) + ": " + c.what,
        IndexError(path));
  }
  const std::string missing = dir_.folder() + "none.zrk";
  EXPECT_EQ("не удалось открыть пакет '" + missing + "': нет такого файла или папки",
            IndexError(missing));
}

TEST_F(PackageReaderTest, CopiesTheDataOfOneEntry) {
  ZRK_SKIP_ON_WINDOWS("the test hands a POSIX descriptor to the file system as its handle");
  std::string big(300 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  const std::string path =
      Write("a.zrk", kMagic + PackageEntryBytes("one", "1") + PackageEntryBytes("big", big) +
                         PackageEntryBytes("two", "2"));
  PackageReader reader(path);
  ASSERT_EQ(3u, reader.entries().size());

  const std::string out_path = dir_.folder() + "big.out";
  const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_LE(0, out);
  reader.CopyData(reader.entries()[1], out);
  reader.CopyData(reader.entries()[2], out);
  ::close(out);
  EXPECT_TRUE(big + "2" == testing::ReadFile(out_path));
}

}  // namespace
}  // namespace zrk

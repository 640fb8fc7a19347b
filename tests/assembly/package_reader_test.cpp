// Tests of the package reader: the index of a valid package, and a table of broken ones. Reading
// entry data back is tested with extraction.
#include "assembly/package_reader.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_util.h"

namespace zrk {
namespace {

using testing::PackageEntryBytes;

const std::string kMagic(testing::kPackageMagic);

using PackageReaderTest = testing::TempDirTest;

// Name, size, header and data offset of each entry: the longest name allowed, a Cyrillic one,
// and thousands more, which make headers straddle the ends of the windows they are fetched in.
TEST_F(PackageReaderTest, IndexesNamesSizesAndOffsets) {
  using Row = std::tuple<std::string, std::uint32_t, std::uint64_t, std::uint64_t>;
  std::vector<std::tuple<std::string, std::string, std::string>> entries = {
      {"config.zrp", "config.zrp", "abcde"},
      {"empty", "empty", ""},
      {"Images\\\xD4\xEE\xED.bmp", "Images\\Фон.bmp", "xyz"},
      {std::string(4096, 'n'), std::string(4096, 'n'), "d"}};
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "f" + std::to_string(i) + std::string(i % 7, 'x');
    entries.emplace_back(name, name, std::string(i % 13, 'd'));
  }
  std::string package = kMagic;
  std::vector<Row> expected;
  for (const auto& [name_bytes, name, data] : entries) {
    const std::string entry = PackageEntryBytes(name_bytes, data);
    expected.emplace_back(name, data.size(), package.size(),
                          package.size() + entry.size() - data.size());
    package += entry;
  }
  EXPECT_EQ((Row{"config.zrp", 5, 10, 33}), expected[0]);  // the layout the rows rely on
  std::vector<Row> rows;
  for (const PackageEntry& e : ReadPackageIndex(Write("a.zrk", package))) {
    rows.emplace_back(e.name, e.size, e.header_offset, e.data_offset);
  }
  ASSERT_EQ(expected.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(expected[i], rows[i]) << "entry " << i;
}

// A broken package is refused with the offset of its first fault.
struct BrokenPackage {
  const char* name;
  std::string bytes;
  std::uint64_t offset;
  std::string what;
};
std::vector<BrokenPackage> BrokenPackages() {
  const std::string ok = PackageEntryBytes("a", "x");  // 15 bytes
  return {
      {"cut magic", "ZRK40", 5, "файл короче сигнатуры ZRK4000029"},
      {"wrong magic", "ZRK4000028" + ok, 9, "нет сигнатуры ZRK4000029"},
      {"magic only", kMagic, 10, "в пакете нет ни одного файла"},
      {"cut header start", kMagic + "<new_fi", 17, "заголовок обрывается в конце файла"},
      {"cut name", kMagic + "<new_file=conf", 24, "заголовок обрывается в конце файла"},
      {"cut size", kMagic + "<new_file=a*12", 24, "заголовок обрывается в конце файла"},
      {"'>' in name", kMagic + "<new_file=a>b*1>x", 21, "недопустимый символ в имени файла"},
      {"name too long", kMagic + PackageEntryBytes(std::string(4097, 'n'), "x"), 20,
       "имя файла длиннее 4096 байт"},
      {"minus sign", kMagic + "<new_file=a*-1>x", 22, "недопустимый символ в размере файла"},
      {"hex digit", kMagic + "<new_file=a*1f>x", 23, "недопустимый символ в размере файла"},
      {"no digits", kMagic + "<new_file=a*>", 22, "размер файла не указан"},
      // The writer never writes a leading zero, and a size is plain decimal: refused as such.
      {"leading zeros", kMagic + "<new_file=a*00000000001>x", 22, "размер файла начинается с нуля"},
      {"2^31", kMagic + "<new_file=a*2147483648>", 22, "размер файла больше 2147483647"},
      {"eleven digits", kMagic + "<new_file=a*12345678901>", 22, "размер файла больше 2147483647"},
      {"largest size, no data", kMagic + "<new_file=a*2147483647>", 33,
       "данные файла 'a' обрываются: нужно 2147483647 байт, до конца файла 0"},
      {"trailing line end", kMagic + ok + "\r\n", 25, "ожидался заголовок \"<new_file=\""},
  };
}

class BrokenPackageTest : public PackageReaderTest,
                          public ::testing::WithParamInterface<BrokenPackage> {};
INSTANTIATE_TEST_SUITE_P(, BrokenPackageTest, ::testing::ValuesIn(BrokenPackages()),
                         testing::NameOfRow<BrokenPackage>);

TEST_P(BrokenPackageTest, IsRefusedAtItsFirstFault) {
  const BrokenPackage& c = GetParam();
  const std::string path = Write("bad.zrk", c.bytes);
  EXPECT_EQ("пакет '" + path + "' повреждён: смещение " + std::to_string(c.offset) + ": " + c.what,
            testing::ErrorOf([&] { ReadPackageIndex(path); }));
}

TEST_F(PackageReaderTest, RejectsAMissingPackage) {
  const std::string missing = dir_.folder() + "none.zrk";
  EXPECT_EQ("не удалось открыть пакет '" + missing + "': нет такого файла или папки",
            testing::ErrorOf([&] { ReadPackageIndex(missing); }));
}

}  // namespace
}  // namespace zrk

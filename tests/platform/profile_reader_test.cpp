// Tests of the INI profile reader: the profile API's answers on the worked cases, from bytes and
// from files, and files that are unusable or larger than the reader's read buffer.
#include "platform/profile_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/profile_cases.h"
#include "test_util.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zrk::platform {
namespace {

using zrk::testing::Cp1251;
using zrk::testing::ProfileCase;
using zrk::testing::Utf16File;

class ProfileReaderTest : public zrk::testing::TempDirTest {};
class ProfileCaseTest : public ProfileReaderTest,
                        public ::testing::WithParamInterface<ProfileCase> {};
INSTANTIATE_TEST_SUITE_P(, ProfileCaseTest, ::testing::ValuesIn(zrk::testing::ProfileCases()),
                         zrk::testing::NameOfRow<ProfileCase>);

TEST_P(ProfileCaseTest, GivesTheProfileApisAnswers) {
  const ProfileCase& c = GetParam();
  const std::string path = dir_.folder() + "case.ini";
  if (c.file) {
    zrk::testing::WriteFile(path, *c.file);
    EXPECT_EQ(c.expected, Profile::Parse(*c.file).Value(c.section, c.key));
  }
  EXPECT_EQ(c.expected, Profile::Load(path).Value(c.section, c.key));
}

TEST(ProfileFoldCase, FoldsAsciiAndCyrillicOnly) {
  EXPECT_EQ(Cp1251("picture800 абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђѓљњќћџўјґєїіѕ []_=;№€«»"),
            FoldCaseCp1251(
                Cp1251("PiCTURE800 АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЃЉЊЌЋЏЎЈҐЄЇІЅ []_=;№€«»")));
}

// Whatever cannot be read as a file reads as empty; a pipe must not block.
TEST_F(ProfileReaderTest, UnusableFilesAreEmpty) {
  const std::string ini = "[STANDARD]\r\nPicture=a.bmp\r\n";
  Write("skin.zrm/inner.txt", ini);
  std::vector<std::string> paths = {dir_.folder() + "no-folder/x.zrm", "",
                                    dir_.folder() + "skin.zrm"};
#ifndef _WIN32
  ASSERT_EQ(0, ::mkfifo((dir_.folder() + "pipe.zrm").c_str(), 0600));
  paths.push_back(dir_.folder() + "pipe.zrm");
  paths.push_back(Write("locked.zrm", ini));
  ASSERT_EQ(0, ::chmod(paths.back().c_str(), 0));
  if (std::ifstream(paths.back())) paths.pop_back();  // the user reads past permissions
#endif
  for (const std::string& path : paths) {
    EXPECT_EQ("", Profile::Load(path).Value("STANDARD", "Picture")) << path;
  }
}

// Files larger than the reader's read buffer give what Parse gives on the same bytes, wherever
// a read boundary falls (inside a line, a CR LF, or a UTF-16 surrogate pair). Entry i of the
// files below is key Ki of section Ei/97.
void ExpectLoadReadsLikeParse(const std::string& path, const std::string& bytes, int entries) {
  ASSERT_GT(bytes.size(), 200u * 1024u);
  zrk::testing::WriteFile(path, bytes);
  const Profile parsed = Profile::Parse(bytes), loaded = Profile::Load(path);
  for (int i = 0; i < entries; ++i) {
    const std::string section = "E" + std::to_string(i / 97), key = "K" + std::to_string(i);
    ASSERT_NE("", parsed.Value(section, key)) << key;
    ASSERT_EQ(parsed.Value(section, key), loaded.Value(section, key)) << key;
  }
}

TEST_F(ProfileReaderTest, LargeFileReadsLikeParse) {
  constexpr int kEntries = 6000;
  std::string text;  // UTF-8 bytes, read as Windows-1251
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    text += (i % 97 == 0 ? "[E" + std::to_string(i / 97) + "]\r;c\n" : "") + "K" + n + " = \"v" +
            n + std::string(i % 7, ' ') + "😀ы😀x😀😀\" \r\n";
  }
  for (int pad = 0; pad < 3; ++pad) {
    SCOPED_TRACE(pad);
    ExpectLoadReadsLikeParse(dir_.folder() + "ansi.zrm", std::string(pad, ' ') + text, kEntries);
  }
}

// A UTF-16LE file cut into blocks of 4 KiB, so that a read buffer of any whole number of 4 KiB
// ends between blocks. Each block ends with the start of a value, "x" and two units, and the next
// block starts with a low surrogate, giving a pair or a lone surrogate across the boundary.
TEST_F(ProfileReaderTest, SurrogatesAtReadBoundariesReadLikeParse) {
  constexpr int kBlocks = 60;
  constexpr std::size_t kBlockUnits = 2048;
  constexpr char16_t kHigh = 0xD800, kLow = 0xDC00;
  const std::u16string endings[] = {{kHigh, kHigh}, {u'a', kHigh}, {kLow, kHigh}};
  std::u16string units;
  auto add = [&units](std::string_view ascii) { units.append(ascii.begin(), ascii.end()); };
  for (int m = 0; m < kBlocks; ++m) {
    if (m > 0) units += kLow;
    add(m == 0 ? "[E0]\r\n;" : "\r\n;");
    const std::string entry = "\r\nK" + std::to_string(m) + "=x";
    const std::size_t end = (m + 1) * kBlockUnits - 1;  // the mark takes one unit before
    units.append(end - units.size() - entry.size() - 2, u'f');
    add(entry);
    units += endings[m % 3];
  }
  units += kLow;
  add("\r\n");
  const std::string bytes = Utf16File(units);
  ASSERT_EQ(0u, (bytes.size() - 4 - 2) % (2 * kBlockUnits));
  ExpectLoadReadsLikeParse(dir_.folder() + "utf16.zrm", bytes, kBlocks);
  EXPECT_EQ("x??", Profile::Parse(bytes).Value("E0", "K0"));
  EXPECT_EQ("xa?", Profile::Parse(bytes).Value("E0", "K1"));
}

}  // namespace
}  // namespace zrk::platform

// Tests of the INI profile reader: how the Windows profile API answers worked cases, file loading
// and robustness against files that are not INI text at all.
#include "platform/profile_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "test_util.h"

namespace zrk::platform {
namespace {

using namespace std::string_literals;
using zrk::testing::Cp1251;

// A UTF-16LE file: the mark FF FE, then the units.
std::string Utf16LeFile(std::u16string_view units) {
  std::string out = "\xFF\xFE";
  for (const char16_t unit : units) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

// What the platform profile API answers for key in section of a file of content.
struct WorkedCase {
  std::string name;
  std::string content;
  std::string expected;
  std::string section = "STANDARD";
  std::string key = "Picture";
};

void PrintTo(const WorkedCase& c, std::ostream* os) { *os << c.name; }

std::vector<WorkedCase> WorkedCases() {
  const std::string s = "[STANDARD]\r\n", fx = "[EFFECTS]\r\nFrames=", e = "EFFECTS", f = "Frames";
  const std::string k1022(1022, 'x'), k5000(5000, 'z'), bom8 = "\xEF\xBB\xBF";
  const std::string mouseup = "[MOUSEUP]\r\nMask=u.bmp\r\n";
  std::string utf16be = "\xFE\xFF";
  for (const char c : s + "Picture=a.bmp\r\n") utf16be += {'\0', c};
  // Case 1 (no such file) is a Load test below.
  // clang-format off
  return {
    {"c02_MissingSection", s + "Picture=a.bmp\r\n", "", "MOUSEUP"},
    {"c03_EmptyValue", s + "Picture=\r\n", ""},
    {"c04_EntriesBeforeFirstHeaderUnreadable", "Picture=g.bmp\r\n" + s + "Mask=m.bmp\r\n", ""},
    {"c05_LetterCaseIgnored", "[standard]\r\nPICTURE=a.bmp\r\n", "a.bmp"},
    {"c06_BlanksTrimmed", "  [ STANDARD\t]  \r\n  Picture \t=\t a b.bmp \t\r\n", "a b.bmp"},
    {"c07_TextAfterHeaderIgnored", "[STANDARD] ; normal state\r\nPicture=a.bmp\r\n", "a.bmp"},
    {"c08_EntryAfterHeaderOnSameLineIgnored", "[STANDARD]Picture=a.bmp\r\n", ""},
    {"c09_NameEndsAtFirstBracket", "[STANDARD]]\r\nPicture=a.bmp\r\n", "a.bmp"},
    {"c10_MissingBracketAllowed", "[STANDARD   \r\nPicture=a.bmp\r\n", "a.bmp"},
    {"c11_OpeningBracketInName", "[[STANDARD]\r\nPicture=a.bmp\r\n", ""},
    {"c12_NoOpeningBracketNoHeader", "STANDARD]\r\nPicture=a.bmp\r\n", ""},
    {"c13_WholeKeyMatchOnly", s + "Picture800=b.bmp\r\nMyPicture=c.bmp\r\n", ""},
    {"c14_CallersTrailingSpaceDropped", "[MODULES]\r\nPicture800=p.zrm\r\n", "p.zrm", "MODULES",
     "Picture800 "},
    {"c15_CallersTrailingTabKept", "[MODULES]\r\nPicture800=p.zrm\r\n", "", "MODULES",
     "Picture800\t"},
    {"c16_SplitAtFirstEquals", s + "Picture=a=b.bmp\r\n", "a=b.bmp"},
    {"c17_BackslashesKept", s + "Picture=skin\\pics\\ok.bmp\r\n", "skin\\pics\\ok.bmp"},
    {"c18_ListKeptExactly", fx + "a.bmp; b.bmp ;c.bmp;\r\n", "a.bmp; b.bmp ;c.bmp;", e, f},
    {"c19_NoInlineComment", s + "Picture=a.bmp   ;old.bmp\r\n", "a.bmp   ;old.bmp"},
    {"c20_SemicolonStartingValue", fx + ";a.bmp\r\n", ";a.bmp", e, f},
    {"c21_CommentLines", s + ";Picture=old.bmp\r\n  ;x\r\nPicture=new.bmp\r\n", "new.bmp"},
    {"c22_CommentedHeader", s + "Picture=a.bmp\r\n;[MOUSEUP]\r\nMask=m.bmp\r\n", "m.bmp",
     "STANDARD", "Mask"},
    {"c23_HashIsOrdinary", s + "Picture=a.bmp # old\r\n", "a.bmp # old"},
    {"c24_DoubleQuotesDropped", s + "Picture=\"a.bmp\"\r\n", "a.bmp"},
    {"c25_SingleQuotesDropped", s + "Picture = 'a.bmp'  \r\n", "a.bmp"},
    {"c26_BlanksInsideQuotesKept", s + "Picture=  \"  a.bmp  \"  \r\n", "  a.bmp  "},
    {"c27_QuotesDroppedOnce", s + "Picture=\"\"a.bmp\"\"\r\n", "\"a.bmp\""},
    {"c28_InnerOtherQuotesKept", s + "Picture=\"'a.bmp'\"\r\n", "'a.bmp'"},
    {"c29_UnmatchedQuotesKept", s + "Picture=\"a.bmp'\r\n", "\"a.bmp'"},
    {"c30_QuoteNotAtEndKept", s + "Picture=\"a.bmp\" ;old\r\n", "\"a.bmp\" ;old"},
    {"c31_QuotedList", fx + "\"a.bmp;b.bmp\"\r\n", "a.bmp;b.bmp", e, f},
    {"c32_FirstKeyWins", s + "Picture=one.bmp\r\npicture=two.bmp\r\n", "one.bmp"},
    {"c33_FirstKeyWinsEvenWhenEmpty", s + "Picture=\r\nPicture=two.bmp\r\n", ""},
    {"c34_FirstSectionWins", s + "Picture=1.bmp\r\n" + mouseup + s + "Picture=2.bmp\r\n", "1.bmp"},
    {"c35_RepeatedSectionNeverSearched", s + "Mask=m.bmp\r\n[standard]\r\nPicture=2.bmp\r\n", ""},
    {"c36_LfLineEnds", "[STANDARD]\nPicture=a.bmp\n", "a.bmp"},
    {"c37_CrLineEnds", "[STANDARD]\rMask=m.bmp\rPicture=\"a.bmp\"\r", "a.bmp"},
    {"c38_MixedLineEnds", s + "Mask=m.bmp\rPicture=p.bmp\nFont=f\r\r\nFrames=x.bmp", "x.bmp",
     "STANDARD", f},
    {"c39_VerticalTabIsBlank", s + "Picture=\va.bmp \t \r\n", "a.bmp"},
    {"c40_LongestValueWhole", fx + k1022 + "\r\n", k1022, e, f},
    {"c41_OneByteTooLongCut", fx + k1022 + "y\r\n", k1022, e, f},
    {"c42_LongValueCut", fx + k5000 + "\r\n", k5000.substr(0, 1022), e, f},
    {"c43_TrimmedBlanksNotCounted", fx + "      " + k1022 + "\r\n", k1022, e, f},
    {"c44_Cp1251BytesKept", s + "Picture=\xF2\xE5\xF1\xF2.bmp\r\n", Cp1251("тест.bmp")},
    {"c45_Utf16LeWithMark", Utf16LeFile(u"[STANDARD]\r\nPicture=тест.bmp\r\n"), Cp1251("тест.bmp")},
    {"c46_Utf16BeNotRecognised", utf16be, ""},
    {"c47_Utf8MarkSpoilsFirstHeader", bom8 + s + "Picture=a.bmp\r\n" + mouseup, ""},
    {"c48_Utf8MarkLaterHeadersWork", bom8 + s + "Picture=a.bmp\r\n" + mouseup, "u.bmp", "MOUSEUP",
     "Mask"},
    {"c49_Utf8MarkOnItsOwnLine", bom8 + "\r\n" + s + "Picture=a.bmp\r\n", "a.bmp"},
    {"c50_Utf8ReadAsCp1251", s + "Picture=тест.bmp\r\n", Cp1251("С‚РµСЃС‚.bmp")},
  };
  // clang-format on
}

class ProfileWorkedCaseTest : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(ProfileWorkedCaseTest, GivesWindowsAnswer) {
  const WorkedCase& c = GetParam();
  EXPECT_EQ(c.expected, Profile::Parse(c.content).Value(c.section, c.key));
}

INSTANTIATE_TEST_SUITE_P(ProfileReader, ProfileWorkedCaseTest, ::testing::ValuesIn(WorkedCases()),
                         [](const auto& info) { return info.param.name; });

// Cases Windows' behaviour leaves open, decided here, and edges beyond it: NUL bytes are ordinary
// and megabyte lines read.
TEST(ProfileParse, DecidedAndEdgeCases) {
  const std::string cut_quoted = std::string(1022, 'a') + "bc";
  const std::string quote_inside = "\"" + std::string(1021, 'a') + "\"" + std::string(100, 'b');
  const std::string nul = "[STANDARD]\r\nPic\0ture=a\0b\r\nPicture=ok.bmp\0\r\n[\0]\r\nMask=n\r\n"s;
  const std::string v(1 << 20, 'v'), n(1 << 20, 'N'), blanks(1 << 20, ' ');
  const std::string longest(kMaxProfileName, 'L');
  const std::string huge = "[EFFECTS]\r\nFrames=" + v + "\r\n" + n + "=x\r\n" + longest +
                           "=y\r\nMask" + blanks + "=z\r\n[" + n + "\r\nMask=m\r\n";
  const std::vector<WorkedCase> cases = {
      // The first matching entry wins even when it has no "=".
      {"bare key line hides a later value", "[STANDARD]\r\nPicture\r\nPicture=b.bmp\r\n", ""},
      // Quotes come off the whole value before it is cut.
      {"quotes stripped before the cut", "[EFFECTS]\r\nFrames=\"" + cut_quoted + "\"\r\n",
       cut_quoted.substr(0, 1022), "EFFECTS", "Frames"},
      {"inner quote of a quoted value", "[EFFECTS]\r\nMask='x'y'\r\n", "x'y", "EFFECTS", "Mask"},
      // The 1023rd byte is a quote but the last is not: nothing to strip.
      {"quote check sees the whole value", "[EFFECTS]\r\nFrames=" + quote_inside + "\r\n",
       quote_inside.substr(0, 1022), "EFFECTS", "Frames"},
      {"Cyrillic names match ignoring case", Cp1251("[Модули]\r\nКартинкаЁ=к.bmp\r\n"),
       Cp1251("к.bmp"), Cp1251("МОДУЛИ"), Cp1251("картинкаё")},
      {"caller's leading spaces dropped", "[STANDARD]\r\nPicture=a.bmp\r\n", "a.bmp", "  STANDARD ",
       " Picture"},
      {"empty input", "", ""},
      {"UTF-16 mark alone", "\xFF\xFE", ""},
      {"NUL in a value", nul, "ok.bmp\0"s},
      {"NUL in a key", nul, "a\0b"s, "STANDARD", "Pic\0ture"s},
      {"NUL as a section name", nul, "n", "\0"s, "Mask"},
      {"megabyte value", huge, v.substr(0, 1022), "EFFECTS", "Frames"},
      // Names past kMaxProfileName are not kept: memory stays bounded, and no caller asks for one.
      {"megabyte key", huge, "", "EFFECTS", n},
      {"longest key kept", huge, "y", "EFFECTS", longest},
      {"megabyte of blanks after a key", huge, "z", "EFFECTS", "Mask"},
      {"megabyte section name", huge, "", n, "Mask"},
      {"megabyte line alone", v, "", "EFFECTS", "Frames"},
  };
  for (const WorkedCase& c : cases) {
    EXPECT_EQ(c.expected, Profile::Parse(c.content).Value(c.section, c.key)) << c.name;
  }
}

TEST(ProfileFoldCase, FoldsAsciiAndCyrillicOnly) {
  EXPECT_EQ("picture800", FoldCaseCp1251("PiCTURE800"));
  EXPECT_EQ(Cp1251("абвгдеёжзийклмнопрстуфхцчшщъыьэюя"),
            FoldCaseCp1251(Cp1251("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")));
  EXPECT_EQ(Cp1251("ђѓљњќћџўјґєїіѕ"), FoldCaseCp1251(Cp1251("ЂЃЉЊЌЋЏЎЈҐЄЇІЅ")));
  EXPECT_EQ(Cp1251("[]_=;№ €«»"), FoldCaseCp1251(Cp1251("[]_=;№ €«»")));
}

class ProfileLoadTest : public zrk::testing::TempDirTest {};

TEST_F(ProfileLoadTest, UnusableFilesAreEmpty) {
  Write("skin.zrm/inner.txt", "[STANDARD]\r\nPicture=a.bmp\r\n");
  ASSERT_EQ(0, ::mkfifo((dir_.folder() + "pipe.zrm").c_str(), 0600));  // must not block
  for (const std::string& path :
       {dir_.folder() + "no-such.zrm", dir_.folder() + "no-folder/x.zrm", std::string(),
        dir_.folder() + "skin.zrm", dir_.folder() + "pipe.zrm"}) {
    EXPECT_EQ("", Profile::Load(path).Value("STANDARD", "Picture")) << path;
  }
}

TEST_F(ProfileLoadTest, ReadsAnsiAndUtf16LeFiles) {
  const auto path = Write("skin/" + Cp1251("модуль") + ".zrm",
                          "[STANDARD]\r\nPicture=a.bmp\r\n[EFFECTS]\r\nFrames='a.bmp;b.bmp'");
  EXPECT_EQ("a.bmp", Profile::Load(path).Value("STANDARD", "Picture"));
  EXPECT_EQ("a.bmp;b.bmp", Profile::Load(path).Value("EFFECTS", "Frames"));
  const auto utf16 = Write("m.zrm", Utf16LeFile(u"[STANDARD]\r\nPicture=тест.bmp"));
  EXPECT_EQ(Cp1251("тест.bmp"), Profile::Load(utf16).Value("STANDARD", "Picture"));
}

TEST_F(ProfileLoadTest, UnreadableFileIsEmpty) {
  const auto path = Write("locked.zrm", "[STANDARD]\r\nPicture=a.bmp\r\n");
  ASSERT_EQ(0, ::chmod(path.c_str(), 0));
  if (std::ifstream(path)) GTEST_SKIP() << "permissions are not enforced for this user";
  EXPECT_EQ("", Profile::Load(path).Value("STANDARD", "Picture"));
}

// Files larger than the reader's read buffer give what Parse gives on the same bytes, wherever
// a read boundary falls (inside a line, a CR LF, or a UTF-16 surrogate pair). Entry i of the
// files below is key Ki of section Ei/97.
void ExpectLoadReadsLikeParse(const std::string& path, const std::string& bytes, int entries) {
  ASSERT_GT(bytes.size(), 200u * 1024u);
  zrk::testing::WriteFile(path, bytes);
  const auto parsed = Profile::Parse(bytes);
  const auto loaded = Profile::Load(path);
  for (int i = 0; i < entries; ++i) {
    const std::string section = "E" + std::to_string(i / 97);
    const std::string key = "K" + std::to_string(i);
    const std::string value = parsed.Value(section, key);
    ASSERT_NE("", value) << key;
    ASSERT_EQ(value, loaded.Value(section, key)) << key;
  }
}

TEST_F(ProfileLoadTest, LargeFilesReadLikeParse) {
  constexpr int kEntries = 6000;
  std::string text;       // UTF-8 bytes, read as Windows-1251
  std::u16string text16;  // the same characters in UTF-16
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    const std::string head = (i % 97 == 0 ? "[E" + std::to_string(i / 97) + "]\r;c\n" : "") + "K" +
                             n + " = \"v" + n + std::string(i % 7, ' ');
    text += head + "😀ы😀x😀😀\" \r\n";
    text16 += std::u16string(head.begin(), head.end()) + u"😀ы😀x😀😀\" \r\n";
  }
  for (int pad = 0; pad < 3; ++pad) {
    SCOPED_TRACE(pad);
    ExpectLoadReadsLikeParse(dir_.folder() + "ansi.zrm", std::string(pad, ' ') + text, kEntries);
    ExpectLoadReadsLikeParse(dir_.folder() + "utf16.zrm",
                             Utf16LeFile(std::u16string(pad, u' ') + text16), kEntries);
  }
}

// A UTF-16LE file cut into blocks of 4 KiB, so that a read buffer of any whole number of 4 KiB
// ends between blocks. Each block ends with the start of a value, "x" and two units, and the next
// block starts with a low surrogate, giving a pair or a lone surrogate across the boundary.
TEST_F(ProfileLoadTest, SurrogatesAtReadBoundariesReadLikeParse) {
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
  const std::string bytes = Utf16LeFile(units);
  ASSERT_EQ(0u, (bytes.size() - 4 - 2) % (2 * kBlockUnits));
  ExpectLoadReadsLikeParse(dir_.folder() + "utf16.zrm", bytes, kBlocks);
  EXPECT_EQ("x??", Profile::Parse(bytes).Value("E0", "K0"));
  EXPECT_EQ("xa?", Profile::Parse(bytes).Value("E0", "K1"));
}

}  // namespace
}  // namespace zrk::platform

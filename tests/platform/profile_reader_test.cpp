// Tests of the INI profile reader: the worked cases of reference/profile-reader.md, file loading
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

// UTF-16LE bytes of UTF-8 text (any Unicode character; the text must be valid UTF-8).
std::string Utf16Le(std::string_view utf8) {
  std::string out;
  auto put = [&out](char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

// UTF-16BE bytes of ASCII text.
std::string Utf16BeAscii(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) {
    out += '\0';
    out += c;
  }
  return out;
}

// Deterministic bytes of every value, for files that are not text.
std::string Garbage(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

// One worked case of how the platform profile API answers.
struct SheetCase {
  std::string name;
  std::string content;
  std::string section;
  std::string key;
  std::string expected;
};

void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.name; }

std::vector<SheetCase> SheetCases() {
  const std::string k1022(1022, 'x');
  const std::string k1023 = std::string(1022, 'x') + "y";
  const std::string k5000(5000, 'z');
  // Case 1 (no such file) is a Load test below.
  return {
      {"c02_MissingSection", "[STANDARD]\r\nPicture=a.bmp\r\n", "MOUSEUP", "Picture", ""},
      {"c03_EmptyValue", "[STANDARD]\r\nPicture=\r\n", "STANDARD", "Picture", ""},
      {"c04_EntriesBeforeFirstHeaderUnreadable", "Picture=g.bmp\r\n[STANDARD]\r\nMask=m.bmp\r\n",
       "STANDARD", "Picture", ""},
      {"c05_LetterCaseIgnored", "[standard]\r\nPICTURE=a.bmp\r\n", "STANDARD", "Picture", "a.bmp"},
      {"c06_BlanksTrimmed", "  [ STANDARD\t]  \r\n  Picture \t=\t a b.bmp \t\r\n", "STANDARD",
       "Picture", "a b.bmp"},
      {"c07_TextAfterHeaderIgnored", "[STANDARD] ; normal state\r\nPicture=a.bmp\r\n", "STANDARD",
       "Picture", "a.bmp"},
      {"c08_EntryAfterHeaderOnSameLineIgnored", "[STANDARD]Picture=a.bmp\r\n", "STANDARD",
       "Picture", ""},
      {"c09_NameEndsAtFirstBracket", "[STANDARD]]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture",
       "a.bmp"},
      {"c10_MissingBracketAllowed", "[STANDARD   \r\nPicture=a.bmp\r\n", "STANDARD", "Picture",
       "a.bmp"},
      {"c11_OpeningBracketInName", "[[STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", ""},
      {"c12_NoOpeningBracketNoHeader", "STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD", "Picture", ""},
      {"c13_WholeKeyMatchOnly", "[STANDARD]\r\nPicture800=b.bmp\r\nMyPicture=c.bmp\r\n", "STANDARD",
       "Picture", ""},
      {"c14_CallersTrailingSpaceDropped", "[MODULES]\r\nPicture800=p.zrm\r\n", "MODULES",
       "Picture800 ", "p.zrm"},
      {"c15_CallersTrailingTabKept", "[MODULES]\r\nPicture800=p.zrm\r\n", "MODULES", "Picture800\t",
       ""},
      {"c16_SplitAtFirstEquals", "[STANDARD]\r\nPicture=a=b.bmp\r\n", "STANDARD", "Picture",
       "a=b.bmp"},
      {"c17_BackslashesKept", "[STANDARD]\r\nPicture=skin\\pics\\ok.bmp\r\n", "STANDARD", "Picture",
       "skin\\pics\\ok.bmp"},
      {"c18_ListKeptExactly", "[EFFECTS]\r\nFrames=a.bmp; b.bmp ;c.bmp;\r\n", "EFFECTS", "Frames",
       "a.bmp; b.bmp ;c.bmp;"},
      {"c19_NoInlineComment", "[STANDARD]\r\nPicture=a.bmp   ;old.bmp\r\n", "STANDARD", "Picture",
       "a.bmp   ;old.bmp"},
      {"c20_SemicolonStartingValue", "[EFFECTS]\r\nFrames=;a.bmp\r\n", "EFFECTS", "Frames",
       ";a.bmp"},
      {"c21_CommentLines", "[STANDARD]\r\n;Picture=old.bmp\r\n  ;x\r\nPicture=new.bmp\r\n",
       "STANDARD", "Picture", "new.bmp"},
      {"c22_CommentedHeader", "[STANDARD]\r\nPicture=a.bmp\r\n;[MOUSEUP]\r\nMask=m.bmp\r\n",
       "STANDARD", "Mask", "m.bmp"},
      {"c23_HashIsOrdinary", "[STANDARD]\r\nPicture=a.bmp # old\r\n", "STANDARD", "Picture",
       "a.bmp # old"},
      {"c24_DoubleQuotesDropped", "[STANDARD]\r\nPicture=\"a.bmp\"\r\n", "STANDARD", "Picture",
       "a.bmp"},
      {"c25_SingleQuotesDropped", "[STANDARD]\r\nPicture = 'a.bmp'  \r\n", "STANDARD", "Picture",
       "a.bmp"},
      {"c26_BlanksInsideQuotesKept", "[STANDARD]\r\nPicture=  \"  a.bmp  \"  \r\n", "STANDARD",
       "Picture", "  a.bmp  "},
      {"c27_QuotesDroppedOnce", "[STANDARD]\r\nPicture=\"\"a.bmp\"\"\r\n", "STANDARD", "Picture",
       "\"a.bmp\""},
      {"c28_InnerOtherQuotesKept", "[STANDARD]\r\nPicture=\"'a.bmp'\"\r\n", "STANDARD", "Picture",
       "'a.bmp'"},
      {"c29_UnmatchedQuotesKept", "[STANDARD]\r\nPicture=\"a.bmp'\r\n", "STANDARD", "Picture",
       "\"a.bmp'"},
      {"c30_QuoteNotAtEndKept", "[STANDARD]\r\nPicture=\"a.bmp\" ;old\r\n", "STANDARD", "Picture",
       "\"a.bmp\" ;old"},
      {"c31_QuotedList", "[EFFECTS]\r\nFrames=\"a.bmp;b.bmp\"\r\n", "EFFECTS", "Frames",
       "a.bmp;b.bmp"},
      {"c32_FirstKeyWins", "[STANDARD]\r\nPicture=one.bmp\r\npicture=two.bmp\r\n", "STANDARD",
       "Picture", "one.bmp"},
      {"c33_FirstKeyWinsEvenWhenEmpty", "[STANDARD]\r\nPicture=\r\nPicture=two.bmp\r\n", "STANDARD",
       "Picture", ""},
      {"c34_FirstSectionWins",
       "[STANDARD]\r\nPicture=1.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n[STANDARD]\r\nPicture=2.bmp\r\n",
       "STANDARD", "Picture", "1.bmp"},
      {"c35_RepeatedSectionNeverSearched",
       "[STANDARD]\r\nMask=m.bmp\r\n[standard]\r\nPicture=2.bmp\r\n", "STANDARD", "Picture", ""},
      {"c36_LfLineEnds", "[STANDARD]\nPicture=a.bmp\n", "STANDARD", "Picture", "a.bmp"},
      {"c37_CrLineEnds", "[STANDARD]\rMask=m.bmp\rPicture=\"a.bmp\"\r", "STANDARD", "Picture",
       "a.bmp"},
      {"c38_MixedLineEnds", "[STANDARD]\r\nMask=m.bmp\rPicture=p.bmp\nFont=f\r\r\nFrames=x.bmp",
       "STANDARD", "Frames", "x.bmp"},
      {"c39_VerticalTabIsBlank", "[STANDARD]\r\nPicture=\va.bmp \t \r\n", "STANDARD", "Picture",
       "a.bmp"},
      {"c40_LongestValueWhole", "[EFFECTS]\r\nFrames=" + k1022 + "\r\n", "EFFECTS", "Frames",
       k1022},
      {"c41_OneByteTooLongCut", "[EFFECTS]\r\nFrames=" + k1023 + "\r\n", "EFFECTS", "Frames",
       k1022},
      {"c42_LongValueCut", "[EFFECTS]\r\nFrames=" + k5000 + "\r\n", "EFFECTS", "Frames",
       k5000.substr(0, 1022)},
      {"c43_TrimmedBlanksNotCounted", "[EFFECTS]\r\nFrames=      " + k1022 + "\r\n", "EFFECTS",
       "Frames", k1022},
      {"c44_Cp1251BytesKept", "[STANDARD]\r\nPicture=\xF2\xE5\xF1\xF2.bmp\r\n", "STANDARD",
       "Picture", Cp1251("тест.bmp")},
      {"c45_Utf16LeWithMark", "\xFF\xFE" + Utf16Le("[STANDARD]\r\nPicture=тест.bmp\r\n"),
       "STANDARD", "Picture", Cp1251("тест.bmp")},
      {"c46_Utf16BeNotRecognised", "\xFE\xFF" + Utf16BeAscii("[STANDARD]\r\nPicture=a.bmp\r\n"),
       "STANDARD", "Picture", ""},
      {"c47_Utf8MarkSpoilsFirstHeader",
       "\xEF\xBB\xBF[STANDARD]\r\nPicture=a.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n", "STANDARD",
       "Picture", ""},
      {"c48_Utf8MarkLaterHeadersWork",
       "\xEF\xBB\xBF[STANDARD]\r\nPicture=a.bmp\r\n[MOUSEUP]\r\nMask=u.bmp\r\n", "MOUSEUP", "Mask",
       "u.bmp"},
      {"c49_Utf8MarkOnItsOwnLine", "\xEF\xBB\xBF\r\n[STANDARD]\r\nPicture=a.bmp\r\n", "STANDARD",
       "Picture", "a.bmp"},
      {"c50_Utf8ReadAsCp1251", "[STANDARD]\r\nPicture=тест.bmp\r\n", "STANDARD", "Picture",
       Cp1251("С‚РµСЃС‚.bmp")},
  };
}

class ProfileSheetTest : public ::testing::TestWithParam<SheetCase> {};

TEST_P(ProfileSheetTest, GivesTheSheetsResult) {
  const SheetCase& c = GetParam();
  EXPECT_EQ(c.expected, Profile::Parse(c.content).Value(c.section, c.key));
}

INSTANTIATE_TEST_SUITE_P(ProfileReader, ProfileSheetTest, ::testing::ValuesIn(SheetCases()),
                         [](const auto& info) { return info.param.name; });

TEST(ProfileParse, BareKeyLineHidesLaterValue) {
  // Open point 1, decided: the first matching entry wins even when it has no "=".
  const auto profile = Profile::Parse("[STANDARD]\r\nPicture\r\nPicture=b.bmp\r\n");
  EXPECT_EQ("", profile.Value("STANDARD", "Picture"));
}

TEST(ProfileParse, QuotesStrippedBeforeCut) {
  // Open point 2, decided: shape the whole value, then cut.
  const std::string body = std::string(1022, 'a') + "bc";
  const auto profile = Profile::Parse("[EFFECTS]\r\nFrames=\"" + body + "\"\r\nMask='x'y'\r\n");
  EXPECT_EQ(body.substr(0, 1022), profile.Value("EFFECTS", "Frames"));
  EXPECT_EQ("x'y", profile.Value("EFFECTS", "Mask"));
}

TEST(ProfileParse, QuoteCheckSeesTheWholeValue) {
  // The value's 1023rd byte is a quote but its last byte is not: nothing to strip.
  const std::string value = "\"" + std::string(1021, 'a') + "\"" + std::string(100, 'b');
  const auto profile = Profile::Parse("[EFFECTS]\r\nFrames=" + value + "\r\n");
  EXPECT_EQ(value.substr(0, 1022), profile.Value("EFFECTS", "Frames"));
}

TEST(ProfileParse, CyrillicNamesMatchIgnoringCase) {
  const auto profile = Profile::Parse(Cp1251("[Модули]\r\nКартинкаЁ=к.bmp\r\n"));
  EXPECT_EQ(Cp1251("к.bmp"), profile.Value(Cp1251("МОДУЛИ"), Cp1251("картинкаё")));
}

TEST(ProfileParse, CallersLeadingSpacesDropped) {
  const auto profile = Profile::Parse("[STANDARD]\r\nPicture=a.bmp\r\n");
  EXPECT_EQ("a.bmp", profile.Value("  STANDARD ", " Picture"));
}

TEST(ProfileParse, EmptyInput) {
  EXPECT_EQ("", Profile::Parse("").Value("STANDARD", "Picture"));
  EXPECT_EQ("", Profile::Parse("\xFF\xFE").Value("STANDARD", "Picture"));
}

TEST(ProfileFoldCase, FoldsAsciiAndCyrillicOnly) {
  EXPECT_EQ("picture800", FoldCaseCp1251("PiCTURE800"));
  EXPECT_EQ(Cp1251("абвгдеёжзийклмнопрстуфхцчшщъыьэюя"),
            FoldCaseCp1251(Cp1251("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")));
  EXPECT_EQ(Cp1251("ђѓљњќћџўјґєїіѕ"), FoldCaseCp1251(Cp1251("ЂЃЉЊЌЋЏЎЈҐЄЇІЅ")));
  EXPECT_EQ(Cp1251("[]_=;№ €«»"), FoldCaseCp1251(Cp1251("[]_=;№ €«»")));
}

// Files that are not INI text: nothing crashes, answers stay within the limit and readable
// entries around the noise still read.

TEST(ProfileRobustness, NulBytesAreOrdinary) {
  const auto profile =
      Profile::Parse("[STANDARD]\r\nPic\0ture=a\0b\r\nPicture=ok.bmp\0\r\n[\0]\r\nMask=n\r\n"s);
  EXPECT_EQ("ok.bmp\0"s, profile.Value("STANDARD", "Picture"));
  EXPECT_EQ("a\0b"s, profile.Value("STANDARD", "Pic\0ture"s));
  EXPECT_EQ("n", profile.Value("\0"s, "Mask"));
}

TEST(ProfileRobustness, MegabyteLines) {
  const std::string long_value(1 << 20, 'v');
  const std::string long_name(1 << 20, 'N');
  const auto profile = Profile::Parse("[EFFECTS]\r\nFrames=" + long_value + "\r\n" + long_name +
                                      "=x\r\n[" + long_name + "\r\nMask=m\r\n");
  EXPECT_EQ(long_value.substr(0, 1022), profile.Value("EFFECTS", "Frames"));
  EXPECT_EQ("x", profile.Value("EFFECTS", long_name));
  EXPECT_EQ("m", profile.Value(long_name, "Mask"));
  EXPECT_EQ("", Profile::Parse(long_value).Value("EFFECTS", "Frames"));
}

TEST(ProfileRobustness, BinaryGarbage) {
  for (std::uint32_t seed = 1; seed <= 2; ++seed) {
    SCOPED_TRACE(seed);
    const std::string garbage = Garbage(1 << 20, seed);
    const std::string tail = "\r\n[MOUSEUP]\r\nMask=u.bmp\r\n";
    for (const auto& content : {garbage + tail, "[STANDARD]\r\n" + garbage + tail,
                                "\xFF\xFE" + garbage + Utf16Le(tail)}) {
      const auto profile = Profile::Parse(content);
      EXPECT_EQ("u.bmp", profile.Value("MOUSEUP", "Mask"));
      EXPECT_LE(profile.Value("STANDARD", "Picture").size(), kMaxProfileValue);
    }
  }
}

// Loading from disk.

class ProfileLoadTest : public zrk::testing::TempDirTest {};

TEST_F(ProfileLoadTest, MissingFileIsEmpty) {
  EXPECT_EQ("", Profile::Load(dir_.folder() + "no-such.zrm").Value("STANDARD", "Picture"));
  EXPECT_EQ("", Profile::Load(dir_.folder() + "no-folder/x.zrm").Value("STANDARD", "Picture"));
  EXPECT_EQ("", Profile::Load("").Value("STANDARD", "Picture"));
}

TEST_F(ProfileLoadTest, FolderIsEmpty) {
  Write("skin.zrm/inner.txt", "[STANDARD]\r\nPicture=a.bmp\r\n");
  EXPECT_EQ("", Profile::Load(dir_.folder() + "skin.zrm").Value("STANDARD", "Picture"));
}

TEST_F(ProfileLoadTest, ReadsFile) {
  const auto path = Write("skin/" + Cp1251("модуль") + ".zrm",
                          "[STANDARD]\r\nPicture=a.bmp\r\n[EFFECTS]\r\nFrames='a.bmp;b.bmp'");
  const auto profile = Profile::Load(path);
  EXPECT_EQ("a.bmp", profile.Value("STANDARD", "Picture"));
  EXPECT_EQ("a.bmp;b.bmp", profile.Value("EFFECTS", "Frames"));
}

TEST_F(ProfileLoadTest, ReadsUtf16LeFile) {
  const auto path = Write("m.zrm", "\xFF\xFE" + Utf16Le("[STANDARD]\r\nPicture=тест.bmp"));
  EXPECT_EQ(Cp1251("тест.bmp"), Profile::Load(path).Value("STANDARD", "Picture"));
}

TEST_F(ProfileLoadTest, UnreadableFileIsEmpty) {
  const auto path = Write("locked.zrm", "[STANDARD]\r\nPicture=a.bmp\r\n");
  ASSERT_EQ(0, ::chmod(path.c_str(), 0));
  if (std::ifstream(path)) GTEST_SKIP() << "permissions are not enforced for this user";
  EXPECT_EQ("", Profile::Load(path).Value("STANDARD", "Picture"));
}

TEST_F(ProfileLoadTest, FifoIsEmptyWithoutBlocking) {
  const std::string path = dir_.folder() + "pipe.zrm";
  ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
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
  std::string text;
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    if (i % 97 == 0) text += "[E" + std::to_string(i / 97) + "]\r;c\n";
    text += "K" + n + " = \"v" + n + std::string(i % 7, ' ') + "😀ы😀x😀😀\" \r\n";
  }
  for (int pad = 0; pad < 3; ++pad) {
    SCOPED_TRACE(pad);
    const std::string padded = std::string(pad, ' ') + text;
    ExpectLoadReadsLikeParse(dir_.folder() + "ansi.zrm", padded, kEntries);
    ExpectLoadReadsLikeParse(dir_.folder() + "utf16.zrm", "\xFF\xFE" + Utf16Le(padded), kEntries);
  }
}

TEST_F(ProfileLoadTest, SurrogatesAtReadBoundariesReadLikeParse) {
  // A UTF-16LE file cut into blocks of 4 KiB, so that a read buffer of any whole number of 4 KiB
  // ends between blocks. Each block ends with the start of a value, "x" and two units, and the next
  // block starts with a low surrogate, giving a pair or a lone surrogate across the boundary.
  constexpr int kBlocks = 60;
  constexpr std::size_t kBlockUnits = 2048;
  constexpr char16_t kHigh = 0xD800;
  constexpr char16_t kLow = 0xDC00;
  const std::u16string endings[] = {{kHigh, kHigh}, {u'a', kHigh}, {kLow, kHigh}};
  std::u16string units;
  auto add = [&units](std::string_view ascii) { units.append(ascii.begin(), ascii.end()); };
  for (int m = 0; m < kBlocks; ++m) {
    if (m > 0) units += kLow;
    add(m == 0 ? "[E0]\r\n;" : "\r\n;");
    const std::string entry = "\r\nK" + std::to_string(m) + "=x";
    // The mark takes one unit before the first block.
    const std::size_t end = (m + 1) * kBlockUnits - 1;
    units.append(end - units.size() - entry.size() - 2, u'f');
    add(entry);
    units += endings[m % 3];
  }
  units += kLow;
  add("\r\n");
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : units) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  ASSERT_EQ(0u, (bytes.size() - 4 - 2) % (2 * kBlockUnits));
  ExpectLoadReadsLikeParse(dir_.folder() + "utf16.zrm", bytes, kBlocks);
  EXPECT_EQ("x??", Profile::Parse(bytes).Value("E0", "K0"));
  EXPECT_EQ("xa?", Profile::Parse(bytes).Value("E0", "K1"));
}

}  // namespace
}  // namespace zrk::platform

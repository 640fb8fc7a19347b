// Tests of the skin warnings, on small skins written into temporary folders.
#include "assembly/skin_warnings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/file_list.h"
#include "test_util.h"

namespace zrk {
namespace {

// INI text: lines joined with CRLF, as Windows-1251 bytes.
std::string Ini(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) text.append(line).append("\r\n");
  return testing::Cp1251(text);
}

// UTF-16 bytes of text, without a mark.
std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// The file header and picture header of a BMP file; no picture needs more to be recognised.
const std::string kBmp = "BM" + std::string(52, '\0');

struct Expected {
  std::string file;
  std::string section;
  std::string key;
  std::string text_part;
  bool case_sensitive_disk_only = false;  // the disk of Windows finds every spelling
};

struct SkinCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> files;  // relative path, bytes
  std::vector<Expected> expected;
};

std::vector<SkinWarning> WarningsOf(const testing::TempDir& dir) {
  const std::string project = dir.folder() + "config.zrp";
  return FindSkinWarnings(project, CollectFileList(project));
}

TEST(SkinWarnings, FindsWhatTheHostReadsOrOpensDifferently) {
  const std::string long_picture(1023, 'p');
  // clang-format off
  const std::vector<SkinCase> cases = {
      {"a UTF-8 mark hides the first section",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm",
         "\xEF\xBB\xBF" + Ini({"[STANDARD]", "Picture=a.bmp", "[MOUSEUP]", "Picture=b.bmp"})}},
       {{"bg.zrm", "", "", "первая секция [STANDARD] не будет прочитана"}}},
      {"UTF-8 text is read as Windows-1251",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm", "[STANDARD]\r\nMask=m.bmp\r\nPicture=фон.bmp\r\n"}},
       {{"bg.zrm", "STANDARD", "Picture", "имя 'фон.bmp' будет прочитано как 'С„РѕРЅ.bmp'"}}},
      {"UTF-16 without FF FE is not read at all",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=be.zrm", "Font=le.zrm"})},
        {"be.zrm", "\xFE\xFF" + Utf16(u"[STANDARD]\r\nPicture=a.bmp\r\n", true)},
        {"le.zrm", Utf16(u"[STANDARD]\r\nPicture=a.bmp\r\n", false)}},
       {{"be.zrm", "", "", "UTF-16 без метки FF FE"},
        {"le.zrm", "", "", "UTF-16 без метки FF FE"}}},
      {"a frame cut in the middle, the frames after it lost",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm", [] {
           std::string frames;  // 9 bytes each: f000.bmp; ... the cut falls in f113.bmp
           for (int i = 0; i < 120; ++i) {
             frames += (i < 10 ? "f00" : i < 100 ? "f0" : "f") + std::to_string(i) + ".bmp;";
           }
           return Ini({"[EFFECTS]", "Frames=" + frames});
         }()}},
       {{"bg.zrm", "EFFECTS", "Frames",
         "кадр 'f113.bmp' будет прочитан как 'f113.', кадров после него потеряно: 6"},
        {"f113.", "", "", "'f113.' оканчивается точкой"}}},
      {"a cut between frames; a value of 1022 or lost blanks and empty items are whole",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm", "Font=ok.zrm"})},
        {"bg.zrm", Ini({"[EFFECTS]",
                        "Frames=" + std::string(1009, 'x') + ".bmp;b123.bmp;c.bmp;d.bmp",
                        "[STANDARD]", "Picture=  \"" + long_picture + "\"  "})},
        {"ok.zrm", Ini({"[EFFECTS]", "Frames=" + std::string(1022, 'y') + ";;;",
                        "[STANDARD]", "Picture=\"" + std::string(1022, 'q') + "\""})}},
       {{"bg.zrm", "EFFECTS", "Frames", "кадров после 'b123.bmp' потеряно: 2"},
        {"bg.zrm", "STANDARD", "Picture",
         "длиной 1023 символов будет обрезано до 1022, остаток"}}},
      {"module keys of sizes SizeList does not have, sizes no key has",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=800,600;;1024 ,768;1280,1024;1280",
                            "[MODULES]", "BackGround=bg.zrm", "BackGround800=bg.zrm",
                            "Picture640=p.zrm", "font1024=f.zrm", "Other640=o.zrm"})}},
       {{"config.zrp", "MODULES", "Picture640",
         "ключ не будет прочитан: размера 640 нет в SizeList"},
        {"config.zrp", "DIRECTIVES", "SizeList", "размер 1280 из SizeList не назван"}}},
      {"names Windows opens as another file or not at all",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm", Ini({"[EFFECTS]", "Frames=a?.bmp;..\\con.bmp;C:\\skin\\m.bmp;dir.\\x.bmp;"
                                     "\\root.bmp;a\\..\\in.bmp;LPT9.txt\\z.bmp;x\x1Fy.bmp"})}},
       {{"a?.bmp", "", "", "символ '?', недопустимый"},
        {"..\\con.bmp", "", "", "выходит за папку скина (\"..\""},
        {"..\\con.bmp", "", "", "'con.bmp' — имя устройства Windows: хост откроет устройство CON"},
        {"C:\\skin\\m.bmp", "", "", "выходит за папку скина (указана буква диска)"},
        {"dir.\\x.bmp", "", "",
         "'dir.' оканчивается точкой или пробелом: "
         "Windows их отбрасывает, и хост будет искать 'dir'"},
        {"\\root.bmp", "", "", "выходит за папку скина (путь от корня диска)"},
        {"LPT9.txt\\z.bmp", "", "", "устройство LPT9"},
        {"x\x1Fy.bmp", "", "", "символ с кодом 0x1F"}}},
      {"letter case: one name on Windows, found by case only on Linux",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=img\\a.bmp", "Mask=IMG\\A.BMP", "[MOUSEUP]",
                        "Picture=Pic.bmp"})},
        {"img/a.bmp", kBmp}, {"pic.bmp", kBmp}},
       {{"Pic.bmp", "", "", "на диске файл называется 'pic.bmp'", true},
        {"IMG\\A.BMP", "", "", "отличается от 'img\\a.bmp' только регистром букв"},
        {"IMG\\A.BMP", "", "", "называется 'img\\a.bmp'", true}}},
      {"pictures that are no BMP",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"})},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=gif.BMP", "Mask=short.bmp", "[MOUSEUP]",
                        "Picture=ok.bmp", "Mask=gif.txt"})},
        {"gif.BMP", "GIF89a" + kBmp}, {"short.bmp", kBmp.substr(0, 25)},
        {"ok.bmp", kBmp.substr(0, 26)}, {"gif.txt", "GIF89a"}},
       {{"gif.BMP", "", "", "не начинается с подписи BM"},
        {"short.bmp", "", "", "короче заголовка рисунка BMP (25 байт)"}}},
  };
  // clang-format on
  for (const SkinCase& skin : cases) {
    SCOPED_TRACE(skin.name);
    testing::TempDir dir;
    for (const auto& [path, bytes] : skin.files) testing::WriteFile(dir.path() / path, bytes);
    std::vector<Expected> expected;
    for (const Expected& warning : skin.expected) {
#ifdef _WIN32
      if (warning.case_sensitive_disk_only) continue;
#endif
      expected.push_back(warning);
    }
    const std::vector<SkinWarning> warnings = WarningsOf(dir);
    std::string all;
    for (const SkinWarning& warning : warnings) all += FormatWarning(warning) + "\n";
    ASSERT_EQ(expected.size(), warnings.size()) << all;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(expected[i].file, warnings[i].file);
      EXPECT_EQ(expected[i].section, warnings[i].section);
      EXPECT_EQ(expected[i].key, warnings[i].key);
      EXPECT_NE(std::string::npos, warnings[i].text.find(expected[i].text_part))
          << warnings[i].text;
    }
  }
}

// Everything an author may do right: sizes with their modules, sub-folders, Windows-1251 and
// marked UTF-16LE text, frames, the preview picture. The demo skin is of this kind.
TEST(SkinWarnings, ACleanSkinGivesNone) {
  testing::TempDir dir;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"config.zrp",
       Ini({"; Скин без ошибок", "[DIRECTIVES]", "Name=Чистый", "SizeList=800,600;1024,768",
            "[MODULES]", "BackGround=modules\\bg.zrm", "Font=modules\\font.zrm",
            "BackGround800=modules\\bg800.zrm", "Picture1024=modules\\btn.zrm"})},
      {"modules/bg.zrm", Ini({"[STANDARD]", "Picture=images\\bg.bmp", "Caption=Фон"})},
      // The mark spoils only the line it stands on, here an empty one.
      {"modules/bg800.zrm",
       "\xEF\xBB\xBF\r\n" + Ini({"[STANDARD]", "Picture=\"images\\bg800.bmp\""})},
      {"modules/font.zrm",
       "\xFF\xFE" +
           Utf16(u"[STANDARD]\r\nFontFileName=fonts\\main.fnt\r\nCaption=Шрифт\r\n", false)},
      {"modules/btn.zrm", Ini({"[STANDARD]", "Picture=images\\btn.bmp", "Mask=images\\mask.bmp",
                               "[EFFECTS]", "Frames=effects\\glow1.bmp;effects\\glow2.bmp;"})},
      {"images/bg.bmp", kBmp},
      {"images/bg800.bmp", kBmp},
      {"images/btn.bmp", kBmp},
      {"images/mask.bmp", kBmp},
      {"effects/glow1.bmp", kBmp},
      {"effects/glow2.bmp", kBmp},
      {"fonts/main.fnt", "font"},
      {"preview.bmp", kBmp},
  };
  for (const auto& [path, bytes] : files) testing::WriteFile(dir.path() / path, bytes);
  const std::vector<SkinWarning> warnings = WarningsOf(dir);
  for (const SkinWarning& warning : warnings) ADD_FAILURE() << FormatWarning(warning);
}

TEST(SkinWarnings, UnusedFilesAreThoseNoEntryNamesAsTheBuildResolvesIt) {
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"}));
  testing::WriteFile(dir.path() / "bg.zrm",
                     Ini({"[STANDARD]", "Picture=IMG\\A.bmp", "Mask=.\\img\\mask.bmp"}));
  testing::WriteFile(dir.path() / "img/a.bmp", kBmp);
  testing::WriteFile(dir.path() / "img/mask.bmp", kBmp);
  testing::WriteFile(dir.path() / "img/old.bmp", "old");
  testing::WriteFile(dir.path() / "notes.txt", "notes");
  testing::WriteFile(dir.path() / "preview.bmp", kBmp);
  testing::WriteFile(dir.path() / "sub/deep/x.dat", "");
  const std::string project = dir.folder() + "config.zrp";
  std::vector<std::pair<std::string, std::uint64_t>> unused;
  for (const UnusedFile& file : FindUnusedFiles(project, CollectFileList(project))) {
    unused.emplace_back(file.name, file.size);
  }
  EXPECT_EQ((std::vector<std::pair<std::string, std::uint64_t>>{
                {"img\\old.bmp", 3}, {"notes.txt", 5}, {"sub\\deep\\x.dat", 0}}),
            unused);
}

TEST(SkinWarnings, FormatNamesTheSectionAndKeyOnlyWhenThereAreSome) {
  EXPECT_EQ("a.bmp: текст", FormatWarning({"a.bmp", "", "", "текст"}));
  EXPECT_EQ("b.zrm [EFFECTS] Frames: текст",
            FormatWarning({"b.zrm", "EFFECTS", "Frames", "текст"}));
}

}  // namespace
}  // namespace zrk

// Tests of the skin warnings, on small skins written into temporary folders.
#include "assembly/skin_warnings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/file_list.h"
#include "test_util.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zrk {
namespace {

using testing::Ini;

// UTF-16LE bytes of text, without a mark.
std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) bytes += {static_cast<char>(unit), static_cast<char>(unit >> 8)};
  return bytes;
}

// The file header and picture header of a BMP file; no picture needs more to be recognised.
const std::string kBmp = "BM" + std::string(52, '\0');

// Marks a warning given only where the disk tells letter case apart: not on Windows.
const std::string kCaseSensitiveDiskOnly = "(case-sensitive disk) ";

struct SkinCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> files;  // relative path, bytes
  // The warnings as the report shows them, in order, then the files the package leaves out.
  std::vector<std::string> lines;
};

std::vector<SkinCase> SkinCases() {
  const std::string project = Ini({"[MODULES]", "BackGround=bg.zrm"});
  std::string frames;  // 9 bytes each: f000.bmp; ... the cut falls in f113.bmp
  for (int i = 0; i < 120; ++i) {
    frames += (i < 10 ? "f00" : i < 100 ? "f0" : "f") + std::to_string(i) + ".bmp;";
  }
  // clang-format off
  return {
      // Everything an author may do right: sizes with their modules, sub-folders, Windows-1251
      // and marked UTF-16LE text, frames, the preview picture. The demo skin is of this kind.
      {"a clean skin",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=800,600;1024,768", "[MODULES]",
                            "BackGround=modules\\bg.zrm", "Font=modules\\font.zrm",
                            "BackGround800=modules\\bg800.zrm", "Picture1024=modules\\btn.zrm"})},
        {"modules/bg.zrm", Ini({"[STANDARD]", "Picture=images\\bg.bmp", "Caption=Фон"})},
        // The mark spoils only the line it stands on, here an empty one.
        {"modules/bg800.zrm",
         "\xEF\xBB\xBF\r\n" + Ini({"[STANDARD]", "Picture=\"images\\bg800.bmp\""})},
        {"modules/font.zrm", "\xFF\xFE" + Utf16(u"[STANDARD]\r\nFontFileName=fonts\\main.fnt\r\n"
                                                u"Caption=Шрифт\r\n")},
        {"modules/btn.zrm", Ini({"[STANDARD]", "Picture=images\\btn.bmp", "Mask=images\\mask.bmp",
                                 "[EFFECTS]", "Frames=effects\\glow1.bmp;effects\\glow2.bmp;"})},
        {"images/bg.bmp", kBmp}, {"images/bg800.bmp", kBmp}, {"images/btn.bmp", kBmp},
        {"images/mask.bmp", kBmp}, {"effects/glow1.bmp", kBmp}, {"effects/glow2.bmp", kBmp},
        {"fonts/main.fnt", "font"}, {"preview.bmp", kBmp}},
       {}},
      {"a UTF-8 mark hides the first section",
       {{"config.zrp", project},
        {"bg.zrm",
         "\xEF\xBB\xBF" + Ini({"[STANDARD]", "Picture=a.bmp", "[MOUSEUP]", "Picture=b.bmp"})}},
       {"bg.zrm: файл начинается с метки порядка байтов UTF-8: первая секция [STANDARD] не будет "
        "прочитана"}},
      {"UTF-8 text is read as Windows-1251",
       {{"config.zrp", project}, {"bg.zrm", "[STANDARD]\r\nMask=m.bmp\r\nPicture=фон.bmp\r\n"}},
       {"bg.zrm [STANDARD] Picture: текст в UTF-8, а читается как Windows-1251: имя 'фон.bmp' "
        "будет прочитано как 'С„РѕРЅ.bmp'"}},
      {"UTF-16 without FF FE is not read at all",
       {{"config.zrp", project}, {"bg.zrm", Utf16(u"[STANDARD]\r\nPicture=a.bmp\r\n")}},
       {"bg.zrm: файл в кодировке UTF-16 без метки FF FE (или UTF-16BE): ничего из него не будет "
        "прочитано"}},
      {"a frame cut in the middle, the frames after it lost",
       {{"config.zrp", project}, {"bg.zrm", Ini({"[EFFECTS]", "Frames=" + frames})}},
       {"bg.zrm [EFFECTS] Frames: значение длиной 1080 символов будет обрезано до 1022: кадр "
        "'f113.bmp' будет прочитан как 'f113.', кадров после него потеряно: 6",
        "f113.: часть имени 'f113.' оканчивается точкой или пробелом: Windows их отбрасывает, и "
        "хост будет искать 'f113'"}},
      {"a cut between frames; a value of 1022 or lost blanks and empty items are whole",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm", "Font=ok.zrm"})},
        {"bg.zrm", Ini({"[EFFECTS]",
                        "Frames=" + std::string(1009, 'x') + ".bmp;b123.bmp;c.bmp;d.bmp",
                        "[STANDARD]", "Picture=  \"" + std::string(1023, 'p') + "\"  "})},
        {"ok.zrm", Ini({"[EFFECTS]", "Frames=" + std::string(1022, 'y') + ";;;",
                        "[STANDARD]", "Picture=\"" + std::string(1022, 'q') + "\""})}},
       {"bg.zrm [EFFECTS] Frames: значение длиной 1034 символов будет обрезано до 1022: кадров "
        "после 'b123.bmp' потеряно: 2",
        "bg.zrm [STANDARD] Picture: значение длиной 1023 символов будет обрезано до 1022, остаток "
        "будет потерян"}},
      {"module keys of sizes SizeList does not have, sizes no key has",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=800,600;;1024 ,768;1280,1024;1280",
                            "[MODULES]", "BackGround=bg.zrm", "BackGround800=bg.zrm",
                            "Picture640=p.zrm", "font1024=f.zrm", "Other640=o.zrm"})}},
       {"config.zrp [MODULES] Picture640: ключ не будет прочитан: размера 640 нет в SizeList",
        "config.zrp [DIRECTIVES] SizeList: размер 1280 из SizeList не назван ни в одном ключе "
        "[MODULES]"}},
      {"names Windows opens as another file or not at all",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[EFFECTS]", "Frames=a?.bmp;..\\up.bmp;C:\\skin\\m.bmp;\\root.bmp;"
                                     "a\\..\\in.bmp;LPT9.txt\\z.bmp"})}},
       {"a?.bmp: в имени есть символ '?', недопустимый в именах файлов Windows: хост не откроет "
        "этот файл",
        "..\\up.bmp: имя выходит за папку скина (\"..\" ведёт выше неё): хост будет искать файл "
        "вне скина",
        "C:\\skin\\m.bmp: имя выходит за папку скина (указана буква диска): хост будет искать файл "
        "вне скина",
        "\\root.bmp: имя выходит за папку скина (путь от корня диска): хост будет искать файл вне "
        "скина",
        "LPT9.txt\\z.bmp: часть имени 'LPT9.txt' — имя устройства Windows: хост откроет "
        "устройство LPT9, а не файл"}},
      {"letter case: one name on Windows, found by case only on Linux",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=img\\a.bmp", "Mask=IMG\\A.BMP"})},
        {"img/a.bmp", kBmp}},
       {"IMG\\A.BMP: отличается от 'img\\a.bmp' только регистром букв: в Windows это одно имя, и "
        "хост по обоим откроет один файл",
        kCaseSensitiveDiskOnly + "IMG\\A.BMP: на диске файл называется 'img\\a.bmp': сборка нашла "
        "его без учёта регистра букв; в Windows хост его откроет, в Linux — нет"}},
      {"pictures that are no BMP",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=gif.BMP", "Mask=short.bmp", "[MOUSEUP]",
                        "Picture=ok.bmp", "Mask=gif.txt"})},
        {"gif.BMP", "GIF89a" + kBmp}, {"short.bmp", kBmp.substr(0, 25)},
        {"ok.bmp", kBmp.substr(0, 26)}, {"gif.txt", "GIF89a"}},
       {"gif.BMP: файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его показать",
        "short.bmp: файл короче заголовка рисунка BMP (25 байт): хост не сможет его показать"}},
      // Entries count as the build resolves them; the preview picture counts as named.
      {"files no entry names",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=IMG\\A.bmp", "Mask=.\\img\\mask.bmp"})},
        {"img/a.bmp", kBmp}, {"img/mask.bmp", kBmp}, {"img/old.bmp", "old"},
        {"notes.txt", "notes"}, {"preview.bmp", kBmp}, {"sub/deep/x.dat", ""}},
       {kCaseSensitiveDiskOnly + "IMG\\A.bmp: на диске файл называется 'img\\a.bmp': сборка нашла "
        "его без учёта регистра букв; в Windows хост его откроет, в Linux — нет",
        "unused img\\old.bmp, 3 bytes", "unused notes.txt, 5 bytes",
        "unused sub\\deep\\x.dat, 0 bytes"}},
  };
  // clang-format on
}

using SkinWarnings = ::testing::TestWithParam<SkinCase>;
INSTANTIATE_TEST_SUITE_P(, SkinWarnings, ::testing::ValuesIn(SkinCases()),
                         testing::NameOfRow<SkinCase>);

TEST_P(SkinWarnings, FindsWhatTheHostReadsOrOpensDifferentlyAndTheFilesLeftOut) {
  const SkinCase& skin = GetParam();
  testing::TempDir dir;
  for (const auto& [path, bytes] : skin.files) testing::WriteFile(dir.path() / path, bytes);
  std::vector<std::string> expected, lines;
  for (std::string line : skin.lines) {
    if (line.starts_with(kCaseSensitiveDiskOnly)) {
#ifdef _WIN32
      continue;  // the disk of Windows finds every spelling
#endif
      line.erase(0, kCaseSensitiveDiskOnly.size());
    }
    expected.push_back(line);
  }
  const std::string project = dir.folder() + "config.zrp";
  const std::vector<std::string> files = CollectFileList(project);
  for (const SkinWarning& warning : FindSkinWarnings(project, files)) {
    lines.push_back(FormatWarning(warning));
  }
  for (const UnusedFile& file : FindUnusedFiles(project, files)) {
    lines.push_back("unused " + file.name + ", " + std::to_string(file.size) + " bytes");
  }
  EXPECT_EQ(expected, lines);
}

// A link to a folder is not entered (one to the skin's own folder would never end), a link to a
// file counts as that file, and a pipe named as a picture is neither read nor listed.
TEST(SkinFolder, LinksAndPipes) {
  ZRK_SKIP_ON_WINDOWS("links and pipes are made the POSIX way");
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm"}));
  testing::WriteFile(dir.path() / "bg.zrm", Ini({"[STANDARD]", "Picture=pipe.bmp"}));
  testing::WriteFile(dir.path() / "a.dat", "abc");
  std::filesystem::create_directory_symlink(".", dir.path() / "loop");
  std::filesystem::create_symlink("a.dat", dir.path() / "link.dat");
#ifndef _WIN32
  ASSERT_EQ(0, ::mkfifo((dir.path() / "pipe.bmp").c_str(), 0600));
#endif
  const std::string project = dir.folder() + "config.zrp";
  const std::vector<std::string> files = CollectFileList(project);
  EXPECT_TRUE(FindSkinWarnings(project, files).empty());
  std::vector<std::string> unused;
  for (const UnusedFile& file : FindUnusedFiles(project, files)) {
    unused.push_back(file.name + ", " + std::to_string(file.size) + " bytes");
  }
  EXPECT_EQ((std::vector<std::string>{"a.dat, 3 bytes", "link.dat, 3 bytes"}), unused);
}

}  // namespace
}  // namespace zrk

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

// The text of that warning on a name whose file is img/a.bmp.
const std::string kCaseOnDisk =
    "на диске файл называется 'img\\a.bmp': сборка нашла его без учёта регистра букв; в Windows "
    "хост его откроет, в Linux — нет; напишите имя так, как на диске";

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
        {"modules/bg.zrm", Ini({"[standard]", "PICTURE=images\\bg.bmp", "Caption=Фон",
                                "Left=10", "Top=5", "Width=64"})},
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
        "прочитана; сохраните файл в Windows-1251, без метки"}},
      {"UTF-8 text is read as Windows-1251",
       {{"config.zrp", project}, {"bg.zrm", "[STANDARD]\r\nMask=m.bmp\r\nPicture=фон.bmp\r\n"}},
       {"bg.zrm [STANDARD] Picture: текст в UTF-8, а читается как Windows-1251: имя 'фон.bmp' "
        "будет прочитано как 'С„РѕРЅ.bmp'; сохраните файл в Windows-1251"}},
      {"UTF-16 without FF FE is not read at all",
       {{"config.zrp", project}, {"bg.zrm", Utf16(u"[STANDARD]\r\nPicture=a.bmp\r\n")}},
       {"bg.zrm: файл в кодировке UTF-16 без метки FF FE (или UTF-16BE): ничего из него не будет "
        "прочитано; сохраните файл в Windows-1251"}},
      {"a frame cut in the middle, the frames after it lost",
       {{"config.zrp", project}, {"bg.zrm", Ini({"[EFFECTS]", "Frames=" + frames})}},
       {"bg.zrm [EFFECTS] Frames: значение длиной 1080 символов будет обрезано до 1022: кадр "
        "'f113.bmp' будет прочитан как 'f113.', кадров после него потеряно: 6; сократите список до "
        "1022 символов: меньше кадров или короче их имена",
        "f113.: часть имени 'f113.' оканчивается точкой или пробелом: Windows их отбрасывает, и "
        "хост будет искать 'f113'; уберите точки и пробелы в конце"}},
      {"a cut between frames; a value of 1022 or lost blanks and empty items are whole",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm", "Font=ok.zrm"})},
        {"bg.zrm", Ini({"[EFFECTS]",
                        "Frames=" + std::string(1009, 'x') + ".bmp;b123.bmp;c.bmp;d.bmp",
                        "[STANDARD]", "Picture=  \"" + std::string(1023, 'p') + "\"  "})},
        {"ok.zrm", Ini({"[EFFECTS]", "Frames=" + std::string(1022, 'y') + ";;;",
                        "[STANDARD]", "Picture=\"" + std::string(1022, 'q') + "\""})}},
       {"bg.zrm [EFFECTS] Frames: значение длиной 1034 символов будет обрезано до 1022: кадров "
        "после 'b123.bmp' потеряно: 2; сократите список до 1022 символов: меньше кадров или короче "
        "их имена",
        "bg.zrm [STANDARD] Picture: значение длиной 1023 символов будет обрезано до 1022, остаток "
        "будет потерян; сократите значение до 1022 символов"}},
      // Picture640 is near Picture800 too, but told of once.
      {"module keys of sizes SizeList does not have, sizes no key has, a slip in a size key",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=800,600;;1024 ,768;1280,1024;1280",
                            "[MODULES]", "BackGround=bg.zrm", "BackGround800=bg.zrm",
                            "Picture640=p.zrm", "font1024=f.zrm", "Other640=o.zrm",
                            "Pictre1024=p.zrm"})}},
       {"config.zrp [MODULES] Picture640: ключ не будет прочитан: размера 640 нет в SizeList; "
        "добавьте 640 в SizeList секции [DIRECTIVES] или исправьте размер в имени ключа",
        "config.zrp [DIRECTIVES] SizeList: размер 1280 из SizeList не назван ни в одном ключе "
        "[MODULES]; добавьте ключи модулей этого размера (например, BackGround1280) или уберите "
        "размер из SizeList",
        "config.zrp [MODULES] Pictre1024: этот ключ сборщик не читает; возможно, имелся в виду "
        "Picture1024"}},
      {"near misses of a module's sections and keys",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=a.bmp", "Maks=m.bmp", "[MOUSEOVER]",
                        "Picture=b.bmp", "[EFFECTS]", "Frame=c.bmp"})}},
       {"bg.zrm [STANDARD] Maks: этот ключ сборщик не читает; возможно, имелся в виду Mask",
        "bg.zrm [MOUSEOVER]: эту секцию сборщик не читает; возможно, имелась в виду секция "
        "MOUSEMOVE",
        "bg.zrm [EFFECTS] Frame: этот ключ сборщик не читает; возможно, имелся в виду Frames"}},
      // No lookup finds the later section or key; the name meant is there; nothing near ("Fame"
      // is 2 edits from "Frames", a third of it).
      {"no near miss: the name meant is there, never read, or far",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=bg.zrm", "[DIRECTIVES]", "Version=2"})},
        {"bg.zrm", Ini({"[STANDARD]", "Mask=m.bmp", "Maks=old.bmp", "[STANDART]", "[SOUND]",
                        "Maks=x.bmp", "[standard]", "Pictur=y.bmp", "[MOUSEUP]", "Picture=a.bmp",
                        "Pictur=z.bmp", "[EFFECTS]", "Fame=f.bmp"})}},
       {}},
      // The slip is told instead of a project without modules.
      {"near misses of a project's sections and keys",
       {{"config.zrp", Ini({"[DIRECTIVE]", "SizeList=800", "[MODULES]", "Pictur=p.zrm"})}},
       {"config.zrp [DIRECTIVE]: эту секцию сборщик не читает; возможно, имелась в виду секция "
        "DIRECTIVES",
        "config.zrp [MODULES] Pictur: этот ключ сборщик не читает; возможно, имелся в виду "
        "Picture"}},
      {"a project that names no module",
       {{"config.zrp", Ini({"[MODULES]", "Button=mods\\button.zrm", "Picture="})}},
       {"config.zrp: в проекте не назван ни один модуль, и в пакет попадёт только сам файл "
        "проекта; добавьте в секцию [MODULES] имена файлов модулей с ключами BackGround, Font, "
        "Picture, ToolTip или BackLayer (например, BackGround=modules\\bg.zrm)"}},
      {"a module file for the project",
       {{"config.zrp", Ini({"[STANDARD]", "Picture=a.bmp"})}},
       {"config.zrp: похоже, это файл модуля, а не проекта: в нём не назван ни один модуль; "
        "укажите файл проекта скина (config.zrp)"}},
      {"a package for the project",
       {{"config.zrp", std::string(testing::kPackageMagic) + "<new_file=a.txt*1>x"}},
       {"config.zrp: это пакет ZRK, а не файл проекта: его файлы покажет zrk list, извлечёт zrk "
        "extract; для сборки укажите файл проекта скина (config.zrp)"}},
      {"a project file that is no text",
       {{"config.zrp", "BM\x1C" + std::string(3, '\0') + Ini({"[MODULES]", "Picture=p.zrm"})}},
       {"config.zrp: это не текстовый файл (в его начале есть байт 0x1C): файл проекта — "
        "INI-текст в Windows-1251; укажите файл проекта скина (config.zrp)"}},
      {"a comment after a value",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=img\\a.bmp ; кнопка", "Mask=m.bmp;",
                        "[MOUSEUP]", "Picture=b.bmp;old", "Mask=a;b.bmp"})}},
       {"img\\a.bmp ; кнопка: в имени после ';' стоит 'кнопка': комментарий в конце строки "
        "становится частью имени; перенесите его на отдельную строку, начинающуюся с ';', и имя "
        "станет 'img\\a.bmp'",
        "b.bmp;old: в имени после ';' стоит 'old': комментарий в конце строки становится частью "
        "имени; перенесите его на отдельную строку, начинающуюся с ';', и имя станет 'b.bmp'"}},
      {"names Windows opens as another file or not at all",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[EFFECTS]", "Frames=a?.bmp;..\\up.bmp;C:\\skin\\m.bmp;\\root.bmp;"
                                     "a\\..\\in.bmp;LPT9.txt\\z.bmp"})}},
       {"a?.bmp: в имени есть символ '?', недопустимый в именах файлов Windows: хост не откроет "
        "этот файл; уберите этот символ из имени файла",
        "..\\up.bmp: имя выходит за папку скина (\"..\" ведёт выше неё): хост будет искать файл "
        "вне скина, а zrk extract откажется извлекать весь пакет; положите файл в папку скина и "
        "укажите имя относительно неё",
        "C:\\skin\\m.bmp: имя выходит за папку скина (указана буква диска): хост будет искать файл "
        "вне скина, а zrk extract откажется извлекать весь пакет; положите файл в папку скина и "
        "укажите имя относительно неё",
        "\\root.bmp: имя выходит за папку скина (путь от корня диска): хост будет искать файл вне "
        "скина, а zrk extract откажется извлекать весь пакет; положите файл в папку скина и "
        "укажите имя относительно неё",
        "a\\..\\in.bmp: в имени есть часть '..': хост найдёт файл, но zrk extract откажется "
        "извлекать весь пакет; напишите имя без '..': 'in.bmp'",
        "LPT9.txt\\z.bmp: часть имени 'LPT9.txt' — имя устройства Windows: хост откроет "
        "устройство LPT9, а не файл; дайте этой части другое имя"}},
      {"letter case or separators: one name on Windows, found by case only on Linux",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=img\\a.bmp", "Mask=IMG\\A.BMP", "[MOUSEUP]",
                        "Picture=img/a.bmp", "Mask=Img/a.bmp"})},
        {"img/a.bmp", kBmp}},
       {"img/a.bmp: отличается от 'img\\a.bmp' только разделителями папок ('/' и '\\'): в Windows "
        "это одно имя, и хост по обоим откроет один файл; пакет будет хранить его дважды — "
        "оставьте одно написание, 'img\\a.bmp'",
        "IMG\\A.BMP: отличается от 'img\\a.bmp' только регистром букв: в Windows это одно имя, и "
        "хост по обоим откроет один файл; пакет будет хранить его дважды — оставьте одно "
        "написание, 'img\\a.bmp'",
        kCaseSensitiveDiskOnly + "IMG\\A.BMP: " + kCaseOnDisk,
        "Img/a.bmp: отличается от 'img\\a.bmp' только регистром букв и разделителями папок: в "
        "Windows это одно имя, и хост по обоим откроет один файл; пакет будет хранить его дважды "
        "— оставьте одно написание, 'img\\a.bmp'",
        kCaseSensitiveDiskOnly + "Img/a.bmp: " + kCaseOnDisk}},
      {"pictures that are no BMP",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=gif.BMP", "Mask=short.bmp", "[MOUSEUP]",
                        "Picture=ok.bmp", "Mask=gif.txt"})},
        {"gif.BMP", "GIF89a" + kBmp}, {"short.bmp", kBmp.substr(0, 25)},
        {"ok.bmp", kBmp.substr(0, 26)}, {"gif.txt", "GIF89a"}},
       {"gif.BMP: файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его "
        "показать; сохраните рисунок в формате BMP",
        "short.bmp: файл короче заголовка рисунка BMP (25 байт): хост не сможет его показать; "
        "сохраните рисунок в формате BMP заново"}},
      // Entries count as the build resolves them; the preview picture counts as named.
      {"files no entry names",
       {{"config.zrp", project},
        {"bg.zrm", Ini({"[STANDARD]", "Picture=IMG\\A.bmp", "Mask=.\\img\\mask.bmp"})},
        {"img/a.bmp", kBmp}, {"img/mask.bmp", kBmp}, {"img/old.bmp", "old"},
        {"notes.txt", "notes"}, {"preview.bmp", kBmp}, {"sub/deep/x.dat", ""}},
       {kCaseSensitiveDiskOnly + "IMG\\A.bmp: " + kCaseOnDisk,
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

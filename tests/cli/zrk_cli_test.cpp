// zrk run as a process, the way a user or a script runs it: every exit code, what reaches stdout
// and stderr, and the files left behind. What the build, the writer and the reader do inside is
// the core's tests; here is what only a whole process shows.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_util.h"
#include "zrk_version.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using testing::Cp1251;
using testing::PackageEntryBytes;
using Files = std::vector<std::pair<std::string, std::string>>;

// The skin: a module in a sub-folder, a Cyrillic name, one picture that is no BMP (a warning for
// check) and one large enough for the kernel copy. Then the packages and INI file of in/.
Files Inputs() {
  const std::string magic(testing::kPackageMagic);
  return {
      {"skin/config.zrp", "[MODULES]\r\nPicture=mods\\btn.zrm\r\n"},
      {"skin/mods/btn.zrm", "[STANDARD]\r\nPicture=img\\a.bmp\r\n[EFFECTS]\r\nFrames=img\\" +
                                Cp1251("кадр") + ".bmp;img\\b.bmp\r\n"},
      {"skin/img/a.bmp", "AAAA"},
      {"skin/img/b.bmp", "BM" + std::string(69998, 'b')},
      {"skin/img/кадр.bmp", "BM" + std::string(24, 'k')},
      {"in/p.zrk", magic + PackageEntryBytes("a\n0\tfake\x1b[2J.txt", "x") +
                       PackageEntryBytes("a \"q\".txt", "y") +
                       PackageEntryBytes(Cp1251("б") + "\x98", "")},
      {"in/bad.zrk", magic + "<new_file=a.txt*5>xy"},
      {"in/twice.zrk", magic + PackageEntryBytes("a\x1b.txt", "1") +
                           PackageEntryBytes("d\\" + Cp1251("б") + ".txt", "b") +
                           PackageEntryBytes("a\x1b.txt", "22")},
      {"in/evil.zrk", magic + PackageEntryBytes("..\\..\\x\x1b", "1") +
                          PackageEntryBytes("C:\\x.txt", "2") + PackageEntryBytes("ok.txt", "3")},
      {"in/clash.zrk", magic + PackageEntryBytes("x", "1") + PackageEntryBytes("x\\y", "2")},
      {"in/big.zrk", magic + PackageEntryBytes("a.txt", "1") +
                         PackageEntryBytes("big.bin", std::string(70000, 'b'))},
      {"in/m.ini", "[EFFECTS]\r\nFrames = \"a.bmp; b.bmp \" \r\n"},
  };
}

// A package whose listing outgrows what zrk list holds in memory: 300 entries with names of
// over 4,000 bytes.
std::string LongPackage() {
  std::string bytes(testing::kPackageMagic);
  for (int i = 0; i < 300; ++i)
    bytes += PackageEntryBytes(std::to_string(i) + std::string(4000, 'n'), "");
  return bytes;
}

// One run of zrk in a fresh folder holding Inputs() and then arrange.
struct Case {
  const char* name;
  std::vector<std::string> args;
  int exit_code;
  // Exact, or "*" and how it ends (the build's test has the whole report); "@" is the folder.
  std::string out, err;
  std::vector<std::string> left = {};  // what zrk left outside skin/ and in/
  Files arrange = {};
  std::string shell = {};  // what the shell does before it starts zrk: limits, redirections
};

const std::string kBmpWarning =
    "файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его показать; сохраните "
    "рисунок в формате BMP";
const std::string kWarning = "предупреждение: img\\a.bmp: " + kBmpWarning + "\n";
const std::string kStrictStop =
    "zrk: есть предупреждения, и с --strict пакет не записан; ничего не изменено\n";
const std::string kCheckJson = R"({
  "verdict": "ok",
  "files": [
    {"name": "config.zrp", "found": true, "origin": {"kind": "project"}},
    {"name": "mods\\btn.zrm", "found": true, "origin": {"kind": "ini", "file": "config.zrp", "section": "MODULES", "key": "Picture"}},
    {"name": "img\\a.bmp", "found": true, "origin": {"kind": "ini", "file": "mods\\btn.zrm", "section": "STANDARD", "key": "Picture"}},
    {"name": "img\\кадр.bmp", "found": true, "origin": {"kind": "ini", "file": "mods\\btn.zrm", "section": "EFFECTS", "key": "Frames"}},
    {"name": "img\\b.bmp", "found": true, "origin": {"kind": "ini", "file": "mods\\btn.zrm", "section": "EFFECTS", "key": "Frames"}},
    {"name": "preview.bmp", "found": true, "origin": {"kind": "preview"}}
  ],
  "warnings": [
    {"file": "img\\a.bmp", "section": "", "key": "", "text": ")" +
                               kBmpWarning + R"("}
  ],
  "unused": [
    {"name": "bad\ufffd", "size": 1},
    {"name": "img\\old.bmp", "size": 9},
    {"name": "n\nНе используется файлов: 0, 0 байт", "size": 0}
  ]
}
)";

// zrk build and check.
std::vector<Case> BuildCases() {
  const std::string old = "skin.zrk: old";
  const Files old_package = {{"skin.zrk", "old"}},
              leftover = {{"skin/img/old.bmp", "left over"},
                          {"skin/bad\xff", "x"},
                          {"skin/n\nНе используется файлов: 0, 0 байт", ""},
                          {"skin/preview.bmp", "BM" + std::string(24, 'p')}},
              gone = {{"skin/mods/btn.zrm", "[STANDARD]\r\nMask=img\\gone\r\n"}},
              gone_escaped = {{"skin/mods/btn.zrm", "[STANDARD]\r\nMask=img\\gone\x1b\r\n"}};
  const std::string box =
      "ВНИМАНИЕ: Один или несколько файлов указанного проекта не найдены! "
      "Операция будет прервана. Подробности смотрите в отчете.\n";
  // clang-format off
  return {
      // The package takes the name as typed ("given.ZRK", not "given.zrk" nor "given.ZRK.zrk"),
      // the folder asked for, or the project folder's real name ("skin/./" is "skin"). A build
      // warns as a check does.
      {"build", {"build", "skin/config.zrp", "-o", "given.ZRK"}, 0,
       "*\nПодготовка к сборки zrk...\nОперация успешно завершена!\n",
       kWarning + "zrk: пакет '@/given.ZRK' записан: файлов 5, 70270 байт\n",
       {"given.ZRK: 70270 bytes", "given.zrk: old"}, {{"given.zrk", "old"}}},
      // What the writer saw of each file gives the warnings check finds by looking into it.
      {"build of a name in another letter case", {"build", "skin", "-q", "-o", "case.zrk"}, 0, "",
       "предупреждение: img\\A.BMP: на диске файл называется 'img\\a.bmp': сборка нашла его без "
       "учёта регистра букв; в Windows хост его откроет, в Linux — нет; напишите имя так, как на "
       "диске\nпредупреждение: img\\A.BMP: " + kBmpWarning + "\n",
       {"case.zrk: 150 bytes"}, {{"skin/mods/btn.zrm", "[STANDARD]\r\nPicture=img\\A.BMP\r\n"}}},
      {"--force into a folder", {"build", "skin/./config.zrp", "-o", "there", "--force", "-q"}, 0,
       "", kWarning, {"there/skin.zrk: 70270 bytes", "there/x: x"},
       {{"there/skin.zrk", "old"}, {"there/x", "x"}}},
      {"build --strict writes nothing", {"build", "skin", "--strict", "-q", "-f"}, 5, "",
       kWarning + kStrictStop, {old}, old_package},
      // Each missing file is named with where it was named, quiet or not, JSON or not.
      {"files missing", {"build", "skin", "-q"}, 1, "",
       "*\nне найден: img\\gone\\x1b (mods\\btn.zrm [STANDARD] Mask)\n" + box,
       {}, gone_escaped},
      {"check --json of files missing", {"check", "skin", "--json"}, 1,
       "*\"found\": false, \"origin\": {\"kind\": \"ini\", \"file\": \"mods\\\\btn.zrm\", \"section\": "
       "\"STANDARD\", \"key\": \"Mask\"}}\n  ],\n  \"warnings\": []\n}\n",
       "не найден: img\\gone (mods\\btn.zrm [STANDARD] Mask)\n" + box, {}, gone},
      {"project file that is a folder", {"check", "in/p", "-q"}, 1, "",
       "не найден: config.zrp (файл проекта)\n" + box, {},
       {{"in/p/config.zrp/x", ""}}},
      // A folder that is not there is said before any file is tested.
      {"no such folder", {"build", "skin/config.zrp", "-o", "missing/"}, 2, "",
       "zrk: нет папки '@/missing', в которую записать пакет\n"},
      {"no such folder of a package", {"build", "skin", "-o", "no/p.zrk"}, 2, "",
       "zrk: нет папки '@/no', в которую записать пакет\n"},
      // A build that writes says its warnings once the write is over.
      {"file size limit", {"build", "skin", "--force", "-q"}, 3, "",
       "Ошибка... не удалось записать пакет '@/skin.zrk': превышен допустимый размер файла\n" +
           kWarning,
       {old}, old_package, "ulimit -f 64;"},  // 32 or 64 KiB, writes fail
      // A package replaces a package, never a device, pipe or socket, even through a link.
      {"--force onto a link to a pipe", {"build", "skin", "-o", "out.zrk", "-f", "-q"}, 3, "",
       "zrk: не удалось сохранить пакет '@/out.zrk': это не обычный файл\n",
       {"out.zrk -> pipe", "pipe (pipe)"}, {}, "mkfifo pipe; ln -s pipe out.zrk;"},
      // The package is written even though its report is not: the line says both.
      {"build with its report on a full disk", {"build", "skin"}, 3, "",
       kWarning + "zrk: пакет '@/skin.zrk' записан: файлов 5, 70270 байт; не удалось записать "
       "вывод: нет места на диске\n", {"skin.zrk: 70270 bytes"}, {}, "exec >/dev/full;"},
      // Nobody at stdin to ask: said before anything is built.
      {"not replaced", {"build", "skin/config.zrp"}, 4, "",
       "zrk: пакет '@/skin.zrk' уже есть и не заменён; --force заменяет его\n", {old}, old_package},

      // Beyond PATH_MAX the system opens no file: said, not taken for missing files.
      {"project path too long to open", {"check", "skin" + std::string(4100, '/') + "config.zrp"},
       3, "", "*' слишком длинный: система не открывает файлы по такому пути\n"},
      // A name can neither drive the terminal nor pass for lines of its own, on either stream.
      {"names escaped in the report and warnings", {"check", "in/esc"}, 0,
       "*\nm.zrm  [ok]\na\\x1b]0;T\\x07.txt  [ok]\nb\\u0098.txt  [ok]\nПроверка файлов успешно "
       "завершена!\nПодготовка к сборки zrk...\n",
       "предупреждение: a\\x1b]0;T\\x07.txt: в имени есть символ с кодом 0x1B, недопустимый в "
       "именах файлов Windows: хост не откроет этот файл; уберите этот символ из имени файла\n",
       {}, {{"in/esc/config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n"},
            {"in/esc/m.zrm",
             "[STANDARD]\r\nPicture=a\x1b]0;T\x07.txt\r\n[EFFECTS]\r\nFrames=b\x98.txt\r\n"},
            {"in/esc/a\x1b]0;T\x07.txt", ""}, {"in/esc/b\xc2\x98.txt", ""}}},
      {"check --strict", {"check", "skin", "--strict", "-q"}, 5, "", kWarning},
      {"check --json", {"check", "skin", "--json", "--unused"}, 0, kCheckJson, "", {}, leftover},
      {"check --unused", {"check", "skin", "--unused"}, 0, "*\nПодготовка к сборки zrk...\n"
       "не используется: bad\\xff (1 байт)\nне используется: img\\old.bmp (9 байт)\n"
       "не используется: n\\nНе используется файлов: 0, 0 байт (0 байт)\n"
       "Не используется файлов: 3, 10 байт\n", kWarning,
       {}, leftover},

  };
  // clang-format on
}

// zrk list, extract and get.
std::vector<Case> PackageCases() {
  const Files edited_file = {{"into/d/б.txt", "edited"}};
  const std::string long_package = LongPackage(), cut = "<new_file=end*5>x";
  const std::string cut_at = std::to_string(long_package.size() + cut.size() - 1);
  // clang-format off
  return {
      // One entry, one line: a name can neither forge a second entry nor drive the terminal, C1
      // controls (0x98 is U+0098) included.
      {"list", {"list", "in/p.zrk"}, 0,
       "1\ta\\n0\\tfake\\x1b[2J.txt\n1\ta \"q\".txt\n0\tб\\u0098\n", ""},
      {"list --json", {"list", "in/p.zrk", "--json"}, 0,
       "[\n  {\"name\": \"a\\n0\\tfake\\u001b[2J.txt\", \"size\": 1},\n"
       "  {\"name\": \"a \\\"q\\\".txt\", \"size\": 1},\n  {\"name\": \"б\\u0098\", \"size\": 0}\n]\n", ""},
      // Readable sizes round to a tenth below 10, to wholes above, and 1024 of a unit is the next.
      {"list -H --total", {"list", "in/sizes.zrk", "-H", "--total"}, 0,
       "1023 Б\ta\n1,5 КБ\tb\n1,0 МБ\tc\n1,0 МБ\tитого: файлов 3\n", "", {},
       {{"in/sizes.zrk", std::string(testing::kPackageMagic) +
                             PackageEntryBytes("a", std::string(1023, 'a')) +
                             PackageEntryBytes("b", std::string(1536, 'b')) +
                             PackageEntryBytes("c", std::string(1048575, 'c'))}}},
      {"list --total", {"list", "in/big.zrk", "--total"}, 0,
       "1\ta.txt\n70000\tbig.bin\n70001\tитого: файлов 2\n", ""},
      {"list --json --total", {"list", "in/big.zrk", "--json", "--total"}, 2, "",
       "zrk: параметры --json и --total не сочетаются\n"},
      {"list to a full disk", {"list", "in/p.zrk"}, 3, "",
       "zrk: не удалось записать вывод: нет места на диске\n", {}, {}, "exec >/dev/full;"},
      {"list with stdout closed", {"list", "in/p.zrk"}, 3, "",
       "zrk: не удалось записать вывод: файл не открыт\n", {}, {}, "exec >&-;"},
      // Held until the whole package is read (past a megabyte, in a scratch file): a listing is
      // printed whole or not at all.
      {"long listing", {"list", "in/long.zrk"}, 0, "*\n0\t299" + std::string(4000, 'n') + "\n", "",
       {}, {{"in/long.zrk", long_package}}},
      {"long listing of a package broken at its end", {"list", "in/long.zrk", "--json"}, 3, "",
       "zrk: пакет 'in/long.zrk' повреждён: смещение " + cut_at + ": данные файла 'end' обрываются: "
       "нужно 5 байт, до конца файла 1\n", {}, {{"in/long.zrk", long_package + cut}}},
      {"corrupt package", {"list", "in/bad.zrk"}, 3, "",
       "zrk: пакет 'in/bad.zrk' повреждён: смещение 28: данные файла 'a.txt' обрываются: нужно 5 "
       "байт, до конца файла 2\n"},
      // A package extracts whole or not at all; of a repeated name the last one wins.
      {"unsafe names", {"extract", "in/evil.zrk", "-C", "a/b/t"}, 3, "",
       "zrk: имя файла '..\\..\\x\\x1b' нельзя извлечь: часть пути '..'\n"
       "zrk: имя файла 'C:\\x.txt' нельзя извлечь: путь начинается с буквы диска\n"},
      {"existing file kept", {"extract", "in/twice.zrk", "-C", "into"}, 4, "",
       "zrk: файл 'd\\б.txt' уже есть в папке 'into'; ничего не извлечено (--force заменяет "
       "файлы)\n", {"into/d/б.txt: edited"}, edited_file},
      {"file and folder of one name", {"extract", "in/clash.zrk", "-C", "o"}, 3, "",
       "zrk: файл 'x\\y' нельзя извлечь в папку 'o': 'x' в пакете уже есть как файл, а нужна "
       "папка\n"},
      // A write that fails takes back what the run made, the target folder included.
      {"extract fails midway", {"extract", "in/big.zrk", "-C", "o/p"}, 3, "",
       "zrk: не удалось извлечь файл 'big.bin' из пакета 'in/big.zrk': превышен допустимый размер "
       "файла; ничего не извлечено\n", {}, {}, "ulimit -f 64;"},
      {"extract --force", {"extract", "in/twice.zrk", "-C", "into", "--force"}, 0, "",
       "zrk: файл 'a\\x1b.txt' встречается в пакете ещё раз; последний заменяет предыдущий\n",
       {"into/a\x1b.txt: 22", "into/d/б.txt: b"}, edited_file},

      {"extract of named files", {"extract", "in/twice.zrk", "-C", "o", "d\\б.txt"}, 0, "", "",
       {"o/d/б.txt: b"}},
      {"extract of a name not there", {"extract", "in/twice.zrk", "-C", "o", "a\\x1b.txt", "zz"}, 3, "",
       "zrk: в пакете 'in/twice.zrk' нет файла 'zz'; ничего не извлечено\n"},

      {"get", {"get", "in/m.ini", "effects", "FRAMES"}, 0, "a.bmp; b.bmp \n", ""},
      {"get of no file", {"get", "none.ini", "A", "B"}, 1, "\n",
       "zrk: файл 'none.ini' не найден; значение пустое\n"},

  };
  // clang-format on
}

// zrk init and zrk diff.
std::vector<Case> CompanionCases() {
  const std::string zrk = "'" ZRK_EXE "'";
  const Files changed = {{"in/c.zrk", std::string(testing::kPackageMagic) +
                                          PackageEntryBytes("a.txt", "2") +
                                          PackageEntryBytes("big.bin", std::string(70000, 'b'))}};
  // clang-format off
  return {
      {"init", {"init", "skin/new"}, 0, "",
       "zrk: заготовка оболочки записана в папку 'skin/new': файлов 17; проверка: zrk check "
       "--strict skin/new\n"},
      {"init then check --strict", {"check", "skin/new", "--strict", "-q"}, 0, "", "", {}, {},
       zrk + " init skin/new 2>/dev/null &&"},
      {"init into a folder not empty", {"init", "skin"}, 3, "",
       "zrk: 'skin' уже есть, и это не пустая папка; ничего не записано\n"},
      // Every write fails (stderr, a file too, is put aside): what the run made is gone.
      {"init fails midway", {"init", "new/skin"}, 3, "", "", {}, {},
       "exec 2>/dev/null; ulimit -f 0; trap '' XFSZ;"},

      {"diff", {"diff", "in/twice.zrk", "in/big.zrk"}, 1,
       "- a\\x1b.txt\n- d\\б.txt\n- a\\x1b.txt\n+ a.txt\n+ big.bin\n", ""},
      {"diff of contents", {"diff", "in/big.zrk", "in/c.zrk", "--json"}, 1,
       "[\n  {\"name\": \"a.txt\", \"change\": \"differs\"}\n]\n", "", {}, changed},
      {"diff of the same", {"diff", "in/big.zrk", "in/big.zrk"}, 0, "", ""},
      {"diff of a corrupt package", {"diff", "in/big.zrk", "in/bad.zrk"}, 3, "",
       "zrk: пакет 'in/bad.zrk' повреждён: смещение 28: данные файла 'a.txt' обрываются: нужно 5 "
       "байт, до конца файла 2\n"},
  };
  // clang-format on
}

// How zrk is called: usage errors, help and version.
std::vector<Case> UsageCases() {
  // clang-format off
  return {
      {"no command", {}, 2, "",
       "zrk: не указана команда: build, check, list, extract, get, init или diff\nподробнее: zrk --help\n"},
      {"unknown command", {"pack"}, 2, "",
       "zrk: неизвестная команда 'pack': build, check, list, extract, get, init или diff\n"
       "подробнее: zrk --help\n"},
      {"mistyped command", {"biuld", "skin"}, 2, "",
       "zrk: неизвестная команда 'biuld'; возможно, имелась в виду build\nподробнее: zrk --help\n"},
      {"no project", {"build"}, 2, "",
       "zrk: не указан аргумент ПРОЕКТ\nподробнее: zrk build --help\n"},
      {"-o without value", {"build", "skin", "-o"}, 2, "",
       "zrk: у параметра --output нет значения\nподробнее: zrk build --help\n"},
      {"-o twice", {"build", "skin", "-o", "a", "-o", "b"}, 2, "",
       "zrk: параметр --output указан дважды\nподробнее: zrk build --help\n"},
      {"empty -o", {"build", "skin", "-o", ""}, 2, "", "zrk: пустое имя пакета после -o\n"},
      {"no such project", {"build", "skni/config.zrp"}, 2, "",
       "zrk: нет файла проекта 'skni/config.zrp'\n"},
      {"extra arguments in the order typed", {"list", "a.zrk", "b.zrk", "c.zrk"}, 2, "",
       "zrk: лишние аргументы: b.zrk c.zrk\nподробнее: zrk list --help\n"},
      {"--help", {"--help"}, 0, "*\nПодробнее о команде: zrk КОМАНДА --help.\n", ""},
      {"check --help", {"check", "--help"}, 0, "*\nКоды выхода: 0 все файлы на месте, 1 файлы не "
       "найдены, 2 ошибка вызова, 3 ошибка файла или\nвывода, 5 предупреждения при --strict.\n", ""},
      // Russian placeholders, their columns lined up by letters.
      {"get --help", {"get", "-h"}, 0, "показать значение, которое сборщик читает из INI-файла\n"
       "Вызов: zrk get [ПАРАМЕТРЫ] ФАЙЛ РАЗДЕЛ КЛЮЧ\n\nАргументы:\n"
       "  ФАЙЛ                    INI-файл\n  РАЗДЕЛ                  имя раздела\n"
       "  КЛЮЧ                    имя ключа\n\nПараметры:\n"
       "  -h,--help               показать эту справку и выйти\n\nКоды выхода: 0 готово, 1 файла "
       "нет или он не читается, 2 ошибка вызова, 3 вывод не записан.\n", ""},
      {"--version", {"--version"}, 0, "zrk " ZRK_VERSION "\n", ""},
  };
  // clang-format on
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const auto& part : {BuildCases(), PackageCases(), CompanionCases(), UsageCases()}) {
    cases.insert(cases.end(), part.begin(), part.end());
  }
  return cases;
}

using Zrk = ::testing::TestWithParam<Case>;
INSTANTIATE_TEST_SUITE_P(, Zrk, ::testing::ValuesIn(Cases()), testing::NameOfRow<Case>);

TEST_P(Zrk, ExitCodeOutputAndFilesLeft) {
  const Case& c = GetParam();
  testing::TempDir temp;
  for (const Files& files : {Inputs(), c.arrange}) {
    for (const auto& [path, bytes] : files) testing::WriteFile(temp.path() / path, bytes);
  }
  // Through the shell, after c.shell, stdin /dev/null: nobody is there to answer.
  std::string command = "cd '" + temp.path().string() + "' && exec </dev/null >in/1 2>in/2 && " +
                        c.shell + " exec '" ZRK_EXE "'";
  for (const std::string& arg : c.args) command += " '" + arg + "'";  // none holds a "'"
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(c.exit_code, WEXITSTATUS(status));
  for (const auto& [expected, file] : {std::pair{c.out, "in/1"}, std::pair{c.err, "in/2"}}) {
    const std::string text = std::regex_replace(expected, std::regex("@"), temp.path().string());
    const std::string actual = testing::ReadFile(temp.path() / file);
    if (text.starts_with('*')) {
      EXPECT_TRUE(actual.ends_with(text.substr(1))) << actual;
    } else {
      EXPECT_EQ(text, actual);
    }
  }
  // What zrk left: all but skin/ and in/, the inputs (in/1 and in/2 took stdout and stderr).
  std::vector<std::string> left = testing::Tree(temp.path());
  std::erase_if(left, [](const std::string& item) {
    return item.starts_with("skin/") || item.starts_with("in/");
  });
  EXPECT_EQ(c.left, left);
}

}  // namespace
}  // namespace zrk

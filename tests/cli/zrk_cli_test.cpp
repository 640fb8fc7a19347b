// zrk as a user runs it: exit codes, output, and the files it leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/run_zrk.h"
#include "test_util.h"

namespace zrk {
namespace {

using testing::Contains;

namespace fs = std::filesystem;

using testing::RunResult;
using testing::RunZrk;

class ZrkTest : public testing::TempDirTest {
 protected:
  // A skin in skin/: a module in a sub-folder, pictures in a sub-folder, a Cyrillic name.
  std::string WriteSkin() {
    Write("skin/mods/btn.zrm", "[STANDARD]\r\nPicture=img\\a.bmp\r\n[EFFECTS]\r\nFrames=img\\" +
                                   testing::Cp1251("кадр") + ".bmp;img\\b.bmp\r\n");
    Write("skin/img/a.bmp", "AAAA");
    Write("skin/img/b.bmp", std::string(70000, 'b'));
    Write("skin/img/кадр.bmp", "");
    return Write("skin/config.zrp", "[MODULES]\r\nPicture=mods\\btn.zrm\r\n");
  }
  RunResult Run(const std::vector<std::string>& args) { return RunZrk(args, dir_.path()); }
  fs::path Path(const std::string& relative) const { return dir_.path() / relative; }
};

TEST_F(ZrkTest, BuildWritesThePackageAndPrintsTheReport) {
  WriteSkin();
  const RunResult run = Run({"build", "skin/config.zrp", "-o", "out/skin"});
  fs::create_directories(Path("out"));
  const RunResult again = Run({"build", "skin/config.zrp", "-o", "out/skin"});
  EXPECT_EQ(3, run.exit_code) << "the folder out/ did not exist yet";
  EXPECT_TRUE(Contains(run.out, "Ошибка... ")) << run.out;
  EXPECT_TRUE(Contains(run.out, "out/skin.zrk")) << run.out;
  EXPECT_EQ("", run.err) << "the error line is printed once";
  ASSERT_EQ(0, again.exit_code) << again.err;
  EXPECT_TRUE(Contains(again.out, "Всего в проекте найдено 5 файл(ов)!\n")) << again.out;
  EXPECT_TRUE(Contains(again.out, "img\\кадр.bmp  [ok]\n")) << again.out;
  EXPECT_TRUE(again.out.ends_with("Операция успешно завершена!\n")) << again.out;
  EXPECT_EQ("zrk: пакет '" + Path("out/skin.zrk").string() + "' записан: файлов 5, 70243 байт\n",
            again.err);
  const RunResult quiet = Run({"build", "skin/config.zrp", "-o", "out/quiet", "-q"});
  EXPECT_EQ(0, quiet.exit_code);
  EXPECT_EQ("", quiet.out + quiet.err);

  const RunResult list = Run({"list", "out/skin.zrk"});
  EXPECT_EQ(0, list.exit_code) << list.err;
  EXPECT_EQ(
      "33\tconfig.zrp\n73\tmods\\btn.zrm\n4\timg\\a.bmp\n0\timg\\кадр.bmp\n70000\timg\\b.bmp\n",
      list.out);
}

TEST_F(ZrkTest, PackageNameRules) {
  WriteSkin();
  EXPECT_EQ(0, Run({"build", "skin/config.zrp", "-o", "given.zrk"}).exit_code);
  EXPECT_TRUE(fs::exists(Path("given.zrk")));
  EXPECT_FALSE(fs::exists(Path("given.zrk.zrk")));
  // Without -o: the project folder's name, in the current folder.
  EXPECT_EQ(0, Run({"build", "skin/config.zrp"}).exit_code);
  EXPECT_TRUE(fs::exists(Path("skin.zrk")));
  // A folder, existing or marked by its separator, gets that name inside it, not a hidden ".zrk".
  fs::create_directories(Path("existing"));
  fs::create_directories(Path("marked"));
  EXPECT_EQ(0, Run({"build", "skin/config.zrp", "-o", "existing"}).exit_code);
  EXPECT_EQ(0, Run({"build", "skin/config.zrp", "-o", "marked/"}).exit_code);
  EXPECT_TRUE(fs::exists(Path("existing/skin.zrk")));
  EXPECT_TRUE(fs::exists(Path("marked/skin.zrk")));
  EXPECT_FALSE(fs::exists(Path("marked/.zrk")));
  // The extension in any letter case; a folder stands for its config.zrp; the folder's real
  // name whatever the path's form.
  EXPECT_EQ(0, Run({"build", "skin/config.zrp", "-o", "upper.ZRK"}).exit_code);
  EXPECT_TRUE(fs::exists(Path("upper.zrk")));
  EXPECT_EQ(0, Run({"build", "skin", "-o", "from-folder.zrk"}).exit_code);
  EXPECT_EQ(0, testing::RunZrk({"build", "./config.zrp"}, Path("skin")).exit_code);
  EXPECT_TRUE(fs::exists(Path("skin/skin.zrk")));
}

TEST_F(ZrkTest, ExistingPackageIsReplacedOnlyWithForce) {
  WriteSkin();
  Write("skin.zrk", "old");
  // Nobody at a terminal to ask: said at once, without claiming that anyone cancelled.
  const RunResult refused = Run({"build", "skin/config.zrp"});
  EXPECT_EQ(4, refused.exit_code);
  EXPECT_TRUE(Contains(refused.err, "--force")) << refused.err;
  EXPECT_EQ("", refused.out);
  EXPECT_EQ("old", testing::ReadFile(Path("skin.zrk")));

  EXPECT_EQ(0, Run({"build", "skin/config.zrp", "--force"}).exit_code);
  EXPECT_EQ("ZRK4000029", testing::ReadFile(Path("skin.zrk")).substr(0, 10));
}

TEST_F(ZrkTest, MissingFilesExitOneAndWriteNothing) {
  WriteSkin();
  fs::remove(Path("skin/img/a.bmp"));
  const RunResult build = Run({"build", "skin/config.zrp"});
  EXPECT_EQ(1, build.exit_code);
  EXPECT_TRUE(Contains(build.out, "img\\a.bmp  [err]\n")) << build.out;
  EXPECT_TRUE(build.out.ends_with("Ошибка... Файл не найден...\n")) << build.out;
  EXPECT_TRUE(Contains(build.err, "ВНИМАНИЕ")) << build.err;
  EXPECT_FALSE(fs::exists(Path("skin.zrk")));
  EXPECT_EQ(1, Run({"check", "skin/config.zrp"}).exit_code);
}

TEST_F(ZrkTest, CheckWritesNothing) {
  WriteSkin();
  const RunResult check = Run({"check", "skin/config.zrp"});
  EXPECT_EQ(0, check.exit_code) << check.err;
  EXPECT_TRUE(check.out.ends_with("Подготовка к сборки zrk...\n")) << check.out;
  EXPECT_FALSE(fs::exists(Path("skin.zrk")));
}

// Warnings go to stderr before the verdict and change the exit code only with --strict; the
// same findings come as one JSON document, and --unused names the leftovers.
TEST_F(ZrkTest, CheckWarnsAboutWhatTheHostReadsDifferently) {
  WriteSkin();
  Write("skin/img/old.bmp", "left over");
  const RunResult check = Run({"check", "skin"});
  EXPECT_EQ(0, check.exit_code) << check.err;
  EXPECT_TRUE(Contains(check.err, "предупреждение: img\\a.bmp: ")) << check.err;
  EXPECT_TRUE(check.out.ends_with("Подготовка к сборки zrk...\n")) << check.out;
  EXPECT_EQ(5, Run({"check", "skin", "--strict"}).exit_code);

  const RunResult json = Run({"check", "skin", "--json", "--unused"});
  EXPECT_EQ(0, json.exit_code) << json.err;
  EXPECT_EQ("", json.err);
  EXPECT_TRUE(json.out.starts_with("{\n  \"verdict\": \"ok\",\n  \"files\": [\n")) << json.out;
  EXPECT_TRUE(Contains(json.out, "{\"name\": \"img\\\\a.bmp\", \"found\": true}")) << json.out;
  EXPECT_TRUE(Contains(json.out, "\"warnings\": [\n    {\"file\": \"img\\\\a.bmp\"")) << json.out;
  EXPECT_TRUE(Contains(json.out, "{\"name\": \"img\\\\old.bmp\", \"size\": 9}")) << json.out;

  const RunResult unused = Run({"check", "skin", "--unused", "-q"});
  EXPECT_EQ("не используется: img\\old.bmp (9 байт)\nНе используется файлов: 1, 9 байт\n",
            unused.out);
}

TEST_F(ZrkTest, ExtractRoundTripsThePackage) {
  WriteSkin();
  ASSERT_EQ(0, Run({"build", "skin/config.zrp"}).exit_code);
  const RunResult extract = Run({"extract", "skin.zrk", "-C", "copy"});
  ASSERT_EQ(0, extract.exit_code) << extract.err;
  for (const char* file :
       {"config.zrp", "mods/btn.zrm", "img/a.bmp", "img/b.bmp", "img/кадр.bmp"}) {
    EXPECT_EQ(testing::ReadFile(Path(std::string("skin/") + file)),
              testing::ReadFile(Path(std::string("copy/") + file)))
        << file;
  }
}

// A repeated name says so and the last one wins; a file already there stays unless --force.
TEST_F(ZrkTest, ExtractSaysWhichRepeatAndKeepsExistingFiles) {
  Write("twice.zrk", std::string("ZRK4000029") + "<new_file=a.txt*1>1" + "<new_file=a.txt*1>2");
  const RunResult extract = Run({"extract", "twice.zrk", "-C", "into"});
  EXPECT_EQ(0, extract.exit_code) << extract.err;
  EXPECT_TRUE(Contains(extract.err, "a.txt")) << extract.err;
  EXPECT_EQ("2", testing::ReadFile(Path("into/a.txt")));

  Write("into/a.txt", "edited");
  EXPECT_EQ(4, Run({"extract", "twice.zrk", "-C", "into"}).exit_code);
  EXPECT_EQ("edited", testing::ReadFile(Path("into/a.txt")));
  EXPECT_EQ(0, Run({"extract", "twice.zrk", "-C", "into", "--force"}).exit_code);
  EXPECT_EQ("2", testing::ReadFile(Path("into/a.txt")));
}

TEST_F(ZrkTest, CorruptPackageNamesTheOffset) {
  Write("bad.zrk", std::string("ZRK4000029") + "<new_file=a.txt*5>xy");
  const RunResult list = Run({"list", "bad.zrk"});
  EXPECT_EQ(3, list.exit_code);
  EXPECT_TRUE(Contains(list.err, "bad.zrk")) << list.err;
  EXPECT_TRUE(Contains(list.err, "28")) << list.err;  // where the data should start
  EXPECT_EQ("", list.out);
}

// One entry, one line: a name cannot forge a second entry or drive the terminal. Output that
// cannot be written is a failure, in every form.
TEST_F(ZrkTest, ListShowsControlCharactersEscapedAndFailsOnAFullDisk) {
  Write("p.zrk", std::string("ZRK4000029") + "<new_file=a\n0\tfake\x1b[2J.txt*1>x");
  const RunResult list = Run({"list", "p.zrk"});
  EXPECT_EQ(0, list.exit_code);
  EXPECT_EQ("1\ta\\n0\\tfake\\x1b[2J.txt\n", list.out);
  testing::RunOptions to_full_disk;
  to_full_disk.stdout_path = "/dev/full";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", "p.zrk"}, {"list", "p.zrk", "--json"}}) {
    const RunResult full = testing::RunZrk(args, dir_.path(), to_full_disk);
    EXPECT_EQ(3, full.exit_code) << full.err;
    EXPECT_TRUE(Contains(full.err, "не удалось записать вывод")) << full.err;
  }
}

TEST_F(ZrkTest, ListAsJson) {
  Write("p.zrk", std::string("ZRK4000029") +
                     "<new_file=a \"q\".txt*1>x<new_file=" + testing::Cp1251("б") + "*0>");
  const RunResult list = Run({"list", "p.zrk", "--json"});
  EXPECT_EQ(0, list.exit_code);
  EXPECT_EQ(
      "[\n  {\"name\": \"a \\\"q\\\".txt\", \"size\": 1},\n  {\"name\": \"б\", \"size\": 0}\n]\n",
      list.out);
}

TEST_F(ZrkTest, GetPrintsTheValueTheBuilderReads) {
  Write("m.ini", "[EFFECTS]\r\nFrames = \"a.bmp; b.bmp \" \r\n");
  EXPECT_EQ("a.bmp; b.bmp \n", Run({"get", "m.ini", "effects", "FRAMES"}).out);
  const RunResult missing = Run({"get", "none.ini", "A", "B"});
  EXPECT_EQ(1, missing.exit_code);
  EXPECT_EQ("\n", missing.out);
  EXPECT_TRUE(Contains(missing.err, "none.ini")) << missing.err;
}

TEST_F(ZrkTest, UsageErrorsExitTwo) {
  WriteSkin();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"pack"},
                                             {"build"},
                                             {"build", "skni/config.zrp"},
                                             {"check", "."},
                                             {"build", "skin", "-o", ""},
                                             {"list", "a.zrk", "b.zrk"}}) {
    const RunResult run = Run(args);
    EXPECT_EQ(2, run.exit_code) << ::testing::PrintToString(args);
    // One language: the reason and the hint in Russian, with no report.
    EXPECT_TRUE(Contains(run.err, "--help") || Contains(run.err, "нет файла проекта") ||
                Contains(run.err, "пустое имя"))
        << run.err;
    EXPECT_EQ("", run.out);
  }
  const RunResult help = Run({"--help"});
  EXPECT_EQ(0, help.exit_code);
  for (const char* command : {"build", "check", "list", "extract", "get"}) {
    EXPECT_TRUE(Contains(help.out, command)) << command;
  }
  EXPECT_EQ(0, Run({"--version"}).exit_code);
}

}  // namespace
}  // namespace zrk

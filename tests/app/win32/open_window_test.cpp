// Tests of what the Win32 window opens from outside, under Wine: a project, a folder, a project
// that is not there, and packages, shown and extracted.
#include <windows.h>
#include <gtest/gtest.h>

#include "assembly/package_writer.h"
#include "form1_harness.h"

namespace zrk::app {
namespace {

// A folder, given or dropped, opens the config.zrp in it, as with zrk; a project that is not
// there is said so in a box, and nothing starts.
struct OpenRow {
  std::string name;
  std::string given;  // in the temporary folder
  bool dropped;
  std::string missing;  // the project the box names, in the temporary folder; "" for a build
};

class Win32OpenWindow : public ::testing::TestWithParam<OpenRow> {};

TEST_P(Win32OpenWindow, OpensWhatIsGiven) {
  const OpenRow& row = GetParam();
  Form1Harness h;
  const std::string package = h.AnswerDialogs();
  if (row.dropped) {
    Drop(h.form.hwnd(), platform::Utf8ToWide(h.Path(row.given)).value());
  } else {
    h.form.Open(h.Path(row.given));
  }
  if (row.missing.empty()) {
    EXPECT_EQ(ReportWritten(package), h.Lines());
  } else {
    EXPECT_EQ(std::vector<std::string>{"Файл проекта '" + h.Path(row.missing) +
                                       "' не найден. Сборка не начата."},
              h.boxes.shown);
    EXPECT_TRUE(h.platform.calls.empty() && h.Lines().empty());
  }
  EXPECT_FALSE(h.form.busy());
}

INSTANTIATE_TEST_SUITE_P(
    Win32OpenWindow, Win32OpenWindow,
    ::testing::Values(OpenRow{"a folder builds its config.zrp", "skin", false, ""},
                      OpenRow{"a dropped folder builds its config.zrp", "skin", true, ""},
                      OpenRow{"a missing project", "skin/none.zrp", false, "skin/none.zrp"},
                      OpenRow{"a folder without a project", "out", false, "out/config.zrp"}),
    testing::NameOfRow<OpenRow>);

// A package dropped from Explorer opens to its entries once it has been read whole, and offers
// to extract them: into a new folder at once; over files there only after "Yes" to a question
// that names them.
TEST(Win32OpenWindow, PackageShownAndExtracted) {
  Form1Harness h;
  testing::WriteFile(h.dir.path() / "skin" / "img" / "a.bmp", "BM");
  const std::string package = h.Path("out/Skin.ZRK"), into = h.Path("into");
  WritePackage(package, h.Path("skin/config.zrp"), {"config.zrp", "img\\a.bmp"});
  std::vector<std::string> started_at;
  h.form.SetFolderChooser([&](const std::string& start) {
    started_at.push_back(start);
    return into;
  });
  std::filesystem::create_directory(platform::PathFromUtf8(into));

  Drop(h.form.hwnd(), platform::Utf8ToWide(package).value());
  EXPECT_EQ(
      (std::vector<std::string>{"Содержимое пакета '" + package + "':", "        30  config.zrp",
                                "         2  img\\a.bmp", "Всего в пакете 2 файл(ов), 32 байт",
                                "Извлечение файлов в папку '" + into + "'...",
                                "Извлечено файлов: 2 в папку '" + into + "'"}),
      h.Lines());
  EXPECT_EQ(std::vector<std::string>{"Пакет проверен целиком. Извлечь его файлы в папку?"},
            h.boxes.shown);
  EXPECT_EQ(std::vector<std::string>{h.Path("out") + "\\"}, started_at);
  testing::WriteFile(h.dir.path() / "into" / "img" / "a.bmp", "changed");

  for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
    h.boxes.shown.clear();
    h.boxes.answers = {MessageAnswer::kYes, answer};
    h.form.Open(package);
    ASSERT_EQ(2u, h.boxes.shown.size());
    EXPECT_EQ("В папке '" + into + "' уже есть файлы пакета:\nconfig.zrp\nimg\\a.bmp\n" +
                  "Заменить их файлами из пакета?",
              h.boxes.shown[1]);
    EXPECT_EQ(answer == MessageAnswer::kYes ? "BM" : "changed",
              testing::ReadFile(h.dir.path() / "into" / "img" / "a.bmp"));
  }
  EXPECT_FALSE(h.form.busy());
}

// A broken package is said to be broken, where, in the report and in a box; nothing is asked.
TEST(Win32OpenWindow, BrokenPackage) {
  Form1Harness h;
  testing::WriteFile(h.dir.path() / "out" / "broken.zrk", "not a package");
  h.form.Open(h.Path("out/broken.zrk"));
  ASSERT_EQ(1u, h.boxes.shown.size());
  EXPECT_EQ(0u, h.boxes.shown[0].find("Ошибка... пакет '" + h.Path("out/broken.zrk") +
                                      "' повреждён: смещение 0"))
      << h.boxes.shown[0];
  EXPECT_EQ(h.boxes.shown, h.Lines());
}

}  // namespace
}  // namespace zrk::app

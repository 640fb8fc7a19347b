// Whole transcripts of builds: report lines, selections, message boxes and save dialogs.
#include "assembly/build_driver.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "assembly/package_reader.h"
#include "dialogs/fake_dialog_platform.h"
#include "test_util.h"

namespace zrk {
namespace {

using Transcript = std::vector<std::string>;

// The fixture is the build's report and message boxes and answers its save dialogs, recording all
// of it in one transcript. Boxes and dialogs answer from scripts; one the script did not expect
// fails the test.
class BuildPackageTest : public testing::TempDirTest, public Report, public MessageBoxes {
 protected:
  BuildPackageTest() {
    dialog_.answer = [this](DialogRecord& record) -> std::int32_t {
      const kelCommonDialog& dialog = mdlCdlg::SharedDialog();
      log_.push_back(dialog_.calls.back() + " dialog [" + dialog.OKText() + "] [" +
                     dialog.Filter() + "] [" + BufferText(record.file) + "]");
      if (names_.empty()) {
        ADD_FAILURE() << "unexpected dialog";
        return 0;
      }
      const std::optional<std::string> name = names_.front();
      names_.pop_front();
      return name && StoreInBuffer(record.file, record.max_file, *name) ? 1 : 0;
    };
  }

  void Clear() override {
    lines_.clear();
    log_.push_back("clear");
  }
  void AddLine(const std::string& line) override {
    lines_.push_back(line);
    log_.push_back(line);
  }
  std::int16_t LineCount() const override { return static_cast<std::int16_t>(lines_.size()); }
  void SetSelectedIndex(std::int16_t i) override { log_.push_back("select " + std::to_string(i)); }
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
    static const char* const kIcons[] = {"error", "question", "information"};
    log_.push_back(std::string("box ") + kIcons[static_cast<int>(icon)] + ": " + text);
    if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return MessageAnswer::kNo;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  // A project naming one module with two pictures; every file present.
  std::string WriteSkin() {
    Write("m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\nMask=b.bmp\r\n");
    Write("a.bmp", "AAAA");
    Write("b.bmp", "BB");
    return Write("config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
  }
  BuildOutcome Build(const std::string& project) { return BuildPackage(project, *this, *this); }
  std::string Out(const std::string& name) const { return dir_.folder() + name; }

  Transcript log_;
  std::vector<std::string> lines_;
  std::deque<MessageAnswer> answers_;
  std::deque<std::optional<std::string>> names_;  // for the save dialogs; nullopt cancels
  testing::FakeDialogPlatform dialog_;
};

const Transcript kVerifiedSkin = {"clear",
                                  "Создание списка файлов...",
                                  "Список файлов создан!",
                                  "Всего в проекте найдено 4 файл(ов)!",
                                  "Проверка существования файлов...",
                                  "config.zrp  [ok]",
                                  "select 4",
                                  "m.zrm  [ok]",
                                  "select 5",
                                  "a.bmp  [ok]",
                                  "select 6",
                                  "b.bmp  [ok]",
                                  "select 7"};
const std::string kSaveDialog = "save dialog [Сохранить] [Файлы оболочек ZR 4.x (*.zrk)|*.zrk] []";

Transcript Concat(Transcript head, const Transcript& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

std::vector<std::string> EntryNames(const std::string& package) {
  std::vector<std::string> names;
  for (const PackageEntry& entry : ReadPackageIndex(package)) names.push_back(entry.name);
  return names;
}

TEST_F(BuildPackageTest, AllFilesPresentWritesThePackage) {
  const std::string project = WriteSkin();
  names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ(
      Concat(kVerifiedSkin, {"Проверка файлов успешно завершена!", "Подготовка к сборки zrk...",
                             "select 9", kSaveDialog, "Операция успешно завершена!",
                             "box information: Операция успешно завершена!", "select 10"}),
      log_);
  EXPECT_EQ((std::vector<std::string>{"config.zrp", "m.zrm", "a.bmp", "b.bmp"}),
            EntryNames(Out("skin.zrk")));
}

TEST_F(BuildPackageTest, PreviewPictureIsAppendedWithoutItsOwnLine) {
  const std::string project = WriteSkin();
  Write("preview.bmp", "PP");
  names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ(
      Concat(kVerifiedSkin, {"Дополнительно найден файл предварительного просмотра скина!",
                             "Проверка файлов успешно завершена!", "Подготовка к сборки zrk...",
                             "select 10", kSaveDialog, "Операция успешно завершена!",
                             "box information: Операция успешно завершена!", "select 11"}),
      log_);
  EXPECT_EQ("preview.bmp", EntryNames(Out("skin.zrk")).back());
}

TEST_F(BuildPackageTest, PreviewNamedByAModuleIsWrittenTwice) {
  Write("m.zrm", "[STANDARD]\r\nPicture=preview.bmp\r\n");
  Write("preview.bmp", "PP");
  const std::string project = Write("config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
  names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ((std::vector<std::string>{"config.zrp", "m.zrm", "preview.bmp", "preview.bmp"}),
            EntryNames(Out("skin.zrk")));
}

TEST_F(BuildPackageTest, MissingFilesEndTheBuildWithoutLookingForThePreview) {
  Write("m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\nMask=gone.bmp\r\nFontFileName=f.fnt\r\n");
  Write("a.bmp", "A");
  Write("preview.bmp", "PP");
  const std::string project = Write("config.zrp", "[MODULES]\r\nPicture=m.zrm\r\nFont=no.zrm\r\n");
  EXPECT_EQ(BuildOutcome::kFilesMissing, Build(project));
  EXPECT_EQ((Transcript{"clear",
                        "Создание списка файлов...",
                        "Список файлов создан!",
                        "Всего в проекте найдено 6 файл(ов)!",
                        "Проверка существования файлов...",
                        "config.zrp  [ok]",
                        "select 4",
                        "no.zrm  [err]",
                        "select 5",
                        "m.zrm  [ok]",
                        "select 6",
                        "a.bmp  [ok]",
                        "select 7",
                        "gone.bmp  [err]",
                        "select 8",
                        "f.fnt  [err]",
                        "select 9",
                        "box error: ВНИМАНИЕ: Один или несколько файлов указанного проекта не "
                        "найдены! Операция будет прервана. Подробности смотрите в отчете.",
                        "Ошибка... Файл не найден...",
                        "select 10"}),
            log_);
}

TEST_F(BuildPackageTest, CancelThenNoAsksAgainAndCancelThenYesWritesNothing) {
  const std::string project = WriteSkin();
  names_ = {std::nullopt, std::nullopt};
  answers_ = {MessageAnswer::kNo, MessageAnswer::kYes};
  EXPECT_EQ(BuildOutcome::kCancelled, Build(project));
  const std::string question = "box question: Вы действительно хотите отменить операцию?";
  EXPECT_EQ(
      Concat(kVerifiedSkin, {"Проверка файлов успешно завершена!", "Подготовка к сборки zrk...",
                             "select 9", kSaveDialog, question, kSaveDialog, question,
                             "Операция прервана пользователем...", "select 10"}),
      log_);
  for (const auto& file : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_NE(".zrk", file.path().extension()) << file.path();
  }
}

// "No" asks for another name and leaves that file alone; "Yes" replaces the file whole.
TEST_F(BuildPackageTest, OverwriteQuestionDecidesOverAnExistingPackage) {
  const std::string project = WriteSkin();
  Write("old.zrk", "old package");
  Write("skin.zrk", std::string(100000, 'x'));
  names_ = {Out("old"), Out("skin")};
  answers_ = {MessageAnswer::kNo, MessageAnswer::kYes};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  const auto question = [this](const std::string& name) {
    return "box question: Файл '" + Out(name) + "' уже существует! Хотите заменить его?";
  };
  EXPECT_EQ((Transcript{kSaveDialog, question("old.zrk"), kSaveDialog, question("skin.zrk"),
                        "Операция успешно завершена!",
                        "box information: Операция успешно завершена!", "select 10"}),
            Transcript(log_.end() - 7, log_.end()));
  EXPECT_EQ("old package", testing::ReadFile(Out("old.zrk")));
  EXPECT_EQ(std::string::npos, testing::ReadFile(Out("skin.zrk")).find('x'));
  EXPECT_EQ(4u, EntryNames(Out("skin.zrk")).size());
}

TEST_F(BuildPackageTest, ExtensionIsAlwaysAppended) {
  const std::string project = WriteSkin();
  Write("skin.zrk", "keep me");
  names_ = {Out("skin.zrk")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ("keep me", testing::ReadFile(Out("skin.zrk")));
  EXPECT_EQ(4u, EntryNames(Out("skin.zrk.zrk")).size());
}

TEST_F(BuildPackageTest, FailedWriteReportsTheFileAndLeavesNothing) {
  const std::string project = WriteSkin();
  names_ = {Out("no-such-folder/skin")};
  EXPECT_EQ(BuildOutcome::kFailed, Build(project));
  ASSERT_GE(log_.size(), 3u);
  const std::string line = log_[log_.size() - 3];
  EXPECT_EQ(0u, line.rfind("Ошибка... ", 0)) << line;
  EXPECT_NE(std::string::npos, line.find("skin.zrk")) << line;
  EXPECT_EQ("select 10", log_[log_.size() - 2]);
  EXPECT_EQ("box error: " + line, log_.back());
  EXPECT_FALSE(std::filesystem::exists(Out("no-such-folder")));
}

#ifndef _WIN32
// What the writer would refuse ends the build with its error before the save dialog, so the user
// is never asked for a name that cannot be written, and a check gives the same verdict.
TEST_F(BuildPackageTest, WhatTheWriterRefusesStopsBeforeTheSaveDialog) {
  Write("a.bmp", "A");
  Write("a*b.bmp", "star");
  ASSERT_EQ(0, ::mkfifo(Out("pipe.bmp").c_str(), 0600));
  const struct {
    std::string project, module, culprit;
  } kCases[] = {
      // The project's own name, chosen in the open dialog, has no Windows-1251 form.
      {"漢.zrp", "Picture=a.bmp", "漢.zrp"},
      {"config.zrp", "Picture=a*b.bmp", "a*b.bmp"},
      {"config.zrp", "Picture=pipe.bmp", "pipe.bmp"},
  };
  for (const auto& c : kCases) {
    for (const bool check_only : {false, true}) {
      SCOPED_TRACE(c.culprit + (check_only ? " (check)" : ""));
      Write("m.zrm", "[STANDARD]\r\n" + c.module + "\r\n");
      const std::string project = Write(c.project, "[MODULES]\r\nPicture=m.zrm\r\n");
      lines_.clear();
      EXPECT_EQ(BuildOutcome::kFailed, BuildPackage(project, *this, *this, check_only));
      EXPECT_EQ(0u, lines_.back().rfind("Ошибка... ", 0)) << lines_.back();
      EXPECT_NE(std::string::npos, lines_.back().find(c.culprit)) << lines_.back();
      EXPECT_TRUE(dialog_.calls.empty());
    }
  }
}
#endif

}  // namespace
}  // namespace zrk

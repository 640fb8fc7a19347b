// Whole transcripts of builds: report lines, selections, message boxes and save dialogs.
#include "assembly/build_driver.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "assembly/package_reader.h"
#include "dialogs/mdlCdlg.h"
#include "test_util.h"

namespace zrk {
namespace {

using Transcript = std::vector<std::string>;

// Records every report operation into the shared transcript.
class RecordingReport : public Report {
 public:
  explicit RecordingReport(Transcript& log) : log_(log) {}
  void Clear() override {
    lines_.clear();
    log_.push_back("clear");
  }
  void AddLine(const std::string& line) override {
    lines_.push_back(line);
    log_.push_back(line);
  }
  std::int16_t LineCount() const override { return static_cast<std::int16_t>(lines_.size()); }
  void SetSelectedIndex(std::int16_t index) override {
    log_.push_back("select " + std::to_string(index));
  }
  std::vector<std::string> lines_;

 private:
  Transcript& log_;
};

// Answers boxes from a script; a question the script did not expect fails the test.
class ScriptedBoxes : public MessageBoxes {
 public:
  explicit ScriptedBoxes(Transcript& log) : log_(log) {}
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
  std::deque<MessageAnswer> answers_;

 private:
  Transcript& log_;
};

// A save dialog that returns scripted names (nullopt cancels) and records how it was set up.
class ScriptedDialog : public FileDialogPlatform {
 public:
  explicit ScriptedDialog(Transcript& log) : log_(log) {}
  std::int32_t ShowOpenDialog(DialogRecord&) override {
    ADD_FAILURE() << "a build never opens an open dialog";
    return 0;
  }
  std::int32_t ShowSaveDialog(DialogRecord& record) override {
    const kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    log_.push_back("save dialog [" + dialog.OKText() + "] [" + dialog.Filter() + "] [" +
                   BufferText(record.file) + "]");
    if (names_.empty()) {
      ADD_FAILURE() << "unexpected save dialog";
      return 0;
    }
    const std::optional<std::string> name = names_.front();
    names_.pop_front();
    if (!name) return 0;
    StoreInBuffer(record.file, record.max_file, *name);
    StoreInBuffer(record.file_title, record.max_file_title, "x");
    return 1;
  }
  std::deque<std::optional<std::string>> names_;

 private:
  Transcript& log_;
};

class BuildPackageTest : public testing::TempDirTest {
 protected:
  BuildPackageTest() { previous_ = mdlCdlg::SetDialogPlatform(&dialog_); }
  ~BuildPackageTest() override { mdlCdlg::SetDialogPlatform(previous_); }

  // A project naming one module with two pictures; every file present.
  std::string WriteSkin() {
    Write("m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\nMask=b.bmp\r\n");
    Write("a.bmp", "AAAA");
    Write("b.bmp", "BB");
    return Write("config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
  }
  BuildOutcome Build(const std::string& project) {
    return BuildPackage(project, report_, boxes_);
  }
  std::string Out(const std::string& name) const { return dir_.folder() + name; }

  Transcript log_;
  RecordingReport report_{log_};
  ScriptedBoxes boxes_{log_};
  ScriptedDialog dialog_{log_};
  FileDialogPlatform* previous_ = nullptr;
};

const Transcript kVerifiedSkin = {
    "clear",
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
    "select 7",
};
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
  dialog_.names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ(Concat(kVerifiedSkin, {"Проверка файлов успешно завершена!",
                                   "Подготовка к сборки zrk...", "select 9", kSaveDialog,
                                   "Операция успешно завершена!",
                                   "box information: Операция успешно завершена!", "select 10"}),
            log_);
  EXPECT_EQ((std::vector<std::string>{"config.zrp", "m.zrm", "a.bmp", "b.bmp"}),
            EntryNames(Out("skin.zrk")));
}

TEST_F(BuildPackageTest, PreviewPictureIsAppendedWithoutItsOwnLine) {
  const std::string project = WriteSkin();
  Write("preview.bmp", "PP");
  dialog_.names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ(Concat(kVerifiedSkin, {"Дополнительно найден файл предварительного просмотра скина!",
                                   "Проверка файлов успешно завершена!",
                                   "Подготовка к сборки zrk...", "select 10", kSaveDialog,
                                   "Операция успешно завершена!",
                                   "box information: Операция успешно завершена!", "select 11"}),
            log_);
  EXPECT_EQ("preview.bmp", EntryNames(Out("skin.zrk")).back());
}

TEST_F(BuildPackageTest, PreviewNamedByAModuleIsWrittenTwice) {
  Write("m.zrm", "[STANDARD]\r\nPicture=preview.bmp\r\n");
  Write("preview.bmp", "PP");
  const std::string project = Write("config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
  dialog_.names_ = {Out("skin")};
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
  EXPECT_EQ((Transcript{"clear", "Создание списка файлов...", "Список файлов создан!",
                        "Всего в проекте найдено 6 файл(ов)!", "Проверка существования файлов...",
                        "config.zrp  [ok]", "select 4", "no.zrm  [err]", "select 5",
                        "m.zrm  [ok]", "select 6", "a.bmp  [ok]", "select 7",
                        "gone.bmp  [err]", "select 8", "f.fnt  [err]", "select 9",
                        "box error: ВНИМАНИЕ: Один или несколько файлов указанного проекта не "
                        "найдены! Операция будет прервана. Подробности смотрите в отчете.",
                        "Ошибка... Файл не найден...", "select 10"}),
            log_);
}

TEST_F(BuildPackageTest, ProjectWithoutModulesCountsOneFile) {
  const std::string project = Write("config.zrp", "[DIRECTIVES]\r\n");
  dialog_.names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ("Всего в проекте найдено 1 файл(ов)!", report_.lines_[2]);
  EXPECT_EQ((std::vector<std::string>{"config.zrp"}), EntryNames(Out("skin.zrk")));
}

TEST_F(BuildPackageTest, CancelThenNoAsksAgainAndCancelThenYesWritesNothing) {
  const std::string project = WriteSkin();
  dialog_.names_ = {std::nullopt, std::nullopt};
  boxes_.answers_ = {MessageAnswer::kNo, MessageAnswer::kYes};
  EXPECT_EQ(BuildOutcome::kCancelled, Build(project));
  const std::string question = "box question: Вы действительно хотите отменить операцию?";
  EXPECT_EQ(Concat(kVerifiedSkin, {"Проверка файлов успешно завершена!",
                                   "Подготовка к сборки zrk...", "select 9", kSaveDialog, question,
                                   kSaveDialog, question, "Операция прервана пользователем...",
                                   "select 10"}),
            log_);
  for (const auto& file : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_NE(".zrk", file.path().extension()) << file.path();
  }
}

TEST_F(BuildPackageTest, DecliningTheOverwriteAsksForAnotherName) {
  const std::string project = WriteSkin();
  Write("old.zrk", "old package");
  dialog_.names_ = {Out("old"), Out("new")};
  boxes_.answers_ = {MessageAnswer::kNo};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  const Transcript tail(log_.end() - 6, log_.end());
  EXPECT_EQ((Transcript{kSaveDialog,
                        "box question: Файл '" + Out("old.zrk") +
                            "' уже существует! Хотите заменить его?",
                        kSaveDialog, "Операция успешно завершена!",
                        "box information: Операция успешно завершена!", "select 10"}),
            tail);
  EXPECT_EQ("old package", testing::ReadFile(Out("old.zrk")));
  EXPECT_EQ(4u, EntryNames(Out("new.zrk")).size());
}

TEST_F(BuildPackageTest, AcceptedOverwriteLeavesNoneOfTheOldBytes) {
  const std::string project = WriteSkin();
  Write("skin.zrk", std::string(100000, 'x'));
  dialog_.names_ = {Out("skin")};
  boxes_.answers_ = {MessageAnswer::kYes};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  const std::string package = testing::ReadFile(Out("skin.zrk"));
  EXPECT_EQ(std::string::npos, package.find('x'));
  EXPECT_EQ(4u, EntryNames(Out("skin.zrk")).size());
}

TEST_F(BuildPackageTest, ExtensionIsAlwaysAppended) {
  const std::string project = WriteSkin();
  Write("skin.zrk", "keep me");
  dialog_.names_ = {Out("skin.zrk")};
  EXPECT_EQ(BuildOutcome::kWritten, Build(project));
  EXPECT_EQ("keep me", testing::ReadFile(Out("skin.zrk")));
  EXPECT_EQ(4u, EntryNames(Out("skin.zrk.zrk")).size());
}

TEST_F(BuildPackageTest, SecondBuildStartsFromAClearedReport) {
  const std::string project = WriteSkin();
  dialog_.names_ = {Out("one"), Out("two")};
  Build(project);
  log_.clear();
  Build(project);
  EXPECT_EQ("clear", log_.front());
  EXPECT_EQ(11u, report_.lines_.size());
  EXPECT_EQ("Создание списка файлов...", report_.lines_.front());
}

TEST_F(BuildPackageTest, FailedWriteReportsTheFileAndLeavesNothing) {
  const std::string project = WriteSkin();
  dialog_.names_ = {Out("no-such-folder/skin")};
  EXPECT_EQ(BuildOutcome::kFailed, Build(project));
  ASSERT_GE(log_.size(), 3u);
  const std::string line = log_[log_.size() - 3];
  EXPECT_EQ(0u, line.rfind("Ошибка... ", 0)) << line;
  EXPECT_NE(std::string::npos, line.find("skin.zrk")) << line;
  EXPECT_EQ("select 10", log_[log_.size() - 2]);
  EXPECT_EQ("box error: " + line, log_.back());
  EXPECT_FALSE(std::filesystem::exists(Out("no-such-folder")));
}

TEST_F(BuildPackageTest, NameWithoutWindows1251FormStopsBeforeWriting) {
  Write("m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\n");
  Write("a.bmp", "A");
  // A name that reached the list some other way than through an INI file: the project file's
  // own name, chosen in the open dialog.
  const std::string odd_project = Write("漢.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
  dialog_.names_ = {Out("skin")};
  EXPECT_EQ(BuildOutcome::kFailed, Build(odd_project));
  EXPECT_EQ(0u, report_.lines_.back().rfind("Ошибка... ", 0));
  EXPECT_NE(std::string::npos, report_.lines_.back().find("漢.zrp"));
  EXPECT_FALSE(std::filesystem::exists(Out("skin.zrk")));
}

TEST_F(BuildPackageTest, CheckOnlyStopsBeforeTheSaveDialog) {
  const std::string project = WriteSkin();
  EXPECT_EQ(BuildOutcome::kChecked, BuildPackage(project, report_, boxes_, true));
  EXPECT_EQ("Подготовка к сборки zrk...", report_.lines_.back());
}

}  // namespace
}  // namespace zrk

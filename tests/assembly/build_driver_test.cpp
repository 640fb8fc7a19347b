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

#include "dialogs/fake_dialog_platform.h"
#include "test_util.h"

namespace zrk {
namespace {

using Transcript = std::vector<std::string>;

// The next answer of a script; one the script does not have fails the test.
template <typename T>
T Next(std::deque<T>& script, const T& otherwise, const std::string& asked) {
  if (script.empty()) {
    ADD_FAILURE() << "unexpected: " << asked;
    return otherwise;
  }
  const T next = script.front();
  script.pop_front();
  return next;
}

// The report, message boxes and save dialogs of one build of a skin in a folder of its own, in one
// transcript where "@" is the folder, and the report's events in another. Boxes and dialogs answer
// from scripts.
class Session : public Report, public MessageBoxes {
 public:
  Session(std::deque<std::optional<std::string>> names, std::deque<MessageAnswer> answers)
      : names_(std::move(names)), answers_(std::move(answers)) {
    dialog_.answer = [this](DialogRecord& record) -> std::int32_t {
      const kelCommonDialog& dialog = mdlCdlg::SharedDialog();
      Log(dialog_.calls.back() + " dialog [" + dialog.OKText() + "] [" + dialog.Filter() + "] [" +
          BufferText(record.file) + "]");
      const std::optional<std::string> name = Next(names_, {}, log.back());
      return name && StoreInBuffer(record.file, record.max_file, dir.folder() + *name) ? 1 : 0;
    };
  }

  void Clear() override {
    lines_ = 0;
    Log("clear");
  }
  void AddLine(const std::string& line) override {
    ++lines_;
    Log(line);
  }
  std::int16_t LineCount() const override { return lines_; }
  void SetSelectedIndex(std::int16_t i) override { Log("select " + std::to_string(i)); }
  void FileListCollected(const ListedFiles& files) override {
    for (std::size_t i = 0; i < files.names().size(); ++i) {
      events.push_back("listed " + Named(files.names()[i], files.OriginOf(i)));
    }
  }
  void FileTested(std::size_t index, const std::string& name, bool found) override {
    events.push_back("tested " + std::to_string(index) + " " + name + (found ? "" : " missing"));
  }
  void PreviewAdded(const std::string& name, const NameOrigin& origin) override {
    events.push_back("added " + Named(name, origin));
  }
  void BuildEnded(BuildOutcome outcome, const std::string& error_line) override {
    static const char* const kOutcomes[] = {"written",   "checked", "missing",
                                            "cancelled", "failed",  "not replaced"};
    events.push_back(std::string("ended ") + kOutcomes[static_cast<int>(outcome)] +
                     (error_line.empty() ? "" : ": ") + error_line);
  }
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
    static const char* const kIcons[] = {"error", "question", "information"};
    Log(std::string("box ") + kIcons[static_cast<int>(icon)] + ": " + text);
    return buttons == MessageButtons::kOk ? MessageAnswer::kOk
                                          : Next(answers_, MessageAnswer::kNo, log.back());
  }

  // Writes a project naming one module with two pictures, every file present, then files.
  void WriteSkin(const std::vector<std::pair<std::string, std::string>>& files) {
    testing::WriteFile(dir.path() / "m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\nMask=b.bmp\r\n");
    testing::WriteFile(dir.path() / "a.bmp", "AAAA");
    testing::WriteFile(dir.path() / "b.bmp", "BB");
    testing::WriteFile(dir.path() / "config.zrp", "[MODULES]\r\nPicture=m.zrm\r\n");
    for (const auto& [name, bytes] : files) testing::WriteFile(dir.path() / name, bytes);
  }
  // The .zrk files afterwards as testing::Tree shows them; the writer's test checks their bytes.
  std::vector<std::string> Packages() const {
    std::vector<std::string> found = testing::Tree(dir.path());
    std::erase_if(found,
                  [](const std::string& item) { return item.find(".zrk") == std::string::npos; });
    return found;
  }

  testing::TempDir dir;
  Transcript log, events;
  testing::FakeDialogPlatform dialog_;

 private:
  static std::string Named(const std::string& name, const NameOrigin& at) {
    if (at.kind == NameOrigin::Kind::kProjectFile) return name + " (project)";
    if (at.kind == NameOrigin::Kind::kPreview) return name + " (preview)";
    return name + " <- " + at.file + " [" + at.section + "] " + at.key;
  }
  void Log(std::string line) {
    for (auto at = line.find(dir.folder()); at != std::string::npos; at = line.find(dir.folder()))
      line.replace(at, dir.folder().size(), "@");
    log.push_back(std::move(line));
  }
  std::int16_t lines_ = 0;
  std::deque<std::optional<std::string>> names_;
  std::deque<MessageAnswer> answers_;
};

Transcript Join(std::initializer_list<Transcript> pieces) {
  Transcript whole;
  for (const Transcript& piece : pieces) whole.insert(whole.end(), piece.begin(), piece.end());
  return whole;
}

// Pieces of the transcripts of WriteSkin's skin.
const Transcript kStart = {"clear", "Создание списка файлов...", "Список файлов создан!"};
const Transcript kChecked = {"Проверка файлов успешно завершена!", "Подготовка к сборки zrk..."};

// One build of the skin of WriteSkin, with files written over it and the answers of the user.
struct BuildRun {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;
  std::deque<std::optional<std::string>> names;  // in the save dialogs; nullopt cancels
  std::deque<MessageAnswer> answers;
  BuildOutcome outcome;
  Transcript log;
  std::vector<std::string> packages;  // Packages() afterwards
  Transcript events = {};             // the report's events, where a row checks them
};

std::vector<BuildRun> BuildRuns() {
  const std::string cancel = "box question: Вы действительно хотите отменить операцию?";
  const auto exists = [](const std::string& name) {
    return "box question: Файл '@" + name + "' уже существует! Хотите заменить его?";
  };
  const std::string failed =
      "Ошибка... не удалось создать пакет '@no-such-folder/skin.zrk': нет такого файла или папки";
  const std::string dialog = "save dialog [Сохранить] [Файлы оболочек ZR 4.x (*.zrk)|*.zrk] []";
  const std::string success = "Операция успешно завершена!";
  // clang-format off
  const Transcript checking = {"Проверка существования файлов...", "config.zrp  [ok]", "select 4",
                               "m.zrm  [ok]", "select 5", "a.bmp  [ok]", "select 6"};
  const Transcript written = {success, "box information: " + success};
  // The skin of WriteSkin, every file found, up to the save dialog.
  const Transcript to_dialog = Join({kStart, {"Всего в проекте найдено 4 файл(ов)!"}, checking,
                                     {"b.bmp  [ok]", "select 7"}, kChecked, {"select 9", dialog}});
  return {
      // The preview picture is appended without a line of its own, although a module names it
      // (two entries of 26 bytes on the 160 of the package below, whose m.zrm is 29 bytes shorter).
      {"preview found and named by a module",
       {{"m.zrm", "[STANDARD]\r\nPicture=a.bmp\r\nMask=b.bmp\r\n[EFFECTS]\r\nFrames=preview.bmp"},
        {"preview.bmp", "PP"}},
       {"skin"}, {}, BuildOutcome::kWritten,
       Join({kStart, {"Всего в проекте найдено 5 файл(ов)!"}, checking,
             {"b.bmp  [ok]", "select 7", "preview.bmp  [ok]", "select 8",
              "Дополнительно найден файл предварительного просмотра скина!"},
             kChecked, {"select 11", dialog}, written, {"select 12"}}),
       {"skin.zrk: 241 bytes"},
       {"listed config.zrp (project)", "listed m.zrm <- config.zrp [MODULES] Picture",
        "listed a.bmp <- m.zrm [STANDARD] Picture", "listed b.bmp <- m.zrm [STANDARD] Mask",
        "listed preview.bmp <- m.zrm [EFFECTS] Frames", "tested 0 config.zrp", "tested 1 m.zrm",
        "tested 2 a.bmp", "tested 3 b.bmp", "tested 4 preview.bmp", "added preview.bmp (preview)",
        "ended written"}},
      // Missing files end the build before the preview is looked for.
      {"missing files",
       {{"m.zrm", "[STANDARD]\r\nPicture=gone.bmp\r\nMask=b.bmp\r\n"}, {"preview.bmp", "PP"}},
       {}, {}, BuildOutcome::kFilesMissing,
       Join({kStart, {"Всего в проекте найдено 4 файл(ов)!", "Проверка существования файлов...",
           "config.zrp  [ok]", "select 4", "m.zrm  [ok]", "select 5", "gone.bmp  [err]", "select 6",
           "b.bmp  [ok]", "select 7", "box error: ВНИМАНИЕ: Один или несколько файлов указанного "
           "проекта не найдены! Операция будет прервана. Подробности смотрите в отчете.",
           "Ошибка... Файл не найден...", "select 8"}}),
       {},
       {"listed config.zrp (project)", "listed m.zrm <- config.zrp [MODULES] Picture",
        "listed gone.bmp <- m.zrm [STANDARD] Picture", "listed b.bmp <- m.zrm [STANDARD] Mask",
        "tested 0 config.zrp", "tested 1 m.zrm", "tested 2 gone.bmp missing", "tested 3 b.bmp",
        "ended missing"}},
      // "No" to cancelling shows the dialog again; "Yes" ends the build.
      {"cancelled", {}, {std::nullopt, std::nullopt}, {MessageAnswer::kNo, MessageAnswer::kYes},
       BuildOutcome::kCancelled,
       Join({to_dialog,
             {cancel, dialog, cancel, "Операция прервана пользователем...", "select 10"}}),
       {}},
      // ".zrk" is always appended; "No" asks for another name and leaves that file alone, "Yes"
      // replaces the file whole (160 bytes: the magic, then config.zrp, m.zrm, a.bmp, b.bmp).
      {"existing packages",
       {{"old.zrk", "old package"}, {"skin.zrk", "keep me"},
        {"skin.zrk.zrk", "long " + std::string(100000, 'x')}},
       {"old", "skin.zrk"}, {MessageAnswer::kNo, MessageAnswer::kYes}, BuildOutcome::kWritten,
       Join({to_dialog, {exists("old.zrk"), dialog, exists("skin.zrk.zrk")}, written,
             {"select 10"}}),
       {"old.zrk: old package", "skin.zrk.zrk: 160 bytes", "skin.zrk: keep me"}},
      // The writer's error is reported, and nothing is left behind.
      {"failed write", {}, {"no-such-folder/skin"}, {}, BuildOutcome::kFailed,
       Join({to_dialog, {failed, "select 10", "box error: " + failed}}), {}},
  };
  // clang-format on
}

using BuildRunTest = ::testing::TestWithParam<BuildRun>;
INSTANTIATE_TEST_SUITE_P(, BuildRunTest, ::testing::ValuesIn(BuildRuns()),
                         testing::NameOfRow<BuildRun>);

TEST_P(BuildRunTest, WholeTranscript) {
  const BuildRun& run = GetParam();
  Session session(run.names, run.answers);
  session.WriteSkin(run.files);
  EXPECT_EQ(run.outcome, BuildPackage(session.dir.folder() + "config.zrp", session, session));
  EXPECT_EQ(run.log, session.log);
  EXPECT_EQ(run.packages, session.Packages());
  if (!run.events.empty()) {
    EXPECT_EQ(run.events, session.events);
  }
}

// What the writer would refuse ends a build before the save dialog, so that the user is never
// asked for a name that cannot be written, and a check the same: the project's own name with no
// Windows-1251 form, a source that is no regular file (a pipe would never end).
struct Refusal {
  const char* name;
  std::string project, picture;
  bool check_only;
  std::string error;
};
const Refusal kRefusals[] = {
    {"project name with no Windows-1251 form", "漢.zrp", "a.bmp", false,
     "имя файла '漢.zrp' нельзя записать в кодировке Windows-1251"},
    {"source that is no regular file", "config.zrp", "pipe.bmp", true,
     "не удалось открыть файл 'pipe.bmp': это не обычный файл"},
};
using WriterRefusalTest = ::testing::TestWithParam<Refusal>;
INSTANTIATE_TEST_SUITE_P(, WriterRefusalTest, ::testing::ValuesIn(kRefusals),
                         testing::NameOfRow<Refusal>);

TEST_P(WriterRefusalTest, StopsTheBuildBeforeTheSaveDialog) {
  ZRK_SKIP_ON_WINDOWS("a named pipe stands for the source that is no regular file");
  const auto& [name, project, picture, check_only, error] = GetParam();
  Session session({}, {});
  session.WriteSkin({{"m.zrm", "[STANDARD]\r\nPicture=" + picture + "\r\n"},
                     {project, "[MODULES]\r\nPicture=m.zrm\r\n"}});
#ifndef _WIN32
  ASSERT_EQ(0, ::mkfifo((session.dir.folder() + "pipe.bmp").c_str(), 0600));
#endif
  EXPECT_EQ(BuildOutcome::kFailed,
            BuildPackage(session.dir.folder() + project, session, session, check_only));
  const std::string line = "Ошибка... " + error;
  EXPECT_EQ(Join({kStart,
                  {"Всего в проекте найдено 3 файл(ов)!", "Проверка существования файлов...",
                   project + "  [ok]", "select 4", "m.zrm  [ok]", "select 5", picture + "  [ok]",
                   "select 6", line, "select 7", "box error: " + line}}),
            session.log);
  EXPECT_EQ("ended failed: " + line, session.events.back());
}

}  // namespace
}  // namespace zrk

// What the Win32 window's tests share: scripted boxes and dialogs, a shown window over a
// temporary skin, the user's drops, and the report of a build.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/win32/form1.h"
#include "app/win32/window_text.h"
#include "dialogs/fake_dialog_platform.h"
#include "platform/native_path.h"
#include "test_util.h"

namespace zrk::app {

// Answers the boxes in order from answers ("Yes" once they run out), "OK" to the rest; keeps
// every text shown.
class FakeBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons buttons) override {
    shown.push_back(text);
    if (buttons != MessageButtons::kYesNo) return MessageAnswer::kOk;
    if (answers.empty()) return MessageAnswer::kYes;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> shown;
  std::deque<MessageAnswer> answers;
};

inline void DispatchPending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// What Explorer hands over when a file is dropped: a DROPFILES header, then NUL-ended names.
inline void Drop(HWND window, const std::wstring& file) {
  const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (file.size() + 2) * 2);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  file.copy(reinterpret_cast<wchar_t*>(header + 1), file.size());
  ::GlobalUnlock(memory);
  ::SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  DispatchPending();  // what was dropped is opened once the drop has ended
}

// A shown window over a temporary folder that holds skin/config.zrp, a project of one empty
// module, and an empty folder out/; the file dialogs cancel until AnswerDialogs.
struct Form1Harness {
  Form1Harness() {
    testing::WriteFile(dir.path() / "skin" / "config.zrp", "[MODULES]\r\nBackGround=bg.zrm\r\n");
    testing::WriteFile(dir.path() / "skin" / "bg.zrm", "[STANDARD]\r\n");
    std::filesystem::create_directory(dir.path() / "out");
    EXPECT_TRUE(form.Create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  }

  // The full path of name ("/" between folders) in the temporary folder, in UTF-8.
  std::string Path(const std::string& name) const {
    return platform::Utf8FromPath((dir.path() / name).make_preferred());
  }
  HWND Control(int id) const { return ::GetDlgItem(form.hwnd(), id); }
  std::vector<std::string> Lines() const { return LinesOf(Control(Form1::kList1Id)); }
  void Click(int id) const { ::SendMessageW(Control(id), BM_CLICK, 0, 0); }

  // Makes the open dialog choose project and the save dialog a new package in out/; returns
  // the package's path.
  std::string AnswerDialogs(const std::string& project = "") {
    const std::string opened = project.empty() ? Path("skin/config.zrp") : project;
    const std::string package = Path("out/package" + std::to_string(++packages));
    platform.answer = [this, opened, package](DialogRecord& record) {
      return StoreInBuffer(record.file, record.max_file,
                           platform.calls.back() == "open" ? opened : package)
                 ? 1
                 : 0;
    };
    return package + ".zrk";
  }

  testing::TempDir dir;
  testing::FakeDialogPlatform platform;
  FakeBoxes boxes;
  Form1 form{&boxes};
  int packages = 0;
};

// The line that ends the report of a build that wrote package with files.
inline std::string PackageLine(const std::string& package, int files) {
  return "Пакет '" + package + "' записан: файлов " + std::to_string(files) + ", " +
         std::to_string(std::filesystem::file_size(platform::PathFromUtf8(package))) + " байт";
}

// The report of a build of the harness's skin into package, as the user reads it.
inline std::vector<std::string> ReportWritten(const std::string& package) {
  return {"Создание списка файлов...",
          "Список файлов создан!",
          "Всего в проекте найдено 2 файл(ов)!",
          "Проверка существования файлов...",
          "config.zrp  [ok]",
          "bg.zrm  [ok]",
          "Проверка файлов успешно завершена!",
          "Подготовка к сборки zrk...",
          "Операция успешно завершена!",
          PackageLine(package, 2)};
}

}  // namespace zrk::app

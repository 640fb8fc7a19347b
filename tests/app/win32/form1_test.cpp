// Tests of the Win32 main window under Wine (it needs a display): its controls and focus order,
// and Form1 runs one build at a time.
#include "app/win32/form1.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/mdlCdlg.h"
#include "form1_harness.h"

namespace zrk::app {
namespace {

// The user during a build: clicks Browse again and closes the window in the open dialog, Exit in
// the save dialog; answers each box at once. Notes each with the report's selected line.
class PokingUser : public FileDialogPlatform, public MessageBoxes {
 public:
  std::int32_t ShowOpenDialog(DialogRecord& record) override {
    Note("open");
    ::SendMessageW(controls[kBrowse], BM_CLICK, 0, 0);
    ::SendMessageW(form, WM_CLOSE, 0, 0);
    return StoreInBuffer(record.file, record.max_file, project) ? 1 : 0;
  }
  std::int32_t ShowSaveDialog(DialogRecord& record) override {
    Note("save");
    ::SendMessageW(controls[kExit], BM_CLICK, 0, 0);
    return StoreInBuffer(record.file, record.max_file, package) ? 1 : 0;
  }
  MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons buttons) override {
    Note(text);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
  }
  void Note(const std::string& shown) {
    std::string selected;
    for (const std::string& line : LinesOf(controls[kReport], true)) selected += line;
    seen.push_back(shown + " | " + selected + (::IsWindow(form) ? "" : " | closed"));
  }
  HWND form = nullptr;
  std::vector<HWND> controls;  // the main window's, in creation order
  enum { kBrowse, kReport, kExit };
  std::string project, package;
  std::vector<std::string> seen;
};

// Browse, and a project dropped from Explorer, each build once: a second Browse, Close or Exit
// during a build does nothing; a dropped file that is not a project is left alone.
TEST(Win32Form1, ControlsFocusOrderAndOneBuildAtATime) {
  PokingUser user;
  Form1 form(&user);
  ASSERT_TRUE(form.Create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  user.form = form.hwnd();
  std::vector<std::wstring> texts{TextOf(user.form)};
  for (HWND c = ::GetWindow(user.form, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    user.controls.push_back(c);
    texts.push_back(TextOf(c));
  }
  ASSERT_EQ((std::vector<std::wstring>{
                L"Сборщик ZRK серии 4.x (29)", L"Обзор...", L"", L"Выход",
                L"Выберите файл проекта config.zrp, все остальное программа сделает сама ;-)",
                L"© 2026 Сборщик ZRK", L"", L""}),
            texts);
  // The focus starts on Browse; Tab goes to the report, Exit and back, never to a label.
  EXPECT_EQ(user.controls[0], ::GetFocus());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(user.controls[(i + 1) % 3], ::GetNextDlgTabItem(user.form, user.controls[i], FALSE));
  }

  zrk::testing::TempDir dir;
  zrk::testing::WriteFile(dir.path() / "config.zrp", "[MODULES]\r\n");
  user.project = dir.path().string() + "\\config.zrp";
  user.package = dir.path().string() + "\\skin";
  mdlCdlg::SetDialogPlatform(&user);
  ::SendMessageW(user.controls[PokingUser::kBrowse], BM_CLICK, 0, 0);
  user.package = dir.path().string() + "\\dropped";
  Drop(user.form, (dir.path() / "notes.txt").wstring());
  Drop(user.form, (dir.path() / "config.zrp").wstring());
  mdlCdlg::SetDialogPlatform(nullptr);

  // One open dialog: neither the click inside it nor the drop opened another. Each dialog and box
  // opens beside the whole report, and the build ends with the package's line selected alone.
  user.Note("idle");
  const std::string success = "Операция успешно завершена!";
  const std::string preparing = "Подготовка к сборки zrk...";
  EXPECT_EQ((std::vector<std::string>{"open | ", "save | " + preparing, success + " | " + preparing,
                                      "save | " + preparing, success + " | " + preparing,
                                      "idle | " + PackageLine(user.package + ".zrk", 1)}),
            user.seen);
  EXPECT_TRUE(exists(dir.path() / "skin.zrk") && exists(dir.path() / "dropped.zrk"));

  // Idle again: Exit closes the window.
  ::SendMessageW(user.controls[PokingUser::kExit], BM_CLICK, 0, 0);
  DispatchPending();
  EXPECT_EQ(nullptr, form.hwnd());
}

}  // namespace
}  // namespace zrk::app

// Tests of the Win32 file dialogs and main window under Wine (they need a display): the hook
// centres and relabels the system's Explorer-style dialog, and Form1 has its controls, focus
// order and re-entrance rule.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/win32/form1.h"
#include "app/win32/win32_dialog_platform.h"
#include "app/win32/win32_window_operations.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"
#include "test_util.h"

namespace zrk::app {
namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            static_cast<int>(wide.size()))));
  return wide;
}

// The real window functions, noting what the hook asked of them and what the dialog showed
// then; once the captions are set it cancels the dialog.
class RecordingWindows : public Win32WindowOperations {
 public:
  WindowHandle ParentOf(WindowHandle window) override {
    hook_window = window;
    frame = Win32WindowOperations::ParentOf(window);
    return frame;
  }
  WindowRect Rect(WindowHandle window) override {
    rect = Win32WindowOperations::Rect(window);
    return rect;
  }
  void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
            std::int32_t height) override {
    moves.push_back({x, y, x + width, y + height});
    moved = window;
    Win32WindowOperations::Move(window, x, y, width, height);
  }
  void SetControlText(WindowHandle window, DialogControl control,
                      const std::string& text) override {
    Win32WindowOperations::SetControlText(window, control, text);
    const HWND dialog = reinterpret_cast<HWND>(window);
    ok_caption = TextOf(::GetDlgItem(dialog, IDOK));
    cancel_caption = TextOf(::GetDlgItem(dialog, IDCANCEL));
    wchar_t filter[256] = {};
    ::SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
    first_filter = filter;
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }

  WindowHandle hook_window = 0, frame = 0, moved = 0;
  WindowRect rect;
  std::vector<WindowRect> moves;
  std::wstring ok_caption, cancel_caption, first_filter;
};

// The screen position that centres size pixels, both roundings to the even neighbour.
int Centred(int screen, int size) {
  const int free_space = screen - size;
  const int half = free_space / 2;
  if (free_space % 2 == 0) return half;
  return half % 2 == 0 ? half : half + 1;
}

class Win32DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mdlCdlg::SetDialogPlatform(&platform_);
    mdlCdlg::SetWindowOperations(&windows_);
  }
  void TearDown() override {
    mdlCdlg::SetDialogPlatform(nullptr);
    mdlCdlg::SetWindowOperations(nullptr);
  }
  Win32DialogPlatform platform_;
  RecordingWindows windows_;
};

TEST_F(Win32DialogTest, HookCentresTheFrameAndRelabelsOk) {
  for (const bool save : {false, true}) {
    SCOPED_TRACE(save ? "save dialog" : "open dialog");
    windows_ = RecordingWindows();
    kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SetOKText(std::string(save ? texts::kSaveOkText : texts::kOpenOkText));
    dialog.SetFilter(std::string(save ? texts::kPackageFilter : texts::kProjectFilter));
    dialog.SetFileName("");
    save ? dialog.ShowSave() : dialog.ShowOpen();

    EXPECT_EQ("", dialog.FileName());  // cancelled
    ASSERT_NE(0u, windows_.frame);
    EXPECT_NE(windows_.hook_window, windows_.frame);  // the hook's child dialog, and its frame
    EXPECT_EQ(windows_.frame, mdlCdlg::hDialogFrame());
    const int width = windows_.rect.right - windows_.rect.left;
    const int height = windows_.rect.bottom - windows_.rect.top;
    ASSERT_GT(width, 0);
    EXPECT_EQ(Centred(::GetSystemMetrics(SM_CXSCREEN), width), dialog.Left());
    EXPECT_EQ(Centred(::GetSystemMetrics(SM_CYSCREEN), height), dialog.Top());
    ASSERT_EQ(1u, windows_.moves.size());
    EXPECT_EQ(windows_.frame, windows_.moved);
    EXPECT_EQ(dialog.Left(), windows_.moves[0].left);
    EXPECT_EQ(dialog.Top(), windows_.moves[0].top);
    EXPECT_EQ(width, windows_.moves[0].right - windows_.moves[0].left);

    EXPECT_EQ(Wide(save ? texts::kSaveOkText : texts::kOpenOkText), windows_.ok_caption);
    EXPECT_NE(L"", windows_.cancel_caption);  // the system's own caption
    EXPECT_EQ(save ? L"Файлы оболочек ZR 4.x (*.zrk)" : L"Файлы проектов ZRK 4.x (*.zrp)",
              windows_.first_filter);
  }
}

// Message boxes that answer without showing anything.
class SilentBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons buttons) override {
    shown.push_back(text);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
  }
  std::vector<std::string> shown;
};

// A dialog platform that pokes the main window while its open dialog is "shown", then picks the
// project, and names the package in the save dialog, noting what the report showed then.
class PokingDialogs : public FileDialogPlatform {
 public:
  std::int32_t ShowOpenDialog(DialogRecord& record) override {
    ++opens;
    ::SendMessageW(browse, BM_CLICK, 0, 0);
    ::SendMessageW(form, WM_CLOSE, 0, 0);
    form_survived = ::IsWindow(form) != 0;
    return StoreInBuffer(record.file, record.max_file, project) ? 1 : 0;
  }
  std::int32_t ShowSaveDialog(DialogRecord& record) override {
    lines_at_save = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    selected_at_save = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    ::SendMessageW(exit, BM_CLICK, 0, 0);
    form_survived = form_survived && ::IsWindow(form) != 0;
    return StoreInBuffer(record.file, record.max_file, package) ? 1 : 0;
  }
  HWND form = nullptr, browse = nullptr, exit = nullptr, list = nullptr;
  std::string project, package;
  int opens = 0;
  LRESULT lines_at_save = 0, selected_at_save = LB_ERR;
  bool form_survived = false;
};

HWND Child(HWND parent, const wchar_t* window_class, std::string_view text) {
  return ::FindWindowExW(parent, nullptr, window_class,
                         text.empty() ? nullptr : Wide(text).c_str());
}

TEST(Win32Form1, ControlsFocusOrderAndOneBuildAtATime) {
  SilentBoxes boxes;
  Form1 form(&boxes);
  ASSERT_TRUE(form.Create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  const HWND window = form.hwnd();
  EXPECT_EQ(Wide(texts::kApplicationTitle), TextOf(window));
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(::MulDiv(4485, ::GetDeviceCaps(::GetDC(nullptr), LOGPIXELSX), 1440), client.right);
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MAXIMIZEBOX));

  const HWND browse = Child(window, L"BUTTON", texts::kBrowseCaption);
  const HWND exit = Child(window, L"BUTTON", texts::kExitCaption);
  const HWND list = Child(window, L"LISTBOX", "");
  ASSERT_TRUE(browse && exit && list);
  EXPECT_NE(nullptr, Child(window, L"STATIC", texts::kInstruction));
  EXPECT_NE(nullptr, Child(window, L"STATIC", texts::kRightsNotice));
  EXPECT_EQ(browse, ::GetFocus());
  EXPECT_EQ(list, ::GetNextDlgTabItem(window, browse, FALSE));
  EXPECT_EQ(exit, ::GetNextDlgTabItem(window, list, FALSE));
  EXPECT_EQ(browse, ::GetNextDlgTabItem(window, exit, FALSE));
  for (const HWND button : {browse, exit}) {
    EXPECT_EQ(0, ::GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON);
  }
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
  EXPECT_EQ(std::wstring(L"Courier New"), font.lfFaceName);
  EXPECT_EQ(RUSSIAN_CHARSET, font.lfCharSet);

  zrk::testing::TempDir dir;
  std::ofstream(dir.path() / "config.zrp", std::ios::binary) << "[MODULES]\r\n";
  PokingDialogs dialogs;
  dialogs.form = window;
  dialogs.browse = browse;
  dialogs.exit = exit;
  dialogs.list = list;
  dialogs.project = dir.path().string() + "\\config.zrp";
  dialogs.package = dir.path().string() + "\\skin";
  mdlCdlg::SetDialogPlatform(&dialogs);
  ::SendMessageW(browse, BM_CLICK, 0, 0);
  mdlCdlg::SetDialogPlatform(nullptr);

  EXPECT_EQ(1, dialogs.opens);  // the click inside the dialog started nothing
  EXPECT_TRUE(dialogs.form_survived);
  EXPECT_FALSE(form.busy());
  // The report paints at a human rate; the save dialog still opens beside all of it.
  EXPECT_EQ(dialogs.lines_at_save - 1, dialogs.selected_at_save);
  const LRESULT lines = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  ASSERT_GT(lines, 0);
  wchar_t last[256] = {};
  ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(lines - 1), reinterpret_cast<LPARAM>(last));
  EXPECT_EQ(Wide(texts::kSucceeded), last);
  EXPECT_EQ(lines - 1, ::SendMessageW(list, LB_GETCURSEL, 0, 0));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "skin.zrk"));
  EXPECT_EQ((std::vector<std::string>{std::string(texts::kSuccessBox)}), boxes.shown);

  // Idle again: Exit closes the window.
  ::SendMessageW(exit, BM_CLICK, 0, 0);
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  EXPECT_EQ(nullptr, form.hwnd());
}

// A project dropped on the idle window from Explorer, or named on the command line, is built as
// if chosen with Browse: no open dialog, then the save dialog. Any other file is left alone.
TEST(Win32Form1, DroppedProjectIsBuilt) {
  SilentBoxes boxes;
  Form1 form(&boxes);
  ASSERT_TRUE(form.Create(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  zrk::testing::TempDir dir;
  std::ofstream(dir.path() / "config.zrp", std::ios::binary) << "[MODULES]\r\n";
  PokingDialogs dialogs;
  dialogs.package = dir.path().string() + "\\dropped";
  mdlCdlg::SetDialogPlatform(&dialogs);
  const auto drop = [&](const std::wstring& file) {
    // What Explorer hands over: a DROPFILES header, then the names, each ending in a NUL.
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (file.size() + 2) * 2);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(file.begin(), file.end(), reinterpret_cast<wchar_t*>(header + 1));
    ::GlobalUnlock(memory);
    ::SendMessageW(form.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  };
  drop((dir.path() / "notes.txt").wstring());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "dropped.zrk"));
  drop((dir.path() / "config.zrp").wstring());
  mdlCdlg::SetDialogPlatform(nullptr);
  EXPECT_EQ(0, dialogs.opens);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "dropped.zrk"));
}

}  // namespace
}  // namespace zrk::app

// Tests of the Win32 file dialogs under Wine (they need a display): the hook centres and relabels
// the system's own dialog.
#include <windows.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/win32/win32_dialog_platform.h"
#include "app/win32/win32_window_operations.h"
#include "app/win32/window_text.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"

namespace zrk::app {
namespace {

// The real window functions. At the hook's last step, setting the OK caption, notes the dialog's
// OK caption, first filter and whether its frame is centred (to a pixel), then cancels it.
class NotingWindows : public Win32WindowOperations {
 public:
  void SetControlText(WindowHandle frame, DialogControl control, const std::string& text) override {
    Win32WindowOperations::SetControlText(frame, control, text);
    const HWND dialog = reinterpret_cast<HWND>(frame);
    wchar_t filter[256] = {};
    ::SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
    RECT r{};
    ::GetWindowRect(dialog, &r);
    const bool centred = std::abs(r.left + r.right - ::GetSystemMetrics(SM_CXSCREEN)) <= 2 &&
                         std::abs(r.top + r.bottom - ::GetSystemMetrics(SM_CYSCREEN)) <= 2;
    shown.push_back(TextOf(::GetDlgItem(dialog, IDOK)) + L" | " + filter +
                    (centred ? L"" : L" | off centre"));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  std::vector<std::wstring> shown;
};

TEST(Win32FileDialog, HookCentresTheFrameAndSetsTheOkCaption) {
  Win32DialogPlatform platform;
  NotingWindows windows;
  mdlCdlg::SetDialogPlatform(&platform);
  mdlCdlg::SetWindowOperations(&windows);
  kelCommonDialog& dialog = mdlCdlg::SharedDialog();
  for (const bool save : {false, true}) {
    dialog.SetOKText(std::string(save ? texts::kSaveOkText : texts::kOpenOkText));
    dialog.SetFilter(std::string(save ? texts::kPackageFilter : texts::kProjectFilter));
    save ? dialog.ShowSave() : dialog.ShowOpen();
  }
  mdlCdlg::SetDialogPlatform(nullptr);
  mdlCdlg::SetWindowOperations(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Выбарть | Файлы проектов ZRK 4.x (*.zrp)",
                                       L"Сохранить | Файлы оболочек ZR 4.x (*.zrk)"}),
            windows.shown);
}

}  // namespace
}  // namespace zrk::app

// The Win32 side of the file dialogs: the system's open and save dialogs, and the window
// functions that the dialog hook uses.
#pragma once

#include "dialogs/file_dialog_platform.h"
#include "dialogs/window_operations.h"

namespace zrk::win32 {

/// Shows dialog records with GetOpenFileNameA and GetSaveFileNameA, in the 76-byte record of the
/// ANSI dialogs, with every text in the system's ANSI code page. The record's hook is called as
/// the system's hook procedure.
class Win32DialogPlatform : public FileDialogPlatform {
 public:
  std::int32_t ShowOpenDialog(DialogRecord& record) override;
  std::int32_t ShowSaveDialog(DialogRecord& record) override;
};

/// GetParent, GetWindowRect, MoveWindow, the screen's size in pixels, and CDM_SETCONTROLTEXT sent
/// with SendMessageA; a WindowHandle is an HWND.
class Win32WindowOperations : public WindowOperations {
 public:
  WindowHandle ParentOf(WindowHandle window) override;
  WindowRect Rect(WindowHandle window) override;
  void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
            std::int32_t height) override;
  double ScreenWidthPixels() override;
  double ScreenHeightPixels() override;
  /// Sends nothing when text has no form in the ANSI code page.
  void SetControlText(WindowHandle frame, DialogControl control, const std::string& text) override;
};

}  // namespace zrk::win32

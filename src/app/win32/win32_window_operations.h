// The window functions that the dialog hook uses, on Win32 windows.
#pragma once

#include "dialogs/window_operations.h"

namespace zrk::app {

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

}  // namespace zrk::app

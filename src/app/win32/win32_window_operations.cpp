// The window functions of the dialog hook, on Win32 windows.
#include "app/win32/win32_window_operations.h"

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "platform/text_win32.h"

namespace zrk::app {
namespace {

HWND Window(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

WindowHandle Win32WindowOperations::ParentOf(WindowHandle window) {
  return reinterpret_cast<WindowHandle>(::GetParent(Window(window)));
}

WindowRect Win32WindowOperations::Rect(WindowHandle window) {
  RECT rect{};
  if (!::GetWindowRect(Window(window), &rect)) return {};
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32WindowOperations::Move(WindowHandle window, std::int32_t x, std::int32_t y,
                                 std::int32_t width, std::int32_t height) {
  ::MoveWindow(Window(window), x, y, width, height, TRUE);
}

double Win32WindowOperations::ScreenWidthPixels() { return ::GetSystemMetrics(SM_CXSCREEN); }

double Win32WindowOperations::ScreenHeightPixels() { return ::GetSystemMetrics(SM_CYSCREEN); }

void Win32WindowOperations::SetControlText(WindowHandle frame, DialogControl control,
                                           const std::string& text) {
  const std::optional<std::string> ansi = platform::Utf8ToAnsi(text);
  if (!ansi) return;
  ::SendMessageA(Window(frame), CDM_SETCONTROLTEXT, static_cast<WPARAM>(control),
                 reinterpret_cast<LPARAM>(ansi->c_str()));
}

}  // namespace zrk::app

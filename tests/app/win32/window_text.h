// What the Win32 window tests read off a window.
#pragma once

#include <windows.h>

#include <string>

namespace zrk::app {

/// The window's text (a caption, a button's or a label's words), up to 511 characters.
inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

}  // namespace zrk::app

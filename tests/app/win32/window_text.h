// What the Win32 window tests read off a window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/text_win32.h"

namespace zrk::app {

/// The window's text (a caption, a button's or a label's words), up to 511 characters.
inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

/// The list box's line at row, as UTF-8.
inline std::string LineOf(HWND list, LRESULT row) {
  std::wstring line(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, 0);
  ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(line.data()));
  return platform::WideToUtf8(line.c_str());
}

/// Every line of the list box, or the selected ones, in order.
inline std::vector<std::string> LinesOf(HWND list, bool selected_only = false) {
  std::vector<std::string> lines;
  for (LRESULT row = 0, count = ::SendMessageW(list, LB_GETCOUNT, 0, 0); row < count; ++row) {
    if (!selected_only || ::SendMessageW(list, LB_GETSEL, row, 0) > 0) {
      lines.push_back(LineOf(list, row));
    }
  }
  return lines;
}

}  // namespace zrk::app

// window_probe: reads and drives a running zrk-builder.exe for the smoke test in
// scripts/windows-test.sh, through the system's own messages, so that the test does not depend
// on X window ids, which Wine may replace while a window settles. Commands:
//   window_probe browse              clicks Browse in the main window
//   window_probe dialog TITLE        prints the OK button's caption and the selected filter
//   window_probe accept TITLE PATH   types PATH as the file name and confirms the dialog
//   window_probe confirm-box         presses OK in the program's message box
//   window_probe answer-box yes|no   presses Yes or No in the program's question box
//   window_probe report              prints the main window's report lines
// Every command first waits, up to 60 seconds, for its window to be shown, and exits with 1 when
// it does not appear. Text is printed as UTF-8, one item a line.
#include <windows.h>
#include <dlgs.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Prints as UTF-8 the text that message gets: a window's (WM_GETTEXT) or a list's line
// (LB_GETTEXT, w_param its index).
void PrintText(HWND window, UINT message = WM_GETTEXT, WPARAM w_param = 1024) {
  wchar_t text[1024] = {};
  ::SendMessageW(window, message, w_param, reinterpret_cast<LPARAM>(text));
  char utf8[4096] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
  std::printf("%s\n", utf8);
}

// The shown top-level window of the class and title (either may be null), once it appears.
HWND WaitFor(const wchar_t* window_class, const wchar_t* title) {
  for (int attempt = 0; attempt < 600; ++attempt, ::Sleep(100)) {
    const HWND window = ::FindWindowW(window_class, title);
    if (window != nullptr && ::IsWindowVisible(window)) return window;
  }
  std::fprintf(stderr, "window_probe: the window did not appear\n");
  std::exit(1);
}

// Presses a button as a click does: its owner gets BN_CLICKED. Posted, since the button's
// handler may run a modal dialog.
void Press(HWND owner, HWND button) {
  ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

}  // namespace

// Wide arguments (linked with -municode): a title or path is not limited to the ANSI code page.
int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  constexpr wchar_t kForm[] = L"ZrkBuilderForm1", kDialog[] = L"#32770";
  if (command == L"browse" && argc == 2) {
    const HWND form = WaitFor(kForm, nullptr);
    Press(form, ::FindWindowExW(form, nullptr, L"Button", L"Обзор..."));
  } else if (command == L"dialog" && argc == 3) {
    const HWND dialog = WaitFor(kDialog, argv[2]);
    PrintText(::GetDlgItem(dialog, IDOK));
    PrintText(::GetDlgItem(dialog, cmb1));
  } else if (command == L"accept" && argc == 4) {
    // The file name box: Windows' Explorer-style combo box (its text is its edit's), or the edit
    // that Wine's dialog has instead.
    const HWND dialog = WaitFor(kDialog, argv[2]);
    const HWND combo = ::GetDlgItem(dialog, cmb13);
    ::SendMessageW(combo ? combo : ::GetDlgItem(dialog, edt1), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(argv[3]));
    Press(dialog, ::GetDlgItem(dialog, IDOK));
  } else if (command == L"confirm-box" && argc == 2) {
    const HWND box = WaitFor(kDialog, L"Сборщик ZRK серии 4.x (29)");
    Press(box, ::GetDlgItem(box, IDOK));
  } else if (command == L"answer-box" && argc == 3 &&
             (argv[2] == std::wstring(L"yes") || argv[2] == std::wstring(L"no"))) {
    const HWND box = WaitFor(kDialog, L"Сборщик ZRK серии 4.x (29)");
    Press(box, ::GetDlgItem(box, argv[2] == std::wstring(L"yes") ? IDYES : IDNO));
  } else if (command == L"report" && argc == 2) {
    const HWND list = ::FindWindowExW(WaitFor(kForm, nullptr), nullptr, L"ListBox", nullptr);
    for (LRESULT i = 0, count = ::SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
      PrintText(list, LB_GETTEXT, static_cast<WPARAM>(i));
    }
  } else {
    std::fprintf(stderr,
                 "usage: window_probe browse | dialog TITLE | accept TITLE PATH | "
                 "confirm-box | answer-box yes|no | report\n");
    return 2;
  }
  return 0;
}

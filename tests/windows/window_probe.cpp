// window_probe: reads and drives another program's windows, for the GUI smoke test of
// zrk-builder.exe. It talks to the windows through the system's own messages, so the test does
// not depend on X window ids, which Wine may replace while a window settles.
//
//   window_probe browse              clicks Browse in the main window
//   window_probe dialog TITLE        prints the OK button's caption and the selected filter
//   window_probe accept TITLE PATH   types PATH as the file name and confirms the dialog
//   window_probe confirm-box         presses OK in the program's message box
//   window_probe report              prints the main window's report lines
//
// Every command first waits, up to 60 seconds, for its window to be shown. Text is printed as
// UTF-8, one item a line; the exit code is 1 when the window does not appear.
#include <windows.h>
#include <dlgs.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kFormClass[] = L"ZrkBuilderForm1";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kCaption[] = L"Сборщик ZRK серии 4.x (29)";
constexpr wchar_t kBrowse[] = L"Обзор...";

std::string Utf8(const std::wstring& wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

// The arguments of a narrow main come in the ANSI code page.
std::wstring FromArgument(const char* ansi) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
  return wide;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// The shown top-level window of the class and title (either may be null), once it appears.
HWND WaitForWindow(const wchar_t* window_class, const wchar_t* title) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    const HWND window = ::FindWindowW(window_class, title);
    if (window != nullptr && ::IsWindowVisible(window)) return window;
    ::Sleep(100);
  }
  std::fprintf(stderr, "window_probe: no window '%s'\n", Utf8(title ? title : L"").c_str());
  return nullptr;
}

// Presses a button the way a click does: the owner gets the button's BN_CLICKED notice. The
// message is posted, since the handler of the button may run a modal dialog.
void Press(HWND owner, HWND button) {
  ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// The file name box of a file dialog: the combo box of the Explorer-style layout (its edit), or
// the plain edit of the older one.
HWND FileNameEdit(HWND dialog) {
  if (const HWND combo = ::GetDlgItem(dialog, cmb13)) {
    if (const HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    return combo;
  }
  return ::GetDlgItem(dialog, edt1);
}

int Browse() {
  const HWND form = WaitForWindow(kFormClass, nullptr);
  const HWND browse = form ? ::FindWindowExW(form, nullptr, L"Button", kBrowse) : nullptr;
  if (browse == nullptr) return 1;
  Press(form, browse);
  return 0;
}

int PrintDialog(const std::wstring& title) {
  const HWND dialog = WaitForWindow(kDialogClass, title.c_str());
  if (dialog == nullptr) return 1;
  std::printf("%s\n", Utf8(TextOf(::GetDlgItem(dialog, IDOK))).c_str());
  std::printf("%s\n", Utf8(TextOf(::GetDlgItem(dialog, cmb1))).c_str());
  return 0;
}

int Accept(const std::wstring& title, const std::wstring& path) {
  const HWND dialog = WaitForWindow(kDialogClass, title.c_str());
  const HWND edit = dialog ? FileNameEdit(dialog) : nullptr;
  if (edit == nullptr) return 1;
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  Press(dialog, ::GetDlgItem(dialog, IDOK));
  return 0;
}

int ConfirmBox() {
  const HWND box = WaitForWindow(kDialogClass, kCaption);
  if (box == nullptr) return 1;
  Press(box, ::GetDlgItem(box, IDOK));
  return 0;
}

int PrintReport() {
  const HWND form = WaitForWindow(kFormClass, nullptr);
  const HWND list = form ? ::FindWindowExW(form, nullptr, L"ListBox", nullptr) : nullptr;
  if (list == nullptr) return 1;
  const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t line[1024] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
    std::printf("%s\n", Utf8(line).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc >= 2 ? argv[1] : "";
  if (command == "browse" && argc == 2) return Browse();
  if (command == "dialog" && argc == 3) return PrintDialog(FromArgument(argv[2]));
  if (command == "accept" && argc == 4) return Accept(FromArgument(argv[2]), FromArgument(argv[3]));
  if (command == "confirm-box" && argc == 2) return ConfirmBox();
  if (command == "report" && argc == 2) return PrintReport();
  std::fprintf(stderr,
               "usage: window_probe browse | dialog TITLE | accept TITLE PATH | confirm-box | "
               "report\n");
  return 2;
}

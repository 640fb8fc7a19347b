// window_probe: reads what another program's windows show, for the GUI smoke test of
// zrk-builder.exe. "window_probe report" prints the main window's report lines; "window_probe
// dialog TITLE" prints the OK button's caption and the selected filter of the file dialog TITLE.
// Text is printed as UTF-8, one item a line; the exit code is 1 when the window is not found.
#include <windows.h>
#include <dlgs.h>

#include <cstdio>
#include <string>

namespace {

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

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "report") {
    const HWND form = ::FindWindowW(L"ZrkBuilderForm1", nullptr);
    const HWND list = form ? ::FindWindowExW(form, nullptr, L"LISTBOX", nullptr) : nullptr;
    if (list == nullptr) return 1;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t line[1024] = {};
      ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
      std::printf("%s\n", Utf8(line).c_str());
    }
    return 0;
  }
  if (argc >= 3 && std::string(argv[1]) == "dialog") {
    const HWND dialog = ::FindWindowW(nullptr, FromArgument(argv[2]).c_str());
    if (dialog == nullptr) return 1;
    std::printf("%s\n", Utf8(TextOf(::GetDlgItem(dialog, IDOK))).c_str());
    std::printf("%s\n", Utf8(TextOf(::GetDlgItem(dialog, cmb1))).c_str());
    return 0;
  }
  std::fprintf(stderr, "usage: window_probe report | window_probe dialog TITLE\n");
  return 2;
}

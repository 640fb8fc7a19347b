// zrk-builder for Windows: the desktop program. It shows the one window, and opens a project,
// folder or package named on its command line at once.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/form1.h"
#include "app/win32/win32_dialog_platform.h"
#include "app/win32/win32_window_operations.h"
#include "app/window_actions.h"
#include "app/window_texts.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/text_win32.h"
#include "zrk_version.h"

namespace {

// The arguments after the program's name, from the UTF-16 command line, as UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    arguments.push_back(zrk::platform::WideToUtf8(wide[i]));
  }
  if (wide != nullptr) ::LocalFree(wide);
  return arguments;
}

// Says text on the console the program was started from, or in a message box when there is none.
void Tell(const std::string& text) {
  const std::wstring wide = zrk::platform::Utf8ToWide(text).value_or(L"");
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    DWORD written = 0;
    ::WriteConsoleW(::GetStdHandle(STD_OUTPUT_HANDLE), wide.c_str(),
                    static_cast<DWORD>(wide.size()), &written, nullptr);
    ::FreeConsole();
    return;
  }
  const std::wstring title = zrk::platform::Utf8ToWide(zrk::texts::kApplicationTitle).value_or(L"");
  ::MessageBoxW(nullptr, wide.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  using Request = zrk::app::BuilderArguments::Request;
  const zrk::app::BuilderArguments arguments = zrk::app::ReadBuilderArguments(Arguments());
  switch (arguments.request) {
    case Request::kHelp:
      Tell(std::string(zrk::app::window_texts::kBuilderUsage));
      return 0;
    case Request::kVersion:
      Tell("zrk-builder " ZRK_VERSION "\n");
      return 0;
    case Request::kUsageError:
      Tell(zrk::app::window_texts::UnexpectedArgument(arguments.unexpected) +
           std::string(zrk::app::window_texts::kBuilderUsage));
      return 2;
    case Request::kWindow:
      break;
  }

  zrk::app::Win32DialogPlatform dialogs;
  zrk::app::Win32WindowOperations windows;
  mdlCdlg::SetDialogPlatform(&dialogs);
  mdlCdlg::SetWindowOperations(&windows);

  zrk::app::Form1 form;
  if (!form.Create(instance, show_command)) return 1;
  // What the command line names (as Explorer names it) is opened once the window is on the
  // screen: a project built as if chosen with Browse, a package shown.
  if (!arguments.project.empty()) form.OpenSoon(arguments.project);
  return form.Run();
}

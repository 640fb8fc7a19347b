// zrk-builder for Windows: the desktop program. It takes no arguments and shows the one window.
#include <windows.h>

#include "app/win32/form1.h"
#include "app/win32/win32_dialog_platform.h"
#include "dialogs/mdlCdlg.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  zrk::win32::Win32DialogPlatform dialogs;
  zrk::win32::Win32WindowOperations windows;
  mdlCdlg::SetDialogPlatform(&dialogs);
  mdlCdlg::SetWindowOperations(&windows);

  zrk::win32::Form1 form;
  if (!form.Create(instance, show_command)) return 1;
  return form.Run();
}

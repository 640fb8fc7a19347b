// The Win32 side of the file dialogs: the system's open and save dialogs, and its folder dialog.
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/file_dialog_platform.h"

namespace zrk::app {

/// Shows dialog records with GetOpenFileNameA and GetSaveFileNameA, in the 76-byte record of the
/// ANSI dialogs, with every text in the system's ANSI code page. The record's hook is called as
/// the system's hook procedure.
class Win32DialogPlatform : public FileDialogPlatform {
 public:
  std::int32_t ShowOpenDialog(DialogRecord& record) override;
  std::int32_t ShowSaveDialog(DialogRecord& record) override;
};

/// Asks for a folder in the system's folder dialog, owned by owner, captioned as the Qt window's
/// and opened at start (UTF-8, "" for none); returns the chosen folder's full path in UTF-8, or
/// "" when the dialog was cancelled or the choice is no folder on a disk.
std::string ChooseFolderInDialog(HWND owner, const std::string& start);

}  // namespace zrk::app

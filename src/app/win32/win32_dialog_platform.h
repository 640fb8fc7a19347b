// The Win32 side of the file dialogs: the system's open and save dialogs.
#pragma once

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
}  // namespace zrk::app

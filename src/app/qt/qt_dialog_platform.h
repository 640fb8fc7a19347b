// The file and folder dialogs of the desktop program: Qt's own widget-based QFileDialog.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/file_dialog_platform.h"

namespace zrk::app {

/// Shows each dialog record as an application-modal QFileDialog drawn by Qt itself (never the
/// desktop's native dialog, so that the hook can move it and relabel its buttons), with the
/// record's filters, initial folder, file name, title and default extension. The hook runs once,
/// as the dialog is about to appear. Install with mdlCdlg::SetDialogPlatform once a QApplication
/// exists; a path that does not fit the record's buffers ends the dialog as a failure (0).
class QtDialogPlatform : public FileDialogPlatform {
 public:
  /// Shows an open dialog for one existing file.
  std::int32_t ShowOpenDialog(DialogRecord& record) override;

  /// Shows a save dialog; it asks about an existing file only with kOfnOverwritePrompt.
  std::int32_t ShowSaveDialog(DialogRecord& record) override;
};

/// Asks for a folder in Qt's own application-modal folder dialog, opened at start, with the
/// window's caption; returns the folder as the system names it, or "" when cancelled.
std::string ChooseFolderInDialog(const std::string& start);

}  // namespace zrk::app

// The platform's file dialogs, as the dialog object shows them.
#pragma once

#include <cstdint>

#include "dialogs/dialog_record.h"

namespace zrk {

/// Shows modal file dialogs described by a dialog record. Each call calls record.hook with
/// kWmInitDialog once the dialog exists and before the user works with it (when the record's
/// flags carry kOfnEnableHook). On confirmation it writes the chosen full path into record.file
/// and the bare file name into record.file_title (StoreInBuffer rules) and returns a value above
/// 0; on cancel or failure it returns 0 and leaves both buffers alone.
class FileDialogPlatform {
 public:
  virtual ~FileDialogPlatform() = default;

  /// Shows a file-open dialog for an existing file.
  virtual std::int32_t ShowOpenDialog(DialogRecord& record) = 0;

  /// Shows a file-save dialog; it asks no overwrite question unless the record's flags carry
  /// kOfnOverwritePrompt.
  virtual std::int32_t ShowSaveDialog(DialogRecord& record) = 0;
};

}  // namespace zrk

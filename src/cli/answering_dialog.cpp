// A file dialog platform without windows.
#include "cli/answering_dialog.h"

#include "support/mdlMain.h"

namespace zrk::cli {
namespace {

// The hook runs as it would in a windowed dialog, so the dialog object sees the same calls.
void RunHook(const DialogRecord& record) {
  if (record.hook != nullptr && (record.flags & kOfnEnableHook) != 0) {
    record.hook(0, kWmInitDialog, 0, 0);
  }
}

}  // namespace

std::int32_t AnsweringDialog::ShowOpenDialog(DialogRecord& record) {
  RunHook(record);
  return 0;
}

std::int32_t AnsweringDialog::ShowSaveDialog(DialogRecord& record) {
  RunHook(record);
  if (answered_) return 0;
  answered_ = true;
  if (withhold_ && withhold_()) return 0;
  if (!StoreInBuffer(record.file, record.max_file, save_name_) ||
      !StoreInBuffer(record.file_title, record.max_file_title, mdlMain::FileNamePart(save_name_))) {
    return 0;
  }
  return 1;
}

}  // namespace zrk::cli

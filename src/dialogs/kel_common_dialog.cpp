// kelCommonDialog: filling the dialog record and reading the chosen file back.
#include "dialogs/kel_common_dialog.h"

#include <algorithm>

#include "dialogs/file_dialog_platform.h"
#include "dialogs/mdlCdlg.h"
#include "platform/native_path.h"

namespace zrk {
namespace {

// Filter positions are counted in 16 bits, signed: a filter of this many characters or more
// overflows the count and is refused.
constexpr std::size_t kMaxFilterChars = 32767;

std::string PlatformFilterList(std::string filter) {
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.append(2, '\0');
  return filter;
}

}  // namespace

void kelCommonDialog::ShowOpen() { Show(DialogKind::kOpen); }

void kelCommonDialog::ShowSave() { Show(DialogKind::kSave); }

void kelCommonDialog::Show(DialogKind kind) {
  PrepareDialogRecord();

  FileDialogPlatform* platform = mdlCdlg::DialogPlatform();
  std::int32_t result = 0;
  if (platform != nullptr) {
    result = kind == DialogKind::kOpen ? platform->ShowOpenDialog(record_)
                                       : platform->ShowSaveDialog(record_);
  }
  last_result_ = result;

  if (last_result_ > 0) {
    if (record_.file_title.find('\0') != std::string::npos) {
      file_title_ = BufferText(record_.file_title);
    }
    if (record_.file.find('\0') != std::string::npos) file_name_ = BufferText(record_.file);
  } else if (cancel_error_) {
    throw DialogError(kDialogCancelled, std::string(kDialogCancelledText));
  }
}

void kelCommonDialog::PrepareDialogRecord() {
  // Both checks come first so that a refused call leaves the record as the last dialog left it.
  const std::size_t file_name_chars = CountCharacters(file_name_);
  if (file_name_chars > kDialogBufferChars) {
    throw DialogError(kDialogInvalidArgument, std::string(kFileNameTooLongText) + file_name_);
  }
  if (CountCharacters(filter_) >= kMaxFilterChars) {
    throw DialogError(kDialogOverflow, std::string(kFilterTooLongText));
  }

  record_.struct_size = kDialogRecordSize;
  record_.owner = owner_;
  record_.hook = &mdlCdlg::FileDialogHook;
  record_.flags = static_cast<std::uint32_t>(flags_) | kOfnExplorer | kOfnEnableHook;
  record_.default_ext = default_ext_;
  record_.initial_dir = init_dir_.empty() ? platform::DefaultDialogFolder() : init_dir_;
  record_.file = file_name_;
  record_.file.append(kDialogBufferChars - file_name_chars, '\0');
  record_.max_file = kDialogBufferChars;
  record_.file_title.assign(kDialogBufferChars, '\0');
  record_.max_file_title = kDialogBufferChars;
  record_.filter = PlatformFilterList(filter_);
  record_.filter_index = static_cast<std::uint32_t>(filter_index_);
  record_.title = dialog_title_;
  // Dialogs on this platform need no module instance; a native Windows build would put its own
  // here.
  record_.instance = 0;
}

}  // namespace zrk

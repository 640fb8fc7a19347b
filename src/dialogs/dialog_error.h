// The numbered errors of the file dialog object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace zrk {

/// Error numbers: a dialog closed without a file while CancelError is set, an argument the dialog
/// cannot take, a count that overflows.
inline constexpr std::int32_t kDialogCancelled = 0;
inline constexpr std::int32_t kDialogInvalidArgument = 5;
inline constexpr std::int32_t kDialogOverflow = 6;

/// Messages of the three errors; the invalid-argument message is followed by the file name.
inline constexpr std::string_view kDialogCancelledText = "Файл не выбран";
inline constexpr std::string_view kFileNameTooLongText =
    "Имя файла для диалога длиннее 260 символов: ";
inline constexpr std::string_view kFilterTooLongText =
    "Фильтр диалога слишком длинный (32767 символов или больше)";

/// A failure of the file dialog object, carrying its error number.
class DialogError : public Error {
 public:
  DialogError(std::int32_t number, const std::string& message) : Error(message), number_(number) {}

  /// The error number: kDialogCancelled, kDialogInvalidArgument or kDialogOverflow.
  std::int32_t number() const { return number_; }

 private:
  std::int32_t number_;
};

}  // namespace zrk

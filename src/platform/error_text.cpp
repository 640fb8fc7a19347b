// The one table of Russian error descriptions, whatever system reported the error.
#include "platform/error_text.h"

#include <cerrno>
#include <string_view>

namespace zrk::platform {
namespace {

std::string_view TextOf(FileFailure failure) {
  switch (failure) {
    case FileFailure::kNoSuchFile:
      return "нет такого файла или папки";
    case FileFailure::kNotAFolder:
      return "часть пути не является папкой";
    case FileFailure::kIsAFolder:
      return "это папка";
    case FileFailure::kNoAccess:
      return "нет доступа";
    case FileFailure::kReadOnlyDisk:
      return "диск доступен только для чтения";
    case FileFailure::kDiskFull:
      return "нет места на диске";
    case FileFailure::kQuotaExceeded:
      return "превышена дисковая квота";
    case FileFailure::kFileTooLarge:
      return "превышен допустимый размер файла";
    case FileFailure::kInputOutput:
      return "ошибка ввода-вывода";
    case FileFailure::kExists:
      return "файл уже существует";
    case FileFailure::kNameTooLong:
      return "слишком длинное имя";
    case FileFailure::kSymbolicLinkInPath:
      return "путь проходит через символическую ссылку";
    case FileFailure::kTooManyOpenFiles:
      return "открыто слишком много файлов";
    case FileFailure::kBusy:
      return "файл занят";
    case FileFailure::kHeldByAnotherProgram:
      return "файл занят другой программой";
    case FileFailure::kInvalidName:
      return "недопустимое имя файла";
    case FileFailure::kInvalidArgument:
      return "недопустимый аргумент";
    case FileFailure::kNotOpen:
      return "файл не открыт";
    case FileFailure::kPipeClosed:
      return "канал закрыт читающей стороной";
  }
  return "";
}

}  // namespace

std::optional<FileFailure> FailureOfErrno(int value) {
  switch (static_cast<std::errc>(value)) {
    case std::errc::no_such_file_or_directory:
      return FileFailure::kNoSuchFile;
    case std::errc::not_a_directory:
      return FileFailure::kNotAFolder;
    case std::errc::is_a_directory:
      return FileFailure::kIsAFolder;
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
      return FileFailure::kNoAccess;
    case std::errc::read_only_file_system:
      return FileFailure::kReadOnlyDisk;
    case std::errc::no_space_on_device:
      return FileFailure::kDiskFull;
    case std::errc::file_too_large:
      return FileFailure::kFileTooLarge;
    case std::errc::io_error:
      return FileFailure::kInputOutput;
    case std::errc::file_exists:
      return FileFailure::kExists;
    case std::errc::filename_too_long:
      return FileFailure::kNameTooLong;
    case std::errc::too_many_symbolic_link_levels:
      return FileFailure::kSymbolicLinkInPath;
    case std::errc::too_many_files_open:
    case std::errc::too_many_files_open_in_system:
      return FileFailure::kTooManyOpenFiles;
    case std::errc::device_or_resource_busy:
    case std::errc::text_file_busy:
      return FileFailure::kBusy;
    case std::errc::invalid_argument:
      return FileFailure::kInvalidArgument;
    case std::errc::bad_file_descriptor:
      return FileFailure::kNotOpen;
    case std::errc::broken_pipe:
      return FileFailure::kPipeClosed;
    default:
#ifdef EDQUOT
      if (value == EDQUOT) return FileFailure::kQuotaExceeded;
#endif
      return std::nullopt;
  }
}

std::string ErrorText(const std::error_code& ec) {
  if (const std::optional<FileFailure> failure = FailureOf(ec)) {
    return std::string(TextOf(*failure));
  }
  return SystemText(ec);
}

}  // namespace zrk::platform

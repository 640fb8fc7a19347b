// Russian descriptions of file-system errors, for the messages a user reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace zrk::platform {

/// A short Russian description of a file-system error; the system's own text for the rarer ones.
std::string ErrorText(const std::error_code& ec);

/// The reason a message or an error line gives when memory runs out.
inline constexpr std::string_view kOutOfMemory = "недостаточно памяти";

/// The failures that have a Russian description of their own.
enum class FileFailure {
  kNoSuchFile,
  kNotAFolder,
  kIsAFolder,
  kNoAccess,
  kReadOnlyDisk,
  kDiskFull,
  kQuotaExceeded,
  kFileTooLarge,
  kInputOutput,
  kExists,
  kNameTooLong,
  kSymbolicLinkInPath,
  kTooManyOpenFiles,
  kBusy,
  kHeldByAnotherProgram,
  kInvalidName,
  kInvalidArgument,
  kNotOpen,
  kPipeClosed,
};

/// Which of those failures a portable (errno) error is.
std::optional<FileFailure> FailureOfErrno(int value);

// The system's side, one of each per platform: which failure a native error is, and the
// system's own text for one that has no description here.
std::optional<FileFailure> FailureOf(const std::error_code& ec);
std::string SystemText(const std::error_code& ec);

}  // namespace zrk::platform

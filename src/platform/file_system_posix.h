// What the POSIX file_system_*_posix.cpp files share: error and file facts, and the temporary
// files that a package and an extracted file are written into before they get their names.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace zrk::platform::posix {

inline int Fd(FileHandle file) { return static_cast<int>(file); }

inline std::error_code LastError() { return {errno, std::system_category()}; }

/// The facts of a stat call.
FileInfo InfoOf(const struct stat& st);

/// A new file for a write in the folder open as folder_fd (or AT_FDCWD with the path prefix
/// prefix): unnamed where possible, else under a hidden name, stored in name ("" for none), that
/// the interrupt handler removes. -1 on failure.
int CreateWriteFile(int folder_fd, const std::string& prefix, std::string& name,
                    std::error_code& ec);

/// Closes fd and gives its file, made by CreateWriteFile with the name temporary, the name name
/// in folder; see FileSystem::Publish.
void PublishIn(int folder, int fd, std::string temporary, const std::string& name, bool replace,
               std::error_code& ec);

/// Tells the interrupt handler that no named temporary file is pending any more.
void ClearPending();

}  // namespace zrk::platform::posix

// What the Win32 file_system_*_win32.cpp files share: handles, errors, wide paths, and the
// temporary files that a package and an extracted file are written into.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace zrk::platform::win32 {

inline HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
inline FileHandle ToFileHandle(HANDLE handle) { return reinterpret_cast<FileHandle>(handle); }

inline std::error_code LastError() {
  return {static_cast<int>(::GetLastError()), std::system_category()};
}

/// The wide form of a UTF-8 path; a path that is not UTF-8 or holds a NUL names no file
/// (ERROR_INVALID_NAME in ec).
std::optional<std::wstring> WidePath(const std::string& path, std::error_code& ec);

/// Creates a new file named like ".zrk-xxxxxxxxxx.tmp" in folder (a prefix ending in a
/// separator, or empty for the current folder), open for reading and writing with the file
/// attributes and flags given, and returns its handle and full wide path.
HANDLE CreateUniqueFile(const std::wstring& folder, std::wstring& path, std::error_code& ec,
                        DWORD flags = FILE_ATTRIBUTE_NORMAL);

/// Moves from to to, replacing a file there only with replace; file_exists when one is there.
void MoveInPlace(const std::string& from, const std::string& to, bool replace, std::error_code& ec);

}  // namespace zrk::platform::win32

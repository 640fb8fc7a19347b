// Win32 files made beneath a folder: the names a folder may hold, and the checks that keep a
// junction or symbolic link below it from leading out of it.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <string_view>

#include "platform/file_system.h"
#include "platform/file_system_win32.h"
#include "platform/native_new_file.h"
#include "platform/text_win32.h"

namespace zrk::platform {
namespace {

using win32::Handle;
using win32::LastError;
using win32::MoveInPlace;
using win32::ToFileHandle;
using win32::WidePath;

bool IsReservedDeviceName(std::wstring_view name) {
  // The system sends "CON", "NUL.txt", "com1.bmp" and the like to a device in any folder.
  const std::wstring_view stem = name.substr(0, name.find(L'.'));
  static constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
  auto equals = [](std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
  };
  for (const std::wstring_view device : kPlain) {
    if (equals(stem, device)) return true;
  }
  if (stem.size() == 4 && stem[3] >= L'1' && stem[3] <= L'9') {
    return equals(stem.substr(0, 3), L"COM") || equals(stem.substr(0, 3), L"LPT");
  }
  return false;
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

}  // namespace

// A name that stays one entry of its folder: not empty, "." or "..", without a separator, a
// stream colon or another character the system refuses, not a device, and without the trailing
// dot or space that the system would drop (making two names one).
bool IsPlainFileName(const std::string& name) {
  const std::optional<std::wstring> wide = Utf8ToWide(name);
  if (!wide || wide->empty() || *wide == L"." || *wide == L"..") return false;
  for (const wchar_t c : *wide) {
    if (c < 32 || std::wcschr(L"<>:\"/\\|?*", c) != nullptr) return false;
  }
  if (wide->back() == L'.' || wide->back() == L' ') return false;
  return !IsReservedDeviceName(*wide);
}

NativeNewFile::NativeNewFile(const std::string& folder, const std::vector<std::string>& sub_folders,
                             std::string file_name, std::error_code& ec)
    : file_name_(std::move(file_name)) {
  const std::optional<std::wstring> top = WidePath(folder, ec);
  if (!top) return;
  const DWORD top_attributes = ::GetFileAttributesW(top->c_str());
  if (top_attributes == INVALID_FILE_ATTRIBUTES) {
    ec = LastError();
    return;
  }
  if ((top_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ec = {ERROR_DIRECTORY, std::system_category()};
    return;
  }
  std::wstring current = WithSeparator(*top);
  for (const std::string& name : sub_folders) {
    current += *Utf8ToWide(name);
    if (!::CreateDirectoryW(current.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      ec = LastError();
      return;
    }
    // A junction or symbolic link planted below the folder would lead out of it.
    const DWORD attributes = ::GetFileAttributesW(current.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      ec = LastError();
      return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
      return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      ec = {ERROR_DIRECTORY, std::system_category()};
      return;
    }
    current += L'\\';
  }
  std::wstring temporary;
  const HANDLE file = win32::CreateUniqueFile(current, temporary, ec);
  if (file == INVALID_HANDLE_VALUE) return;
  file_ = ToFileHandle(file);
  temporary_name_ = WideToUtf8(temporary);
  file_name_ = WideToUtf8(current + *Utf8ToWide(file_name_));
}

NativeNewFile::~NativeNewFile() {
  if (file_ != kNoFile) ::CloseHandle(Handle(file_));
  if (!temporary_name_.empty()) {
    if (const std::optional<std::wstring> wide = Utf8ToWide(temporary_name_)) {
      ::DeleteFileW(wide->c_str());
    }
  }
}

void NativeNewFile::Commit(bool replace, std::error_code& ec) {
  if (file_ == kNoFile) {
    ec = std::make_error_code(std::errc::bad_file_descriptor);
    return;
  }
  const HANDLE file = Handle(file_);
  file_ = kNoFile;
  if (!::CloseHandle(file)) {
    ec = LastError();
    return;
  }
  // MoveFileExW replaces a symbolic link of that name, not the file it points to.
  MoveInPlace(temporary_name_, file_name_, replace, ec);
  if (ec) return;
  temporary_name_.clear();
}

std::optional<FileInfo> NativeNewFile::Existing() const {
  std::error_code ec;
  const std::optional<std::wstring> wide = WidePath(file_name_, ec);
  if (!wide) return std::nullopt;
  const HANDLE file = ::CreateFileW(
      wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION data;
  std::optional<FileInfo> info;
  if (::GetFileInformationByHandle(file, &data)) {
    info = FileInfo{};
    info->regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    info->device = data.dwVolumeSerialNumber;
    info->file = (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow;
  }
  ::CloseHandle(file);
  return info;
}

}  // namespace zrk::platform

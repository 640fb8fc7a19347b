// Win32 folders opened once and what is made beneath their handles. A folder's handle is held
// without FILE_SHARE_DELETE, so that while it is open the folder cannot be renamed, removed or
// replaced by a link; names beneath it are made from the path the system gives for the handle,
// in the \\?\ form that has no length limit, and reparse points (links, junctions) below it are
// never followed.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string_view>

#include "platform/file_system.h"
#include "platform/file_system_win32.h"
#include "platform/native_new_file.h"
#include "platform/text_win32.h"

namespace zrk::platform {
namespace {

using win32::Handle;
using win32::LastError;
using win32::ToFileHandle;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

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

// The path of an open folder, ending in a separator; "" with ec on failure.
std::wstring FolderPath(FileHandle folder, std::error_code& ec) {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(Handle(folder), path.data(), static_cast<DWORD>(path.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) {
      ec = LastError();
      return {};
    }
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(n);  // too small: n is the size it needs
  }
  if (path.back() != L'\\') path += L'\\';
  ec.clear();
  return path;
}

// The wide path of name beneath folder; nullopt, with ec, for a name that is not plain.
std::optional<std::wstring> PathBeneath(FileHandle folder, const std::string& name,
                                        std::error_code& ec) {
  if (!IsPlainFileName(name)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return std::nullopt;
  }
  std::wstring path = FolderPath(folder, ec);
  if (ec) return std::nullopt;
  return path + *Utf8ToWide(name);
}

// Opens what path names itself: a reparse point is opened, not followed.
HANDLE OpenNoFollow(const std::wstring& path, DWORD access, DWORD share) {
  return ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

NameInfo NameInfoOf(HANDLE file, std::error_code& ec) {
  BY_HANDLE_FILE_INFORMATION data;
  if (!::GetFileInformationByHandle(file, &data)) {
    ec = LastError();
    return {};
  }
  ec.clear();
  NameInfo info;
  const DWORD attributes = data.dwFileAttributes;
  info.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? NameKind::kLink
              : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0   ? NameKind::kFolder
              : ::GetFileType(file) == FILE_TYPE_DISK          ? NameKind::kFile
                                                               : NameKind::kOther;
  info.file.regular = info.kind == NameKind::kFile;
  info.file.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  info.file.device = data.dwVolumeSerialNumber;
  info.file.file = (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow;
  return info;
}

// Keeps folder only when it is a folder itself, not a reparse point; closes it otherwise.
FileHandle FolderOnly(HANDLE folder, std::error_code& ec) {
  const NameInfo info = NameInfoOf(folder, ec);
  if (!ec && info.kind == NameKind::kLink) {
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  } else if (!ec && info.kind != NameKind::kFolder) {
    ec = {ERROR_DIRECTORY, std::system_category()};
  }
  if (ec) {
    ::CloseHandle(folder);
    return kNoFile;
  }
  return ToFileHandle(folder);
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

FileHandle NativeFileSystem::OpenFolder(const std::string& path, std::error_code& ec) {
  const std::optional<std::wstring> wide = win32::WidePath(path, ec);
  if (!wide) return kNoFile;
  // The folder the user named may be reached through a link: that one is followed.
  const HANDLE folder = ::CreateFileW(wide->c_str(), kFolderAccess, kFolderShare, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return kNoFile;
  }
  return FolderOnly(folder, ec);
}

NameInfo NativeFileSystem::LookBeneath(FileHandle folder, const std::string& name,
                                       std::error_code& ec) {
  const std::optional<std::wstring> path = PathBeneath(folder, name, ec);
  if (!path) return {};
  const HANDLE file = OpenNoFollow(*path, FILE_READ_ATTRIBUTES, kShareAll);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      ec.clear();
    } else {
      ec = {static_cast<int>(error), std::system_category()};
    }
    return {};
  }
  const NameInfo info = NameInfoOf(file, ec);
  ::CloseHandle(file);
  return info;
}

void NativeFileSystem::CheckName(FileHandle folder, const std::string& name, std::error_code& ec) {
  if (!IsPlainFileName(name)) {
    ec = {ERROR_INVALID_NAME, std::system_category()};
    return;
  }
  // The limit of the volume the folder is on: 255 UTF-16 units on NTFS and FAT.
  DWORD most = 255;
  if (!::GetVolumeInformationByHandleW(Handle(folder), nullptr, 0, nullptr, &most, nullptr, nullptr,
                                       0)) {
    most = 255;
  }
  if (Utf8ToWide(name)->size() > most) {
    ec = std::make_error_code(std::errc::filename_too_long);
    return;
  }
  ec.clear();
}

FileHandle NativeFileSystem::OpenBeneath(FileHandle folder, const std::string& name, bool make,
                                         bool& made, std::error_code& ec) {
  made = false;
  const std::optional<std::wstring> path = PathBeneath(folder, name, ec);
  if (!path) return kNoFile;
  if (make) {
    made = ::CreateDirectoryW(path->c_str(), nullptr) != 0;
    if (!made && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      ec = LastError();
      return kNoFile;
    }
  }
  const HANDLE next = OpenNoFollow(*path, kFolderAccess, kFolderShare);
  if (next == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return kNoFile;
  }
  return FolderOnly(next, ec);
}

std::unique_ptr<NewFile> NativeFileSystem::CreateIn(FileHandle folder, const std::string& name,
                                                    std::error_code& ec) {
  if (!IsPlainFileName(name)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return nullptr;
  }
  auto file = std::make_unique<NativeNewFile>(folder, name, ec);
  if (ec) return nullptr;
  return file;
}

void NativeFileSystem::RemoveBeneath(FileHandle folder, const std::string& name, bool is_folder,
                                     std::error_code& ec) {
  const std::optional<std::wstring> path = PathBeneath(folder, name, ec);
  if (!path) return;
  if (!(is_folder ? ::RemoveDirectoryW(path->c_str()) : ::DeleteFileW(path->c_str()))) {
    ec = LastError();
    return;
  }
  ec.clear();
}

NativeNewFile::NativeNewFile(FileHandle folder, std::string file_name, std::error_code& ec)
    : file_name_(std::move(file_name)) {
  const std::wstring path = FolderPath(folder, ec);
  if (ec) return;
  std::wstring temporary;
  const HANDLE file = win32::CreateUniqueFile(path, temporary, ec);
  if (file == INVALID_HANDLE_VALUE) return;
  file_ = ToFileHandle(file);
  temporary_name_ = WideToUtf8(temporary);
  file_name_ = WideToUtf8(path + *Utf8ToWide(file_name_));
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
  win32::MoveInPlace(temporary_name_, file_name_, replace, ec);
  if (ec) return;
  temporary_name_.clear();
}

std::optional<FileInfo> NativeNewFile::Existing() const {
  std::error_code ec;
  const std::optional<std::wstring> wide = win32::WidePath(file_name_, ec);
  if (!wide) return std::nullopt;
  const HANDLE file = OpenNoFollow(*wide, 0, kShareAll);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const NameInfo info = NameInfoOf(file, ec);
  ::CloseHandle(file);
  if (ec) return std::nullopt;
  return info.file;
}

}  // namespace zrk::platform

// Win32 reads and writes of the package code: positional reads, buffered copies, temporary files
// that replace their destination with MoveFileExW, and the Russian names of the system's errors.
// Folders and the files made beneath them are in file_system_folders_win32.cpp.
#include "platform/file_system_win32.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <random>

#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"
#include "platform/scratch_file.h"
#include "platform/text_win32.h"

namespace zrk::platform {
namespace {

// ReadFile and WriteFile move at most a DWORD per call; smaller calls keep a slow device
// responsive.
constexpr DWORD kMaxChunk = DWORD{1} << 30;
constexpr std::size_t kCopyBufferSize = 256 * 1024;
constexpr int kTemporaryAttempts = 100;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

using win32::CreateUniqueFile;
using win32::Handle;
using win32::LastError;
using win32::MoveInPlace;
using win32::ToFileHandle;
using win32::WidePath;

FileInfo InfoOf(HANDLE file, std::error_code& ec) {
  FileInfo info;
  // Consoles, pipes and devices (NUL, COM1) are no files of a skin.
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    ec.clear();
    return info;
  }
  BY_HANDLE_FILE_INFORMATION data;
  if (!::GetFileInformationByHandle(file, &data)) {
    ec = LastError();
    return {};
  }
  ec.clear();
  info.regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  info.device = data.dwVolumeSerialNumber;
  info.file = (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow;
  return info;
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(offset);
  overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return overlapped;
}

// Reads up to size bytes at offset; 0 at or past the end of the file.
DWORD ReadChunkAt(HANDLE file, std::uint64_t offset, char* data, DWORD size, std::error_code& ec) {
  OVERLAPPED overlapped = At(offset);
  DWORD got = 0;
  if (!::ReadFile(file, data, size, &got, &overlapped)) {
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    ec = LastError();
    return 0;
  }
  return got;
}

// A failed write in the portable terms the package code sorts errors by: a full disk, a
// read-only medium and a file too large are the output's fault, whichever call met them.
std::error_code LastWriteError() {
  switch (::GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILE_TOO_LARGE:
      return std::make_error_code(std::errc::file_too_large);
    default:
      return LastError();
  }
}

void WriteAll(HANDLE file, const char* data, std::size_t size, std::error_code& ec) {
  ec.clear();
  std::size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, kMaxChunk));
    DWORD written = 0;
    if (!::WriteFile(file, data + done, chunk, &written, nullptr)) {
      ec = LastWriteError();
      return;
    }
    if (written == 0) {
      ec = {ERROR_WRITE_FAULT, std::system_category()};
      return;
    }
    done += written;
  }
}

std::wstring RandomSuffix() {
  static constexpr wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device random;
  std::wstring suffix;
  for (int i = 0; i < 10; ++i) suffix += kDigits[random() % 36];
  return suffix;
}

// The folder part of a path, up to and including its last separator.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

namespace win32 {

std::optional<std::wstring> WidePath(const std::string& path, std::error_code& ec) {
  std::optional<std::wstring> wide = Utf8ToWide(path);
  if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) {
    ec = {ERROR_INVALID_NAME, std::system_category()};
    return std::nullopt;
  }
  return wide;
}

HANDLE CreateUniqueFile(const std::wstring& folder, std::wstring& path, std::error_code& ec,
                        DWORD flags) {
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    path = folder + L".zrk-" + RandomSuffix() + L".tmp";
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | GENERIC_READ, 0, nullptr,
                                      CREATE_NEW, flags, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ec.clear();
      return file;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  ec = LastError();
  path.clear();
  return INVALID_HANDLE_VALUE;
}

void MoveInPlace(const std::string& from, const std::string& to, bool replace,
                 std::error_code& ec) {
  const std::optional<std::wstring> wide_from = WidePath(from, ec);
  if (!wide_from) return;
  const std::optional<std::wstring> wide_to = WidePath(to, ec);
  if (!wide_to) return;
  // Write-through: the call returns once the new name is on the disk, as rename's journal does.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (!::MoveFileExW(wide_from->c_str(), wide_to->c_str(), flags)) {
    const DWORD error = ::GetLastError();
    ec = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
             ? std::make_error_code(std::errc::file_exists)
             : std::error_code(static_cast<int>(error), std::system_category());
    return;
  }
  ec.clear();
}

}  // namespace win32

FileInfo NativeFileSystem::Stat(const std::string& path, std::error_code& ec) {
  const std::optional<std::wstring> wide = WidePath(path, ec);
  if (!wide) return {};
  // Opened without access rights: enough to measure, and it follows links as POSIX stat does.
  const HANDLE file = ::CreateFileW(wide->c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return {};
  }
  const FileInfo info = InfoOf(file, ec);
  ::CloseHandle(file);
  return info;
}

FileInfo NativeFileSystem::StatHandle(FileHandle file, std::error_code& ec) {
  return InfoOf(Handle(file), ec);
}

FileHandle NativeFileSystem::OpenForReading(const std::string& path, std::error_code& ec) {
  const std::optional<std::wstring> wide = WidePath(path, ec);
  if (!wide) return kNoFile;
  const HANDLE file = ::CreateFileW(wide->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return kNoFile;
  }
  ec.clear();
  return ToFileHandle(file);
}

// A process may hold millions of handles on Windows.
std::size_t OpenFilesAllowed() { return std::size_t{1} << 20; }

std::size_t NativeFileSystem::ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                                     std::error_code& ec) {
  ec.clear();
  std::size_t done = 0;
  while (done < buffer.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, kMaxChunk));
    const DWORD got = ReadChunkAt(Handle(file), offset + done, buffer.data() + done, chunk, ec);
    if (ec || got == 0) break;
    done += got;
  }
  return done;
}

FileHandle NativeFileSystem::CreateTemporary(const std::string& target_path,
                                             std::string& temporary_path, std::error_code& ec) {
  const std::optional<std::wstring> target = WidePath(target_path, ec);
  if (!target) return kNoFile;
  std::wstring path;
  const HANDLE file = CreateUniqueFile(FolderOf(*target), path, ec);
  if (file == INVALID_HANDLE_VALUE) return kNoFile;
  temporary_path = WideToUtf8(path);
  return ToFileHandle(file);
}

void NativeFileSystem::Write(FileHandle file, std::span<const char> data, std::error_code& ec) {
  WriteAll(Handle(file), data.data(), data.size(), ec);
}

std::uint64_t NativeFileSystem::CopyAt(FileHandle from, std::uint64_t offset, FileHandle to,
                                       std::uint64_t count, std::error_code& ec) {
  // The system has no copy between two open files; a fixed buffer keeps memory bounded.
  ec.clear();
  const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
  std::uint64_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(count - done, kCopyBufferSize));
    const DWORD got = ReadChunkAt(Handle(from), offset + done, buffer.get(), chunk, ec);
    if (ec || got == 0) break;
    WriteAll(Handle(to), buffer.get(), got, ec);
    if (ec) break;
    done += got;
  }
  return done;
}

void NativeFileSystem::StartWriteback(FileHandle) {}

void NativeFileSystem::Sync(FileHandle file, std::error_code& ec) {
  if (!::FlushFileBuffers(Handle(file))) {
    ec = LastError();
    return;
  }
  ec.clear();
}

void NativeFileSystem::Close(FileHandle file, std::error_code& ec) {
  if (!::CloseHandle(Handle(file))) {
    ec = LastError();
    return;
  }
  ec.clear();
}

void NativeFileSystem::Publish(FileHandle file, const std::string& temporary_path,
                               const std::string& target_path, bool replace, std::error_code& ec) {
  // An open file cannot be renamed here: close it first.
  Close(file, ec);
  if (!ec) MoveInPlace(temporary_path, target_path, replace, ec);
  if (ec) {
    std::error_code ignored;
    Remove(temporary_path, ignored);
  }
}

std::string FinalTarget(const std::string& path) { return path; }

std::FILE* OpenScratchFile(std::error_code& ec) {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) {
    ec = length == 0 ? LastError()
                     : std::error_code(ERROR_FILENAME_EXCED_RANGE, std::system_category());
    return nullptr;
  }
  // The system removes it when its last handle closes, also when the process is ended.
  std::wstring path;
  const HANDLE file =
      CreateUniqueFile(folder, path, ec, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_RDWR | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(file);
    ec = std::make_error_code(std::errc::too_many_files_open);
    return nullptr;
  }
  std::FILE* stream = ::_fdopen(fd, "w+b");
  if (stream == nullptr) {
    ec = std::error_code(errno, std::generic_category());
    ::_close(fd);
    return nullptr;
  }
  ec.clear();
  return stream;
}

void InstallInterruptCleanup() {}

void NativeFileSystem::Remove(const std::string& path, std::error_code& ec) {
  const std::optional<std::wstring> wide = WidePath(path, ec);
  if (!wide) return;
  if (!::DeleteFileW(wide->c_str())) {
    ec = LastError();
    return;
  }
  ec.clear();
}

std::optional<FileFailure> FailureOf(const std::error_code& ec) {
  if (ec.category() == std::generic_category()) return FailureOfErrno(ec.value());
  if (ec.category() != std::system_category()) return std::nullopt;
  switch (ec.value()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FileFailure::kNoSuchFile;
    case ERROR_DIRECTORY:
      return FileFailure::kNotAFolder;
    case ERROR_ACCESS_DENIED:
      return FileFailure::kNoAccess;
    case ERROR_WRITE_PROTECT:
      return FileFailure::kReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileFailure::kDiskFull;
    case ERROR_FILE_TOO_LARGE:
      return FileFailure::kFileTooLarge;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_CRC:
      return FileFailure::kInputOutput;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileFailure::kExists;
    case ERROR_FILENAME_EXCED_RANGE:
      return FileFailure::kNameTooLong;
    case ERROR_INVALID_NAME:
      return FileFailure::kInvalidName;
    case ERROR_TOO_MANY_OPEN_FILES:
      return FileFailure::kTooManyOpenFiles;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileFailure::kHeldByAnotherProgram;
    case ERROR_INVALID_HANDLE:
      return FileFailure::kNotOpen;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return FileFailure::kPipeClosed;
    default:
      return std::nullopt;
  }
}

std::string SystemText(const std::error_code& ec) {
  if (ec.category() != std::system_category()) return ec.message();
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(ec.value()), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n > 0 ? std::wstring(text, n) : std::wstring();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  if (!message.empty()) return WideToUtf8(message);
  return "ошибка " + std::to_string(ec.value());
}

}  // namespace zrk::platform

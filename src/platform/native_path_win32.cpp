// Windows side of skin path handling: the file system itself takes "\" and ignores letter case.
#include <windows.h>

#include <vector>

#include "platform/native_path.h"
#include "platform/text_win32.h"

namespace zrk::platform {

std::string ResolveNativePath(std::string_view skin_path) { return std::string(skin_path); }

std::string NativeSpelling(std::string_view skin_path) { return std::string(skin_path); }

// The system's conversions, where std::filesystem's would throw on a stray byte or surrogate.
std::filesystem::path PathFromUtf8(std::string_view utf8) { return Utf8ToWideReplacing(utf8); }

std::string Utf8FromPath(const std::filesystem::path& path) { return WideToUtf8(path.native()); }

SkinLookupScope::SkinLookupScope(std::string_view) {}
SkinLookupScope::~SkinLookupScope() = default;

SourceFacts InspectFile(std::string_view skin_path) {
  SourceFacts facts;
  facts.presence = Presence::kMissingFile;
  if (skin_path.empty()) return facts;
  // Not valid UTF-8: no file can carry that name.
  const std::optional<std::wstring> path = Utf8ToWide(skin_path);
  if (!path || path->find(L'\0') != std::wstring::npos) return facts;

  // Backup semantics let a folder open too, so that it can be told from a locked file.
  const HANDLE file = ::CreateFileW(path->c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    switch (::GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      // A name the file system cannot hold ("a?.bmp", "C:\skin\C:\a.bmp") names no file either.
      case ERROR_INVALID_NAME:
        facts.presence = Presence::kMissingFile;
        break;
      case ERROR_PATH_NOT_FOUND:
      // A server or share that is not there is a folder on the path that is missing.
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME:
        facts.presence = Presence::kMissingFolder;
        break;
      default:
        facts.presence = Presence::kUnopenable;
    }
    return facts;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = ::GetFileInformationByHandle(file, &info) != 0;
  const bool is_folder = known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.presence = is_folder ? Presence::kFolder : Presence::kPresent;
  facts.regular = known && !is_folder && ::GetFileType(file) == FILE_TYPE_DISK;
  facts.readable = facts.regular;  // it has just been opened for reading
  if (known) facts.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  ::CloseHandle(file);
  return facts;
}

std::string ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    if (buffer.size() >= 32768) return {};  // longer than any path the system allows
    buffer.resize(buffer.size() * 2);
  }
  const std::wstring exe(buffer.begin(), buffer.end());
  const std::size_t slash = exe.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  // A program in a root folder reports "C:\", as the system names that folder.
  const bool root = slash == 2 && exe[1] == L':';
  return WideToUtf8(exe.substr(0, root ? slash + 1 : slash));
}

std::string DefaultDialogFolder() {
  const std::string program = ProgramFolder();
  // Programs installed for everyone live in system folders, where no skin is kept.
  const std::string folded = FoldCase(program) + "\\";
  for (const wchar_t* variable : {L"ProgramFiles", L"ProgramFiles(x86)", L"SystemRoot"}) {
    wchar_t value[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(variable, value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) continue;
    if (folded.starts_with(FoldCase(WideToUtf8(value)) + "\\")) {
      wchar_t profile[MAX_PATH];
      const DWORD m = ::GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
      if (m > 0 && m < MAX_PATH) return WideToUtf8(profile);
    }
  }
  return program;
}

bool PathTooLongToOpen(std::string_view path) {
  const std::optional<std::wstring> wide = Utf8ToWide(path);
  return wide && wide->size() >= MAX_PATH;
}

}  // namespace zrk::platform

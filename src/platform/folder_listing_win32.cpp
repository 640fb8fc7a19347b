// Win32 folder listings of the file-system seam: FindFirstFileExW over the folder's entries.
#include <windows.h>

#include "platform/file_system.h"
#include "platform/text_win32.h"

namespace zrk::platform {
namespace {

// Access refused in the portable terms the seam promises; other failures as the system has them.
std::error_code ListError(DWORD error) {
  if (error == ERROR_ACCESS_DENIED) return std::make_error_code(std::errc::permission_denied);
  return {static_cast<int>(error), std::system_category()};
}

}  // namespace

std::vector<FolderEntry> NativeFileSystem::ListFolder(const std::string& path,
                                                      std::error_code& ec) {
  const std::optional<std::wstring> wide = Utf8ToWide(path);
  if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) {
    ec = {ERROR_INVALID_NAME, std::system_category()};
    return {};
  }
  const bool separated = wide->back() == L'\\' || wide->back() == L'/';
  const std::wstring pattern = *wide + (separated ? L"*" : L"\\*");
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    ec = ListError(::GetLastError());
    return {};
  }
  std::vector<FolderEntry> entries;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    FolderEntry entry;
    entry.name = WideToUtf8(name);
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.folder = directory && !link;
    if (link) {
      std::error_code ignored;  // a link that leads nowhere is no regular file
      entry.info = Stat(path + (separated ? "" : "\\") + entry.name, ignored);
    } else {
      entry.info.regular = !directory;
      entry.info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(find, &data));
  const DWORD error = ::GetLastError();
  ::FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    ec = ListError(error);
    return {};
  }
  ec.clear();
  return entries;
}

}  // namespace zrk::platform

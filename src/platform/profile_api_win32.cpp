// INI values through the system's profile API, GetPrivateProfileStringA, in the ANSI code page.
#include <windows.h>

#include <new>
#include <vector>

#include "platform/profile_api.h"
#include "platform/text_win32.h"

namespace zrk::platform {
namespace {

// The value buffer and the size announced to the reader, which counts the terminating NUL in
// it: the longest value that comes back is kMaxProfileValue characters.
constexpr DWORD kValueBufferChars = kMaxProfileValue + 1;

// The reader looks a relative name up in the Windows folder; every build passes a full path, and
// a relative one (zrk get) means the current folder.
std::optional<std::string> FullAnsiPath(const std::string& path) {
  const std::optional<std::wstring> wide = Utf8ToWide(path);
  if (!wide || wide->empty()) return std::nullopt;
  const DWORD size = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::nullopt;
  std::vector<wchar_t> full(size);
  const DWORD n = ::GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return std::nullopt;
  return Utf8ToAnsi(WideToUtf8(std::wstring_view(full.data(), n)));
}

}  // namespace

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& default_value) {
  try {
    // A name that has no ANSI form reads as nothing; "?" in its place could find another key.
    const std::optional<std::string> ansi_path = FullAnsiPath(path);
    const std::optional<std::string> ansi_section = Utf8ToAnsi(section);
    const std::optional<std::string> ansi_key = Utf8ToAnsi(key);
    const std::optional<std::string> ansi_default = Utf8ToAnsi(default_value);
    if (!ansi_path || !ansi_section || !ansi_key || !ansi_default) {
      return ProfileDefault(default_value);
    }

    // Filled with spaces first: whatever the reader leaves past its count never reaches the
    // result.
    std::string buffer(kValueBufferChars, ' ');
    const DWORD n =
        ::GetPrivateProfileStringA(ansi_section->c_str(), ansi_key->c_str(),
                                   ansi_default->empty() ? nullptr : ansi_default->c_str(),
                                   buffer.data(), kValueBufferChars, ansi_path->c_str());
    return AnsiToUtf8(std::string_view(buffer).substr(0, std::min<DWORD>(n, kMaxProfileValue)));
  } catch (const std::bad_alloc&) {
    return ProfileDefault(default_value);  // errors suspended: the value could not be read
  }
}

bool ProfileValuesFromMemory() { return false; }

}  // namespace zrk::platform

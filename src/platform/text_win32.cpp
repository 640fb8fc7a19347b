// Windows text conversions through MultiByteToWideChar and WideCharToMultiByte.
#include "platform/text_win32.h"

#include <windows.h>

#include <climits>

namespace zrk::platform {
namespace {

// The conversion functions count in int; longer text cannot be converted in one call.
bool FitsInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

std::optional<std::wstring> ToWide(UINT code_page, DWORD flags, std::string_view text) {
  if (text.empty()) return std::wstring();
  if (!FitsInt(text.size())) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int chars = ::MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
  if (chars <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(chars), L'\0');
  if (::MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), chars) != chars) {
    return std::nullopt;
  }
  return wide;
}

}  // namespace

std::optional<std::wstring> Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::wstring Utf8ToWideReplacing(std::string_view utf8) {
  return ToWide(CP_UTF8, 0, utf8).value_or(std::wstring());
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty() || !FitsInt(wide.size())) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  const std::optional<std::wstring> wide = Utf8ToWide(utf8);
  if (!wide) return std::nullopt;
  if (wide->empty()) return std::string();
  const int size = static_cast<int>(wide->size());
  BOOL lossy = FALSE;
  const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr,
                                          0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, ansi.data(), bytes,
                        nullptr, &lossy);
  if (lossy) return std::nullopt;
  return ansi;
}

std::string AnsiToUtf8(std::string_view ansi) {
  // Every byte of a single-byte code page has a UTF-16 form, so this cannot fail there.
  const std::optional<std::wstring> wide = ToWide(CP_ACP, 0, ansi);
  return wide ? WideToUtf8(*wide) : std::string();
}

}  // namespace zrk::platform

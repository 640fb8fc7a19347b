// Helpers of the Windows tests: files with UTF-8 names made through the wide file functions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zrk::testing {

/// The path that UTF-8 text names. std::filesystem::path(std::string) would widen it byte by
/// byte under MinGW.
inline std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

/// The UTF-8 text of a path, as the core takes paths.
inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace zrk::testing

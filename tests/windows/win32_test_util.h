// UTF-8 names in the Windows tests, converted through the wide path functions:
// std::filesystem::path(std::string) would read them in the ANSI code page under MinGW.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zrk::testing {

inline std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace zrk::testing

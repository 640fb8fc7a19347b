// Lookups in a parsed INI file with UTF-8 names and values.
#include "platform/profile_api.h"

#include "platform/cp1251.h"

namespace zrk::platform {

std::string ProfileValue(const Profile& profile, std::string_view section, std::string_view key) {
  return FindProfileValue(profile, section, key).value_or("");
}

std::optional<std::string> FindProfileValue(const Profile& profile, std::string_view section,
                                            std::string_view key) {
  // A name with no Windows-1251 form cannot stand in an ANSI file.
  const auto section_bytes = Utf8ToCp1251(section);
  const auto key_bytes = Utf8ToCp1251(key);
  if (!section_bytes || !key_bytes) return std::nullopt;
  const std::optional<std::string> value = profile.Find(*section_bytes, *key_bytes);
  if (!value) return std::nullopt;
  return Cp1251ToUtf8(*value);
}

std::string ProfileDefault(std::string default_value) {
  while (!default_value.empty() && default_value.back() == ' ') default_value.pop_back();
  return default_value;
}

}  // namespace zrk::platform

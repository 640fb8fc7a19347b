// INI values without a system profile API: the project's own reader on the resolved path.
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/native_path.h"
#include "platform/profile_api.h"

namespace zrk::platform {
namespace {

// The system's reader gives a default without its trailing spaces.
std::string DefaultValue(std::string value) {
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

}  // namespace

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& default_value) {
  try {
    const Profile profile = Profile::Load(ResolveNativePath(path));
    // A name with no Windows-1251 form cannot stand in the file: it is missing.
    const std::optional<std::string> section_bytes = Utf8ToCp1251(section);
    const std::optional<std::string> key_bytes = Utf8ToCp1251(key);
    if (section_bytes && key_bytes) {
      if (const auto value = profile.Find(*section_bytes, *key_bytes)) return Cp1251ToUtf8(*value);
    }
    return DefaultValue(default_value);
  } catch (const Error&) {
    return DefaultValue(default_value);  // errors suspended: an unreadable file gives the default
  }
}

bool ProfileValuesFromMemory() { return true; }

}  // namespace zrk::platform

// INI values without a system profile API: the project's own reader on the resolved path.
#include "platform/error.h"
#include "platform/native_path.h"
#include "platform/profile_api.h"

namespace zrk::platform {

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& default_value) {
  try {
    const Profile profile = Profile::Load(ResolveNativePath(path));
    std::string value = ProfileValue(profile, section, key);
    return value.empty() ? default_value : value;
  } catch (const Error&) {
    return default_value;  // errors suspended: a file that cannot be read gives the default
  }
}

bool ProfileValuesFromMemory() { return true; }

}  // namespace zrk::platform

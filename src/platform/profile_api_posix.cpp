// INI values without a system profile API: the project's own reader on the resolved path.
#include "platform/error.h"
#include "platform/native_path.h"
#include "platform/profile_api.h"

namespace zrk::platform {

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& default_value) {
  try {
    const Profile profile = Profile::Load(ResolveNativePath(path));
    return FindProfileValue(profile, section, key).value_or(ProfileDefault(default_value));
  } catch (const Error&) {
    return ProfileDefault(default_value);  // errors suspended: an unreadable file gives the default
  }
}

bool ProfileValuesFromMemory() { return true; }

}  // namespace zrk::platform

// mdlINI over the platform's profile reader.
#include "support/mdlINI.h"

#include "platform/cp1251.h"
#include "platform/native_path.h"
#include "platform/profile_reader.h"

namespace mdlINI {
namespace {

// Looks a UTF-8 section and key up in a parsed file and gives the value as UTF-8.
std::string ValueOf(const zrk::platform::Profile& profile, const std::string& section,
                    const std::string& key) {
  // A name with no Windows-1251 form cannot stand in an ANSI file.
  const auto section_bytes = zrk::platform::Utf8ToCp1251(section);
  const auto key_bytes = zrk::platform::Utf8ToCp1251(key);
  if (!section_bytes || !key_bytes) return {};
  return zrk::platform::Cp1251ToUtf8(profile.Value(*section_bytes, *key_bytes));
}

}  // namespace

std::string ReadIniValue(std::string path, std::string section, std::string key,
                         std::string default_value) {
  try {
    const auto profile = zrk::platform::Profile::Load(zrk::platform::ResolveNativePath(path));
    std::string value = ValueOf(profile, section, key);
    return value.empty() ? default_value : value;
  } catch (...) {
    return {};
  }
}

std::string CachedIniReader::Read(const std::string& path, const std::string& section,
                                  const std::string& key) {
  try {
    // Keyed by the path as given: one collection reads the same path again and again.
    auto it = profiles_.find(path);
    if (it == profiles_.end()) {
      const std::string native = zrk::platform::ResolveNativePath(path);
      it = profiles_.emplace(path, zrk::platform::Profile::Load(native)).first;
    }
    return ValueOf(it->second, section, key);
  } catch (...) {
    return {};
  }
}

std::string WithTrailingBackslash(std::string path) {
  if (path.empty()) path = zrk::platform::ProgramFolder();
  if (!path.empty() && zrk::platform::IsPathSeparator(path.back())) return path;
  return path + "\\";
}

}  // namespace mdlINI

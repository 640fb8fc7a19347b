// mdlINI over the platform's profile reader.
#include "support/mdlINI.h"

#include "platform/native_path.h"
#include "platform/profile_api.h"
#include "platform/profile_reader.h"

namespace mdlINI {

std::string ReadIniValue(std::string path, std::string section, std::string key,
                         std::string default_value) {
  return zrk::platform::ReadProfileValue(path, section, key, default_value);
}

std::string CachedIniReader::Read(const std::string& path, const std::string& section,
                                  const std::string& key) {
  // The system's profile API keeps no parsed file for us: each value is one call of it.
  if (!zrk::platform::ProfileValuesFromMemory()) return ReadIniValue(path, section, key);
  // Keyed by the path as given: one collection reads the same path again and again.
  auto it = profiles_.find(path);
  if (it == profiles_.end()) it = profiles_.emplace(path, Parse(path)).first;
  return zrk::platform::ProfileValue(it->second, section, key);
}

bool CachedIniReader::ParsesFiles() { return zrk::platform::ProfileValuesFromMemory(); }

zrk::platform::Profile CachedIniReader::Parse(const std::string& path) {
  return zrk::platform::Profile::Load(zrk::platform::ResolveNativePath(path));
}

void CachedIniReader::Keep(const std::string& path, zrk::platform::Profile profile) {
  profiles_.try_emplace(path, std::move(profile));
}

std::string WithTrailingBackslash(std::string path) {
  if (path.empty()) path = zrk::platform::ProgramFolder();
  if (!path.empty() && zrk::platform::IsPathSeparator(path.back())) return path;
  return path + "\\";
}

}  // namespace mdlINI

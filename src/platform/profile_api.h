// One value from an INI file, read the way the platform reads configuration text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_reader.h"

namespace zrk::platform {

/// The value of key in section of the INI file at path, as the platform's profile reader gives
/// it: at most 1022 characters, and default_value when the file, section or key is missing. On
/// Windows that reader is the system's GetPrivateProfileStringA, which reads the file afresh on
/// every call; elsewhere it is Profile. Text is UTF-8; a name with no form in the code page of
/// INI files finds nothing. Never throws.
std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& default_value);

/// Whether ReadProfileValue's answers are those of Profile::Load, so that a caller may parse a
/// file once and serve later lookups from memory with ProfileValue. False on Windows.
bool ProfileValuesFromMemory();

/// The value of a UTF-8 section and key in a parsed file, as UTF-8; empty when a name has no
/// Windows-1251 form.
std::string ProfileValue(const Profile& profile, std::string_view section, std::string_view key);

/// The same, or nullopt when the section or key is missing (a name with no Windows-1251 form
/// cannot stand in the file, so it is missing too).
std::optional<std::string> FindProfileValue(const Profile& profile, std::string_view section,
                                            std::string_view key);

/// What ReadProfileValue gives for something missing: the default without its trailing spaces,
/// as the system's reader copies it.
std::string ProfileDefault(std::string default_value);

}  // namespace zrk::platform

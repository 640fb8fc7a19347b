// The checks that FindSkinWarnings puts together, one file each: the text of INI files
// (ini_text_warnings.cpp), the rules of Windows names (windows_names.cpp) and the headers of BMP
// pictures (bmp_header.cpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "assembly/skin_warnings.h"
#include "platform/file_system.h"

namespace zrk::skin_checks {

/// Text in single quotes, as the warnings show a name or a value.
inline std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

/// Warnings about the INI file name, whose bytes are file_bytes, as the host's profile reader
/// takes them: a UTF-8 byte-order mark that hides the first section, UTF-16 it reads nothing of,
/// UTF-8 text it reads as Windows-1251, and values longer than it returns.
std::vector<SkinWarning> IniTextWarnings(const std::string& name, std::string_view file_bytes);

/// The same for the project file, followed by its module keys that are never read and the sizes
/// of SizeList that no key names; module_names gets the names of its module files as the build
/// reads them (UTF-8).
std::vector<SkinWarning> ProjectIniWarnings(const std::string& name, std::string_view file_bytes,
                                            std::unordered_set<std::string>& module_names);

/// What Windows makes of a list entry, one function per rule: each gives the warning's text when
/// name breaks the rule, else nothing. The name leads outside the skin folder (from a drive's
/// root, with a drive letter, or up through "..").
std::optional<std::string> LeavesSkinFolder(std::string_view name);

/// The name holds a character no Windows file name may hold (a control character or <>:"|?*).
std::optional<std::string> ForbiddenCharacter(std::string_view name);

/// A component of the name ends in a blank or a dot, which Windows drops.
std::optional<std::string> ComponentEndingInBlankOrDot(std::string_view name);

/// A component of the name is a device name (CON, NUL, COM1...), with or without an extension.
std::optional<std::string> DeviceName(std::string_view name);

/// The texts of the four rules that name breaks, in the order above.
std::vector<std::string> WindowsNameWarnings(std::string_view name);

/// The text of a warning when name ends in ".bmp" (in any letter case) and its file in
/// skin_folder, read through fs, starts with no BMP header; nothing when it does, when it is no
/// regular file or cannot be read.
std::optional<std::string> BmpHeaderWarning(const std::string& name, const std::string& skin_folder,
                                            platform::FileSystem& fs);

}  // namespace zrk::skin_checks

// The checks that FindSkinWarnings puts together, one file each: the text of INI files
// (ini_text_warnings.cpp), the rules of Windows names (windows_names.cpp), names written other
// than meant (name_slips.cpp) and the headers of BMP pictures (bmp_header.cpp).
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
/// root, with a drive letter, or up through ".."): the host looks outside the skin, and zrk
/// extract refuses the package.
std::optional<std::string> LeavesSkinFolder(std::string_view name);

/// The name steps back through ".." but stays in the skin folder: the host finds the file, but zrk
/// extract refuses the package all the same.
std::optional<std::string> StepsBackInside(std::string_view name);

/// The name holds a character no Windows file name may hold (a control character or <>:"|?*).
std::optional<std::string> ForbiddenCharacter(std::string_view name);

/// A component of the name ends in a blank or a dot, which Windows drops.
std::optional<std::string> ComponentEndingInBlankOrDot(std::string_view name);

/// A component of the name is a device name (CON, NUL, COM1...), with or without an extension.
std::optional<std::string> DeviceName(std::string_view name);

/// The texts of the five rules that name breaks, in the order above.
std::vector<std::string> WindowsNameWarnings(std::string_view name);

/// The name holds a ";" between two texts, with a blank at its side or a file name with an
/// extension before it: a comment after the value, which the reader keeps as part of it. Frames are
/// split at ";" and hold none.
std::optional<std::string> CommentInName(std::string_view name);

/// The text of the warning on name, which the host takes for the same file as the earlier name of
/// the list: the two differ in letter case or in their separators ("/" and "\") only.
std::string SameFileTwice(std::string_view name, std::string_view earlier);

/// Whether name ends in ".bmp", in any letter case: a picture the host shows.
bool HasBmpExtension(std::string_view name);

/// The text of a warning when a ".bmp" file whose first bytes are start (at least the 26 of a BMP
/// file header and its picture's size, where the file has them) holds no BMP picture; nothing
/// when it does.
std::optional<std::string> BmpStartWarning(std::string_view start);

/// The text of a warning for a name that the build found only by letter case: on_disk is the
/// file's name on disk, relative to the skin folder, "\" separators.
std::string FoundByLetterCase(std::string_view on_disk);

}  // namespace zrk::skin_checks

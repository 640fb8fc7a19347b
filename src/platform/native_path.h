// Skin paths on the native file system: separators, letter case and existence.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zrk::platform {

/// True for the characters that separate folders in a path: "\", the skins' own separator, and
/// "/", the POSIX one, which Windows accepts as well.
bool IsPathSeparator(char c);

/// Turns a skin path ("\" separators, authored on a case-insensitive file system) into the native
/// path that names it. The exact path wins when it exists; otherwise each component that is not
/// found is matched against its folder's entries ignoring letter case (ASCII and Cyrillic), and a
/// unique match is used. Components that cannot be matched are kept as given.
std::string ResolveNativePath(std::string_view skin_path);

/// What opening a file for reading would find.
enum class Presence {
  kPresent,        // a regular file that opens for reading
  kUnopenable,     // exists, but cannot be opened (access refused, locked)
  kMissingFile,    // the folder exists, the file does not
  kMissingFolder,  // a folder on the path does not exist
  kFolder,         // the path names a folder, which is never a file of a skin
};

/// Probes the file at a skin path by opening it for reading and closing it again.
Presence ProbeFile(std::string_view skin_path);

/// Folds letter case for comparing names: ASCII and Cyrillic upper case become lower case, every
/// other character stays. Works on UTF-8.
std::string FoldCase(std::string_view utf8);

/// The path named by UTF-8 text. Unlike std::filesystem::path(std::string), which MinGW reads in
/// the ANSI code page, this reads UTF-8 on every platform; on POSIX the bytes pass unchanged.
/// Throws std::filesystem::filesystem_error on Windows when text is not valid UTF-8.
std::filesystem::path PathFromUtf8(std::string_view utf8);

/// The UTF-8 text of path, where path.string() would give the ANSI code page form on Windows;
/// on POSIX the bytes pass unchanged.
std::string Utf8FromPath(const std::filesystem::path& path);

/// The folder that holds the running program, without a trailing separator; empty when the
/// platform cannot say.
std::string ProgramFolder();

}  // namespace zrk::platform

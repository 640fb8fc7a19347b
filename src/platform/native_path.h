// Skin paths on the native file system: separators, letter case and existence.
#pragma once

#include <cstdint>
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

/// The native spelling of a skin path, without looking at the disk: "\" becomes "/" on POSIX.
/// When it names no file, ResolveNativePath may still find one by letter case.
std::string NativeSpelling(std::string_view skin_path);

/// The look-ups of one build. While an object of this type lives, the folder listings that
/// letter-case matching reads are kept and reused, so that names whose case differs from the
/// disk read each folder once, not once per name; and files below skin_folder are looked up from
/// an open handle of it rather than from the root each time. A build makes one; nothing is kept
/// between builds. It serves the thread that made it. Does nothing on Windows, whose file system
/// matches case itself.
class SkinLookupScope {
 public:
  explicit SkinLookupScope(std::string_view skin_folder = {});
  ~SkinLookupScope();
  SkinLookupScope(const SkinLookupScope&) = delete;
  SkinLookupScope& operator=(const SkinLookupScope&) = delete;

 private:
  bool owner_ = false;
};

/// What opening a file for reading would find.
enum class Presence {
  kPresent,        // a regular file that opens for reading
  kUnopenable,     // exists, but cannot be opened (access refused, locked)
  kMissingFile,    // the folder exists, the file does not
  kMissingFolder,  // a folder on the path does not exist
  kFolder,         // the path names a folder, which is never a file of a skin
};

/// What a build must know of a source before it asks for the package name.
struct SourceFacts {
  Presence presence = Presence::kMissingFile;
  bool regular = false;    ///< a regular file, not a device, pipe or socket
  bool readable = false;   ///< opens for reading
  std::uint64_t size = 0;  ///< length in bytes, for a regular file
};

/// Probes the file at a skin path: what opening it for reading would find and, for a file that is
/// there, its kind, size and whether it can be read. Told from the file's metadata where the
/// platform allows (one look-up on POSIX, no open).
SourceFacts InspectFile(std::string_view skin_path);

/// Folds letter case for comparing names: ASCII and Cyrillic upper case become lower case, every
/// other character stays. Works on UTF-8. The program's one letter-case rule: FoldCaseCp1251
/// applies it to Windows-1251 bytes.
std::string FoldCase(std::string_view utf8);

/// The path named by UTF-8 text. Unlike std::filesystem::path(std::string), which MinGW reads in
/// the ANSI code page, this reads UTF-8 on every platform; on POSIX the bytes pass unchanged.
/// Never throws: on Windows, bytes that are not UTF-8 become U+FFFD, as the system's own
/// conversion makes them.
std::filesystem::path PathFromUtf8(std::string_view utf8);

/// The UTF-8 text of path, where path.string() would give the ANSI code page form on Windows;
/// on POSIX the bytes pass unchanged. Never throws: on Windows a lone surrogate becomes U+FFFD.
std::string Utf8FromPath(const std::filesystem::path& path);

/// The folder that holds the running program, without a trailing separator; empty when the
/// platform cannot say.
std::string ProgramFolder();

/// Where a file dialog opens when nothing else says: the program's folder when the user works
/// there (it lies in the user's home, as when the program is kept beside the skins), else the
/// user's home folder (on Windows: the program's folder unless it lies in a system folder, such
/// as Program Files, else the user's profile).
std::string DefaultDialogFolder();

/// Whether the system refuses to open anything by path for its length alone, whatever it names:
/// PATH_MAX bytes or more on POSIX, MAX_PATH UTF-16 units or more on Windows. A build opens the
/// skin's files by full paths.
bool PathTooLongToOpen(std::string_view path);

}  // namespace zrk::platform

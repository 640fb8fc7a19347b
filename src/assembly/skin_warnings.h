// Skin warnings: what the host application will read or open differently from what the skin's
// author meant, although the package builds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/package_writer.h"

namespace zrk {

/// One thing the host will get wrong, and where.
struct SkinWarning {
  std::string file;     ///< the INI file or list entry, as the report shows it
  std::string section;  ///< "" when the warning concerns no section
  std::string key;      ///< "" when the warning concerns no key
  std::string text;     ///< what is wrong, what the host will do and the remedy, in Russian
};

/// The warning as one line: "<file>: <text>", or "<file> [<section>] <key>: <text>" when it
/// names a section (and its key).
std::string FormatWarning(const SkinWarning& warning);

/// How far FindSkinWarnings looks: the INI files and the names alone (cheap beside a build), or
/// every listed file on disk too (their letter case and BMP headers, a look into each).
enum class WarningScope { kIniFilesAndNames, kEveryFile };

/// Warnings about the skin of the project file at project_path whose collected file list is files
/// (entry 0 the project file): a project file that is no text or names no module, how its INI
/// files are encoded, values the reader cuts, module keys never read, sections and keys near those
/// the builder reads, comments kept in names, names Windows cannot open as meant or zrk extract
/// refuses, one file named in two spellings, and with kEveryFile names found only by their letter
/// case and pictures that are no BMP. Each text says what to do. Ordered by file in list order,
/// then by kind. Files that are missing or cannot be read give no warning (the build reports
/// them). Throws only when memory runs out.
std::vector<SkinWarning> FindSkinWarnings(const std::string& project_path,
                                          const std::vector<std::string>& files,
                                          WarningScope scope = WarningScope::kEveryFile);

/// The warnings of WarningScope::kEveryFile that come from looking into the listed file name, in
/// the skin folder of project_path, told from what was seen of it as it was packed (SourceSeen):
/// a build that writes its package need not open every file a second time.
std::vector<std::string> SeenFileWarnings(std::string_view name, const SourceSeen& seen,
                                          const std::string& project_path);

/// The warnings FindSkinWarnings gives for files with kIniFilesAndNames (names_warnings) together
/// with the texts of SeenFileWarnings (seen_warnings: the file's index in files and the text, in
/// list order), in the order FindSkinWarnings gives them with kEveryFile.
std::vector<SkinWarning> WithSeenFileWarnings(
    const std::vector<std::string>& files, std::vector<SkinWarning> names_warnings,
    std::vector<std::pair<std::size_t, std::string>> seen_warnings);

/// A file in the project folder that the package leaves out.
struct UnusedFile {
  std::string name;  ///< relative to the project folder, "\" separators
  std::uint64_t size = 0;
};

/// The regular files under the project folder (sub-folders included) that no entry of files
/// names, with their sizes, sorted by path. Entries are resolved as the build resolves them, so a
/// name in another letter case counts where the build would match it; the preview picture that
/// the build adds counts as named. Throws zrk::Error naming the folder when it cannot be listed.
std::vector<UnusedFile> FindUnusedFiles(const std::string& project_path,
                                        const std::vector<std::string>& files);

}  // namespace zrk

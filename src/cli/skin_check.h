// What zrk check and zrk build say about a skin beyond the report: warnings, unused files, and
// the whole verdict as JSON.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "assembly/build_driver.h"
#include "assembly/file_list.h"
#include "assembly/skin_warnings.h"

namespace zrk::cli {

/// What a build found of the skin: its file list as collected, with where each name was named, and
/// as tested, whether the preview picture was added behind it, the error line of a failed build,
/// and the skin's warnings.
struct SkinFindings {
  ListedFiles listed;
  std::vector<bool> found;  ///< per entry of the list: whether its test found it (untested: false)
  std::size_t tested = 0;   ///< how many entries, from the first, were tested
  std::string preview;      ///< the preview picture's name when the build added it, else ""
  std::string error_line;
  std::vector<SkinWarning> warnings;
};

/// One "предупреждение: " line on err for each warning.
void PrintWarnings(const std::vector<SkinWarning>& warnings, std::ostream& err);

/// One "не найден: " line on err for each tested entry that was not found, with where it was
/// named.
void PrintMissing(const SkinFindings& findings, std::ostream& err);

/// The files no entry names, one a line, and their number and total size.
void PrintUnused(const std::vector<UnusedFile>& unused, std::ostream& out);

/// The check as one JSON document: the verdict (and the error line of a failed one), every
/// collected file with where it was named and whether it was found, the preview picture added
/// behind them, the warnings, and the unused files when unused is given.
void PrintCheckJson(const SkinFindings& findings, BuildOutcome outcome,
                    const std::vector<UnusedFile>* unused, std::ostream& out);

}  // namespace zrk::cli

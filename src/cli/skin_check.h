// What zrk check and zrk build say about a skin beyond the report: warnings, unused files, and
// the whole verdict as JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "assembly/build_driver.h"
#include "assembly/skin_warnings.h"

namespace zrk::cli {

/// What a build found of the skin: its file list as collected and tested, whether the preview
/// picture was added behind it, the error line of a failed build, and the skin's warnings.
struct SkinFindings {
  std::vector<std::string> files;
  std::vector<bool> found;  ///< per entry of files: whether its test found it (untested: false)
  bool preview_added = false;
  std::string error_line;
  std::vector<SkinWarning> warnings;
};

/// One "предупреждение: " line on err for each warning.
void PrintWarnings(const std::vector<SkinWarning>& warnings, std::ostream& err);

/// The files no entry names, one a line, and their number and total size.
void PrintUnused(const std::vector<UnusedFile>& unused, std::ostream& out);

/// The check as one JSON document: the verdict (and the error line of a failed one), every
/// collected file with whether it was found, the warnings, and the unused files when unused is
/// given.
void PrintCheckJson(const SkinFindings& findings, BuildOutcome outcome,
                    const std::vector<UnusedFile>* unused, std::ostream& out);

}  // namespace zrk::cli

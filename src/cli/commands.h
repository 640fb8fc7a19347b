// The subcommands of zrk, each returning the process's exit code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace zrk::cli {

/// Exit codes of zrk.
enum ExitCode : int {
  kExitOk = 0,
  kExitFilesMissing = 1,
  kExitUsage = 2,
  kExitFailed = 3,      // a file operation failed, or a package is corrupt
  kExitNotWritten = 4,  // an existing package was not replaced, or the build was cancelled
  kExitWarnings = 5,    // zrk check --strict printed warnings and found nothing worse
};

/// The commands of zrk, in the order its help lists them.
inline constexpr std::string_view kCommandNames[] = {"build", "check", "list", "extract",
                                                     "get",   "init",  "diff"};

/// A mistake in how zrk was called: its message says what, and zrk exits with kExitUsage.
class UsageError : public Error {
 public:
  using Error::Error;
};

/// What zrk build and zrk check are asked to do.
struct BuildRequest {
  std::string project;             ///< the project file, or a folder holding config.zrp
  std::optional<std::string> out;  ///< -o: the package path; none for the project folder's name
  bool force = false;              ///< replace an existing package without asking
  bool check_only = false;         ///< stop at the verdict on the files: zrk check
  bool quiet = false;              ///< print no report, only errors and warnings
  bool strict = false;  ///< warnings make the exit code kExitWarnings; build writes nothing
  bool json = false;    ///< check: the verdict, list and warnings as JSON on stdout
  bool unused = false;  ///< check: also list the files no entry names
};

/// zrk build / zrk check: runs the build of the project file. Throws UsageError for a project
/// that names no file, an empty -o or one into a folder that is not there, zrk::Error when the
/// current folder cannot be found.
int RunBuildOrCheck(const BuildRequest& request);

/// How zrk list shows a package.
struct ListRequest {
  std::string package;
  bool json = false;
  bool readable = false;  ///< sizes as "1,5 КБ" instead of bytes
  bool total = false;     ///< a last line with the total size and the number of entries
};

/// zrk list: prints the entries of a package with their sizes, once it has read and validated the
/// whole package. Throws zrk::Error, having printed nothing, for a package that cannot be read or
/// is broken, or when the listing cannot be held back.
int RunList(const ListRequest& request);

/// zrk extract: writes every entry of a package under folder (or those of names, as zrk list
/// prints them), after validating it whole and finding no file to replace (or with force). A
/// name the package does not hold is kExitFailed before anything is written.
int RunExtract(const std::string& package, const std::string& folder, bool force,
               const std::vector<std::string>& names = {});

/// zrk get: prints the value the builder reads for section and key of an INI file; for a file
/// that is missing or cannot be read, the empty value, the reason on stderr and kExitFilesMissing.
int RunGet(const std::string& file, const std::string& section, const std::string& key);

/// zrk init: writes a starter skin into folder, which is made when missing and must be empty;
/// on a failure nothing the run made is left. kExitFailed when the folder holds anything.
int RunInit(const std::string& folder);

/// zrk diff: prints the entries only in first ("- "), only in second ("+ ") and those whose bytes
/// differ ("~ "); kExitFilesMissing when there are any, kExitFailed when a package is unread.
int RunDiff(const std::string& first, const std::string& second, bool json);

}  // namespace zrk::cli

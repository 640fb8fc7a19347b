// The subcommands of zrk, each returning the process's exit code.
#pragma once

#include <string>

namespace zrk::cli {

/// Exit codes of zrk.
enum ExitCode : int {
  kExitOk = 0,
  kExitFilesMissing = 1,
  kExitUsage = 2,
  kExitFailed = 3,  // a file operation failed, or a package is corrupt
  kExitNotWritten = 4,  // an existing package was not replaced, or the build was cancelled
};

/// zrk build / zrk check: runs the build of the project file; with check_only it stops at the
/// verdict on the files. out is the package path ("" for the project folder's name in the
/// current folder).
int RunBuild(const std::string& project, const std::string& out, bool force, bool check_only);

/// zrk list: prints the entries of a package with their sizes, after validating it whole. Throws
/// zrk::Error for a package that cannot be read or is broken.
int RunList(const std::string& package, bool json);

/// zrk extract: writes every entry of a package under folder, after validating it whole and
/// finding no file to replace (or with force). Throws zrk::Error as RunList does.
int RunExtract(const std::string& package, const std::string& folder, bool force);

/// zrk get: prints the value the builder reads for section and key of an INI file.
int RunGet(const std::string& file, const std::string& section, const std::string& key);

}  // namespace zrk::cli

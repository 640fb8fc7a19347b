// zrk build and zrk check: the desktop program's build, driven from the command line.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <future>
#include <iostream>
#include <optional>

#include "assembly/build_driver.h"
#include "assembly/package_writer.h"
#include "assembly/texts.h"
#include "cli/answering_dialog.h"
#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/skin_check.h"
#include "cli/standard_output.h"
#include "dialogs/dialog_record.h"
#include "dialogs/mdlCdlg.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;

// Whether text ends in suffix, ASCII letters in either case: ".ZRK" is a package too.
bool EndsWith(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const std::string_view end = std::string_view(text).substr(text.size() - suffix.size());
  return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

// The project file a user means, as a full path: PROJECT itself, or config.zrp in the folder
// PROJECT names. Throws UsageError when there is no such file, zrk::Error when the system cannot
// open it by its full path.
fs::path ProjectFile(const std::string& project) {
  fs::path path = platform::PathFromUtf8(project);
  std::error_code ec;
  if (fs::is_directory(path, ec)) path /= "config.zrp";
  const bool exists = fs::exists(path, ec);
  if (ec == std::errc::filename_too_long) {
    throw Error(cli_texts::ProjectPathTooLong(platform::Utf8FromPath(path)));
  }
  if (!exists) throw UsageError(cli_texts::NoProjectFile(platform::Utf8FromPath(path)));
  // The build resolves every name against the project's folder, so it needs a full path; one
  // the system refuses would make the skin's own files look missing.
  fs::path absolute = fs::absolute(path, ec);
  if (ec) {
    throw Error(cli_texts::ProjectPathUnknown(project, platform::ErrorText(ec)));
  }
  const std::string absolute_text = platform::Utf8FromPath(absolute);
  if (platform::PathTooLongToOpen(absolute_text)) {
    throw Error(cli_texts::ProjectPathTooLong(absolute_text));
  }
  return absolute;
}

// The skin's warnings, said once: before the build's verdict, with the files found missing and
// where each was named; or, in a build that goes on to write without --strict, once the package is
// written. Those of the INI files and names are worked out on the other core (here, should no
// thread be had) from the moment the list is collected; those of what every file holds, in a
// build that writes, from what the writer saw of each file, so that no file is opened twice.
// findings gets them.
class SkinWarnings {
 public:
  SkinWarnings(ConsoleReport& report, const BuildRequest& request, const std::string& project,
               SkinFindings& findings)
      : request_(request), project_(project), findings_(findings) {
    report.OnFileListCollected([this, &report] {
      pending_ =
          std::async(std::launch::async | std::launch::deferred, FindSkinWarnings,
                     std::cref(project_), std::cref(findings_.listed.names()),
                     MayWrite() ? WarningScope::kIniFilesAndNames : WarningScope::kEveryFile);
      report.AfterFilesTested([this] {
        std::cout.flush();
        if (!WritesNext()) SayRest(false);
        PrintMissing(findings_, std::cerr);
      });
    });
    if (!MayWrite()) return;
    report.OnFileWritten([this](std::size_t index, const SourceSeen& seen) {
      if (index >= findings_.listed.names().size()) return;  // the preview picture
      for (std::string& text : SeenFileWarnings(findings_.listed.names()[index], seen, project_)) {
        seen_.emplace_back(index, std::move(text));
      }
    });
  }

  /// Says the warnings unless they have been said; written: whether the package was. A build
  /// that wrote none looks into every file here.
  void SayRest(bool written) {
    if (!pending_.valid()) return;
    findings_.warnings = pending_.get();
    if (MayWrite() && written) {
      findings_.warnings = WithSeenFileWarnings(findings_.listed.names(),
                                                std::move(findings_.warnings), std::move(seen_));
    } else if (MayWrite()) {
      findings_.warnings =
          FindSkinWarnings(project_, findings_.listed.names(), WarningScope::kEveryFile);
    }
    if (!request_.json) PrintWarnings(findings_.warnings, std::cerr);
  }

 private:
  // Whether the build may write a package, and so looks into every file as it writes it.
  bool MayWrite() const { return !request_.check_only && !request_.strict; }

  // Whether the build goes on to the package's name once every file has been found.
  bool WritesNext() const {
    return !request_.check_only && !request_.strict && findings_.tested == findings_.found.size() &&
           std::find(findings_.found.begin(), findings_.found.end(), false) ==
               findings_.found.end();
  }

  const BuildRequest& request_;
  const std::string& project_;
  SkinFindings& findings_;
  std::future<std::vector<SkinWarning>> pending_;
  std::vector<std::pair<std::size_t, std::string>> seen_;
};

// The summary a script's log keeps: where the package went, how many entries, how large; and,
// quiet or not, that the report could not be written, in the same line, since the package was.
// Returns the exit code of the written package.
int PrintSummary(const std::string& package_path, std::size_t entries, bool quiet) {
  const std::optional<std::error_code> failure = TakeOutputFailure();
  if (quiet && !failure) return kExitOk;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(platform::PathFromUtf8(package_path), ec);
  std::string line = cli_texts::PackageWritten(package_path, entries, size);
  if (failure) line += "; " + cli_texts::OutputNotWritten(platform::ErrorText(*failure));
  Say(line);
  return failure ? kExitFailed : kExitOk;
}

// The package path a user means, in full: out as typed when it ends in ".zrk" in any letter case,
// else with ".zrk" added. Without out, or when out names a folder (it ends in a separator, or is
// an existing folder not named as a package), the package takes the project folder's name, in the
// current folder or in that one.
std::string PackagePath(const fs::path& project, const std::string& out) {
  std::error_code ec;
  // The folder's real name, however the path spells it ("./config.zrp", "../config.zrp", a link).
  fs::path folder_name = fs::weakly_canonical(project, ec).parent_path().filename();
  if (ec || folder_name.empty()) folder_name = project.lexically_normal().parent_path().filename();
  if (folder_name.empty()) folder_name = "package";
  const std::string extension(texts::kPackageExtension);
  const fs::path given = platform::PathFromUtf8(out);
  fs::path here;
  if (out.empty() || given.is_relative()) {
    here = fs::current_path(ec);
    if (ec) throw Error(cli_texts::NoCurrentFolder(platform::ErrorText(ec)));
  }
  if (out.empty()) return platform::Utf8FromPath(here / folder_name) + extension;
  const fs::path out_path = here / given;
  const bool names_folder = out.back() == '/' || out.back() == '\\' ||
                            (!EndsWith(out, extension) && fs::is_directory(out_path, ec));
  if (names_folder) return platform::Utf8FromPath(out_path / folder_name) + extension;
  const std::string path = platform::Utf8FromPath(out_path);
  return EndsWith(path, extension) ? path : path + extension;
}

// Refuses a package path that the save dialog could not return, or whose folder is not there:
// said before any file is tested.
void CheckPackagePath(const std::string& package_path) {
  // The save dialog's name buffer holds 259 characters and its NUL, as on the desktop.
  if (CountCharacters(package_path) >= kDialogBufferChars) {
    throw UsageError(cli_texts::PackagePathTooLong(kDialogBufferChars - 1, package_path));
  }
  const fs::path folder = platform::PathFromUtf8(package_path).parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    throw UsageError(cli_texts::NoPackageFolder(platform::Utf8FromPath(folder)));
  }
}

int ExitCodeOf(BuildOutcome outcome) {
  switch (outcome) {
    case BuildOutcome::kWritten:
    case BuildOutcome::kChecked:
      return kExitOk;
    case BuildOutcome::kFilesMissing:
      return kExitFilesMissing;
    case BuildOutcome::kCancelled:
    case BuildOutcome::kNotReplaced:
      return kExitNotWritten;
    case BuildOutcome::kFailed:
      return kExitFailed;
  }
  return kExitFailed;
}

// What is said after the build: the package's summary, the files no entry names, the JSON
// document; returns the exit code.
int Conclude(const BuildRequest& request, const std::string& project, const SkinFindings& findings,
             BuildOutcome outcome, const std::string& package_path) {
  const bool warned = !findings.warnings.empty();
  if (outcome == BuildOutcome::kCancelled && request.strict && warned) {
    Say(cli_texts::kStrictStop);
    return kExitWarnings;
  }
  if (outcome == BuildOutcome::kCancelled) Say(cli_texts::PackageNotReplaced(package_path));
  if (outcome == BuildOutcome::kWritten) {
    const std::size_t entries = findings.listed.names().size() + (findings.preview.empty() ? 0 : 1);
    if (PrintSummary(package_path, entries, request.quiet) != kExitOk) return kExitFailed;
  }
  std::vector<UnusedFile> unused;
  if (request.unused) unused = FindUnusedFiles(project, findings.listed.names());
  if (request.json) {
    PrintCheckJson(findings, outcome, request.unused ? &unused : nullptr, std::cout);
  } else if (request.unused) {
    PrintUnused(unused, std::cout);
  }
  const int code = ExitCodeOf(outcome);
  return code == kExitOk && request.strict && warned ? kExitWarnings : code;
}

}  // namespace

int RunBuildOrCheck(const BuildRequest& request) {
  if (request.out && request.out->empty()) throw UsageError(cli_texts::kEmptyOutput);
  const fs::path project_path = ProjectFile(request.project);
  const std::string package_path =
      request.check_only ? std::string() : PackagePath(project_path, request.out.value_or(""));
  // What the package could never replace, or nobody can agree to replace: said now instead of
  // building first.
  if (!request.check_only) {
    CheckPackagePath(package_path);
    CheckDestination(package_path);
  }
  if (!request.check_only && !request.force && !IsTerminal(Stream::kInput) &&
      PackageExists(package_path, PackageNaming::kAsGiven)) {
    Say(cli_texts::PackageKept(package_path));
    return kExitNotWritten;
  }

  const std::string project_text = platform::Utf8FromPath(project_path);
  SkinFindings findings;
  // With --strict, warnings end the build where it would ask for the name.
  AnsweringDialog dialog(package_path,
                         [&] { return request.strict && !findings.warnings.empty(); });
  FileDialogPlatform* previous = mdlCdlg::SetDialogPlatform(&dialog);
  ConsoleReport report(std::cout, request.quiet || request.json,
                       !request.quiet && IsTerminal(Stream::kError) ? &std::cerr : nullptr,
                       findings);
  SkinWarnings warnings(report, request, project_text, findings);
  ConsoleMessageBoxes boxes(std::cerr, request.force, report);
  const BuildOutcome outcome =
      BuildPackage(project_text, report, boxes, request.check_only, PackageNaming::kAsGiven);
  mdlCdlg::SetDialogPlatform(previous);
  std::cout.flush();
  warnings.SayRest(outcome == BuildOutcome::kWritten);
  return Conclude(request, project_text, findings, outcome, package_path);
}

}  // namespace zrk::cli

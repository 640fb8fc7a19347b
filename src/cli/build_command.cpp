// zrk build and zrk check: the desktop program's build, driven from the command line.
#include <filesystem>
#include <iostream>

#include "assembly/build_driver.h"
#include "assembly/texts.h"
#include "cli/answering_dialog.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "dialogs/dialog_record.h"
#include "dialogs/mdlCdlg.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The name the save dialog returns: the build appends ".zrk" to it, so a path that already ends
// in ".zrk" loses it here. Without out, or when out names a folder (it ends in a separator, or is
// an existing folder not named as a package), the package takes the project folder's name, in the
// current folder or in that one.
std::string SaveName(const fs::path& project, const std::string& out) {
  std::error_code ec;
  // The folder's real name, however the path spells it ("./config.zrp", "../config.zrp", a link).
  fs::path folder_name = fs::weakly_canonical(project, ec).parent_path().filename();
  if (ec || folder_name.empty()) folder_name = project.lexically_normal().parent_path().filename();
  if (folder_name.empty()) folder_name = "package";
  const fs::path given = platform::PathFromUtf8(out);
  fs::path here;
  if (out.empty() || given.is_relative()) {
    here = fs::current_path(ec);
    if (ec) throw Error("не удалось определить текущую папку: " + platform::ErrorText(ec));
  }
  if (out.empty()) return platform::Utf8FromPath(here / folder_name);
  const fs::path out_path = here / given;
  const bool names_folder = out.back() == '/' || out.back() == '\\' ||
                            (!EndsWith(out, texts::kPackageExtension) &&
                             fs::is_directory(out_path, ec));
  if (names_folder) return platform::Utf8FromPath(out_path / folder_name);
  std::string name = platform::Utf8FromPath(out_path);
  if (EndsWith(name, texts::kPackageExtension)) {
    name.resize(name.size() - texts::kPackageExtension.size());
  }
  return name;
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

}  // namespace

int RunBuild(const std::string& project, const std::string& out, bool force, bool check_only) {
  std::error_code error;
  // The build resolves every name against the project's folder, so it needs a full path.
  const fs::path project_path = fs::absolute(platform::PathFromUtf8(project), error);
  if (error) {
    throw Error("не удалось найти путь проекта '" + project + "': " + platform::ErrorText(error));
  }
  const std::string save_name = check_only ? std::string() : SaveName(project_path, out);
  // The save dialog's name buffer holds 259 characters and its NUL, as on the desktop.
  if (CountCharacters(save_name) >= kDialogBufferChars) {
    std::cerr << "zrk: the package path is too long (at most " << kDialogBufferChars - 1
              << " characters before \".zrk\"): " << save_name << ".zrk\n";
    return kExitUsage;
  }

  AnsweringDialog dialog(save_name);
  FileDialogPlatform* previous = mdlCdlg::SetDialogPlatform(&dialog);
  ConsoleReport report(std::cout);
  ConsoleMessageBoxes boxes(std::cerr, force);
  const BuildOutcome outcome =
      BuildPackage(platform::Utf8FromPath(project_path), report, boxes, check_only);
  mdlCdlg::SetDialogPlatform(previous);

  if (outcome == BuildOutcome::kCancelled) {
    std::cerr << "zrk: " << save_name << ".zrk exists and was not replaced (use --force)\n";
  }
  return ExitCodeOf(outcome);
}

}  // namespace zrk::cli

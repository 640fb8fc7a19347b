// What the Qt and the Win32 window do alike: Browse and a project opened from outside (named on
// the command line or dropped on the window) each run one build at a time, and zrk-builder's
// arguments ask for help, the version or a project. Each window supplies only its report.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zrk {
class MessageBoxes;
}

namespace zrk::app {

/// Runs the build of the project at project_path (a full path, UTF-8) into a window's report, with
/// that window's message boxes.
using BuildInWindow = std::function<void(const std::string& project_path)>;

/// Command1_Click of both windows: unless busy is set, asks for a project in the open dialog
/// (ChooseProjectFile, which shows its failure in boxes) and runs build on the one chosen. busy
/// stays set from the dialog to the build's end and is cleared on every way out.
void BrowseAndBuild(bool& busy, MessageBoxes& boxes, const BuildInWindow& build);

/// OpenProject of both windows: unless busy is set, makes the next open dialog start in the
/// project's folder and runs build on project_path, with busy set as for Browse.
void OpenAndBuild(bool& busy, const std::string& project_path, const BuildInWindow& build);

/// What zrk-builder's arguments ask for.
struct BuilderArguments {
  enum class Request { kWindow, kHelp, kVersion, kUsageError };
  Request request = Request::kWindow;
  std::string project;     ///< kWindow: the project to build at once, as given; "" for none
  std::string unexpected;  ///< kUsageError: the argument that was not expected
};

/// Reads zrk-builder's arguments, those after the program's name, in order: -h or --help (on
/// Windows /? too) asks for help, --version for the version, and an argument that does not start
/// with "-" names the project. Any other option, or a second project, is a usage error. Help, the
/// version or an error decides as soon as it is read.
BuilderArguments ReadBuilderArguments(const std::vector<std::string>& arguments);

}  // namespace zrk::app

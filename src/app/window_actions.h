// What the Qt and the Win32 window do alike: Browse and a project opened from outside (named on
// the command line or dropped on the window) each run one build at a time. Each window supplies
// only its report.
#pragma once

#include <functional>
#include <string>

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

}  // namespace zrk::app

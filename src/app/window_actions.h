// What the Qt and the Win32 window do alike: Browse and a project or package opened from outside
// (named on the command line or dropped on the window) each run one build or look at a time, and
// zrk-builder's arguments ask for help, the version or what to open. Each window supplies only
// its report.
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

/// Shows the package at package_path (a full path) in a window, with the offer to extract it.
using ShowPackageInWindow = std::function<void(const std::string& package_path)>;

/// What a path given to a window stands for.
struct Opening {
  enum class Kind {
    kProject,  ///< a project file, or a folder's config.zrp
    kPackage,  ///< a name ending in ".zrk", in any letter case
    kMissing,  ///< a project that is not there
  };
  Kind kind = Kind::kMissing;
  std::string path;  ///< made absolute against the current folder; the bytes otherwise as given
};

/// What given (as the system gave it) opens: a folder stands for the config.zrp in it, as with
/// zrk; a name that ends in ".zrk" is a package (which the package reader then checks).
Opening WhatToOpen(const std::string& given);

/// OpenGiven of both windows: unless busy is set, builds the project given names as OpenAndBuild
/// does, shows the package it names with show_package, or says in an error box that the project
/// is not there (and builds nothing). busy stays set meanwhile.
void OpenGiven(bool& busy, const std::string& given, MessageBoxes& boxes,
               const BuildInWindow& build, const ShowPackageInWindow& show_package);

/// What zrk-builder's arguments ask for.
struct BuilderArguments {
  enum class Request { kWindow, kHelp, kVersion, kUsageError };
  Request request = Request::kWindow;
  std::string project;     ///< kWindow: what to open at once, as given; "" for nothing
  std::string unexpected;  ///< kUsageError: the argument that was not expected
};

/// Reads zrk-builder's arguments, those after the program's name, in order: -h or --help (on
/// Windows /? too) asks for help, --version for the version, and an argument that does not start
/// with "-" names what to open; after "--" every argument does. Any other option, or a second
/// name, is a usage error. Help, the version or an error decides as soon as it is read.
BuilderArguments ReadBuilderArguments(const std::vector<std::string>& arguments);

}  // namespace zrk::app

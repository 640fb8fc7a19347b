// What the Qt and the Win32 window do alike with a project, and zrk-builder's arguments.
#include "app/window_actions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/window_texts.h"
#include "assembly/build_driver.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/native_path.h"
#include "support/mdlMain.h"

namespace zrk::app {
namespace {

// Sets busy on construction and clears it on destruction, so that every way out of a click
// handler (a return, an exception) leaves the window idle again.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

bool AsksForHelp(const std::string& argument) {
#ifdef _WIN32
  if (argument == "/?") return true;
#endif
  return argument == "-h" || argument == "--help";
}

// A request that names no project.
BuilderArguments Asking(BuilderArguments::Request request, const std::string& unexpected = "") {
  BuilderArguments asked;
  asked.request = request;
  asked.unexpected = unexpected;
  return asked;
}

// Whether name ends in ".zrk", ASCII letters in either case.
bool NamesPackage(const std::string& name) {
  const std::string_view extension = texts::kPackageExtension;
  return name.size() >= extension.size() &&
         std::equal(extension.rbegin(), extension.rend(), name.rbegin(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

void BrowseAndBuild(bool& busy, MessageBoxes& boxes, const BuildInWindow& build) {
  // The dialogs leave the window enabled: a second click must not start a second dialog or build.
  if (busy) return;
  BusyScope scope(busy);
  const std::string project_path = ChooseProjectFile(boxes);
  if (!project_path.empty()) build(project_path);
}

void OpenAndBuild(bool& busy, const std::string& project_path, const BuildInWindow& build) {
  if (busy) return;
  BusyScope scope(busy);
  // The next open dialog starts where this project lies, as after Browse.
  mdlCdlg::SharedDialog().SetInitDir(mdlMain::ParentFolder(project_path));
  build(project_path);
}

Opening WhatToOpen(const std::string& given) {
  namespace fs = std::filesystem;
  fs::path path = platform::PathFromUtf8(given);
  std::error_code ec;
  if (fs::is_directory(path, ec)) path /= "config.zrp";
  // The build resolves the skin's names against the project's folder: it needs a full path.
  fs::path absolute = fs::absolute(path, ec);
  if (ec) absolute = path;
  Opening opening;
  opening.path = platform::Utf8FromPath(absolute);
  if (NamesPackage(opening.path)) {
    opening.kind = Opening::Kind::kPackage;
  } else if (fs::exists(absolute, ec)) {
    opening.kind = Opening::Kind::kProject;
  }
  return opening;
}

void OpenGiven(bool& busy, const std::string& given, MessageBoxes& boxes,
               const BuildInWindow& build, const ShowPackageInWindow& show_package) {
  if (busy) return;
  const Opening opening = WhatToOpen(given);
  if (opening.kind == Opening::Kind::kProject) return OpenAndBuild(busy, opening.path, build);
  BusyScope scope(busy);
  if (opening.kind == Opening::Kind::kPackage) return show_package(opening.path);
  boxes.Show(window_texts::NoProjectFile(opening.path), MessageIcon::kError, MessageButtons::kOk);
}

BuilderArguments ReadBuilderArguments(const std::vector<std::string>& arguments) {
  using Request = BuilderArguments::Request;
  BuilderArguments read;
  bool options_ended = false;
  for (const std::string& argument : arguments) {
    if (!options_ended) {
      if (argument == "--") {
        options_ended = true;
        continue;
      }
      if (AsksForHelp(argument)) return Asking(Request::kHelp);
      if (argument == "--version") return Asking(Request::kVersion);
      if (argument.starts_with("-")) return Asking(Request::kUsageError, argument);
    }
    if (!read.project.empty()) return Asking(Request::kUsageError, argument);
    read.project = argument;
  }
  return read;
}

}  // namespace zrk::app

// What the Qt and the Win32 window do alike with a project, and zrk-builder's arguments.
#include "app/window_actions.h"

#include "assembly/build_driver.h"
#include "dialogs/mdlCdlg.h"
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

BuilderArguments ReadBuilderArguments(const std::vector<std::string>& arguments) {
  using Request = BuilderArguments::Request;
  BuilderArguments read;
  for (const std::string& argument : arguments) {
    if (AsksForHelp(argument)) return Asking(Request::kHelp);
    if (argument == "--version") return Asking(Request::kVersion);
    if (argument.starts_with("-") || !read.project.empty()) {
      return Asking(Request::kUsageError, argument);
    }
    read.project = argument;
  }
  return read;
}

}  // namespace zrk::app

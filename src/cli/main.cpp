// zrk: the command-line front end of the package builder.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "platform/error.h"
#include "platform/file_io.h"

namespace {

constexpr const char* kVersion = "zrk 1.0.0";

// Makes sure everything printed reached its destination: a listing cut short by a full disk or a
// closed pipe must not end in success.
int FinishOutput(int code) {
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const std::error_code error(errno, std::system_category());
    std::cerr << "zrk: не удалось записать вывод: " << zrk::platform::ErrorText(error) << '\n';
    return zrk::cli::kExitFailed;
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zrk::cli;
  UseUtf8Console();
  CLI::App app{"Builds ZRK skin packages and looks into them.", "zrk"};
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(1);

  std::string project, out, package, folder = ".", file, section, key;
  bool force = false, json = false;

  auto* build = app.add_subcommand("build", "Collect, check and pack the files of a skin project.");
  build->add_option("PROJECT", project, "the project file (config.zrp)")->required();
  build->add_option("-o,--output", out,
                    "the package path; \".zrk\" is appended unless it ends in it; a folder gets "
                    "the project folder's name (default: that name in the current folder)");
  build->add_flag("-f,--force", force, "replace an existing package without asking");

  auto* check = app.add_subcommand("check", "Collect and check the files of a project; write nothing.");
  check->add_option("PROJECT", project, "the project file (config.zrp)")->required();

  auto* list = app.add_subcommand("list", "List the entries of a package after validating it.");
  list->add_option("PACKAGE", package, "the .zrk package")->required();
  list->add_flag("--json", json, "print the entries as JSON");

  auto* extract = app.add_subcommand("extract", "Write every entry of a package into a folder.");
  extract->add_option("PACKAGE", package, "the .zrk package")->required();
  extract->add_option("-C,--directory", folder, "the folder to write into (default: .)");
  extract->add_flag("-f,--force", force, "replace files that are already there");

  auto* get = app.add_subcommand("get", "Print the value the builder reads from an INI file.");
  get->add_option("FILE", file, "the INI file")->required();
  get->add_option("SECTION", section, "the section name")->required();
  get->add_option("KEY", key, "the key name")->required();

  // CLI11 takes the arguments last first.
  const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? kExitOk : kExitUsage;
  }

  // A write cut short by Ctrl+C, a hang-up or a kill request leaves no temporary file.
  zrk::platform::InstallInterruptCleanup();
  int code = kExitFailed;
  try {
    if (*build) code = RunBuild(project, out, force, false);
    else if (*check) code = RunBuild(project, "", false, true);
    else if (*list) code = RunList(package, json);
    else if (*extract) code = RunExtract(package, folder, force);
    else code = RunGet(file, section, key);
  } catch (const zrk::Error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  } catch (const std::bad_alloc&) {
    std::cerr << "zrk: недостаточно памяти\n";
  } catch (const std::filesystem::filesystem_error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  }
  return FinishOutput(code);
}

// zrk: the command-line front end of the package builder.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/usage.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/interrupt_cleanup.h"

namespace {

using namespace zrk::cli;

// Makes sure everything printed reached its destination: a listing cut short by a full disk or a
// closed pipe must not end in success.
int FinishOutput(int code) {
  if (const std::optional<std::error_code> failure = TakeOutputFailure()) {
    Say(cli_texts::OutputNotWritten(zrk::platform::ErrorText(*failure)));
    return kExitFailed;
  }
  return code;
}

// What the command line asks for, as the commands' options fill it in.
struct Arguments {
  BuildRequest request;
  ListRequest list;
  std::string out, package, folder = ".", file, section, key, skin = ".";
  std::string second;
  std::vector<std::string> names;
  bool json = false;
};

// The commands, each parsed or not.
struct Commands {
  const CLI::App *build, *check, *list, *extract, *get, *init, *diff;
};

// The program with its help in Russian and its own options; the commands are added to it.
void DescribeProgram(CLI::App& app) {
  const auto formatter = std::make_shared<HelpFormatter>();
  app.formatter(formatter);
  for (const auto& [label, text] : cli_texts::kHelpLabels) formatter->label(label, text);
  formatter->column_width(26);
  app.option_defaults()->group(cli_texts::kOptionsGroup);
  app.set_help_flag("-h,--help", cli_texts::kHelpFlag);
  app.set_version_flag("--version", cli_texts::kVersion, cli_texts::kVersionFlag);
  app.require_subcommand(1);
  app.footer(std::string(cli_texts::kExitCodes) + "\n" + cli_texts::kFormatPointer + "\n" +
             cli_texts::kCommandHelp);
}

// A command, its help ending in footer (its exit codes).
CLI::App* AddCommand(CLI::App& app, const char* name, const char* about,
                     const std::string& footer) {
  CLI::App* command = app.add_subcommand(name, about);
  command->group(cli_texts::kCommandsGroup);
  command->set_help_flag("-h,--help", cli_texts::kHelpFlag);
  command->footer(footer);
  return command;
}

CLI::App* AddBuild(CLI::App& app, Arguments& a) {
  CLI::App* build =
      AddCommand(app, "build", cli_texts::kBuildAbout,
                 std::string(cli_texts::kBuildExitCodes) + "\n" + cli_texts::kFormatPointer);
  build->add_option(cli_texts::kProjectName, a.request.project, cli_texts::kProjectArgument)
      ->required();
  build->add_option("-o,--output", a.out, cli_texts::kOutputOption)
      ->option_text(cli_texts::kPathName);
  build->add_flag("-f,--force", a.request.force, cli_texts::kForceOption);
  build->add_flag("-q,--quiet", a.request.quiet, cli_texts::kQuietOption);
  build->add_flag("--strict", a.request.strict, cli_texts::kBuildStrictOption);
  return build;
}

CLI::App* AddCheck(CLI::App& app, Arguments& a) {
  CLI::App* check =
      AddCommand(app, "check", cli_texts::kCheckAbout,
                 std::string(cli_texts::kCheckFooter) + "\n" + cli_texts::kCheckExitCodes);
  check->add_option(cli_texts::kProjectName, a.request.project, cli_texts::kProjectArgument)
      ->required();
  check->add_flag("-q,--quiet", a.request.quiet, cli_texts::kQuietOption);
  check->add_flag("--strict", a.request.strict, cli_texts::kStrictOption);
  check->add_flag("--json", a.request.json, cli_texts::kCheckJsonOption);
  check->add_flag("--unused", a.request.unused, cli_texts::kUnusedOption);
  return check;
}

CLI::App* AddList(CLI::App& app, Arguments& a) {
  CLI::App* list = AddCommand(app, "list", cli_texts::kListAbout, cli_texts::kListExitCodes);
  list->add_option(cli_texts::kPackageName, a.list.package, cli_texts::kPackageArgument)
      ->required();
  list->add_flag("--json", a.list.json, cli_texts::kListJsonOption);
  list->add_flag("-H,--human-readable", a.list.readable, cli_texts::kHumanReadableOption);
  list->add_flag("--total", a.list.total, cli_texts::kTotalOption);
  return list;
}

CLI::App* AddExtract(CLI::App& app, Arguments& a) {
  CLI::App* extract =
      AddCommand(app, "extract", cli_texts::kExtractAbout, cli_texts::kExtractExitCodes);
  extract->add_option(cli_texts::kPackageName, a.package, cli_texts::kPackageArgument)->required();
  extract->add_option("-C,--directory", a.folder, cli_texts::kDirectoryOption)
      ->option_text(cli_texts::kFolderName);
  extract->add_flag("-f,--force", a.request.force, cli_texts::kReplaceOption);
  extract->add_option(cli_texts::kEntryName, a.names, cli_texts::kEntryNamesArgument)
      ->option_text("...");
  return extract;
}

CLI::App* AddGet(CLI::App& app, Arguments& a) {
  CLI::App* get = AddCommand(app, "get", cli_texts::kGetAbout, cli_texts::kGetExitCodes);
  get->add_option(cli_texts::kFileName, a.file, cli_texts::kIniFileArgument)->required();
  get->add_option(cli_texts::kSectionName, a.section, cli_texts::kSectionArgument)->required();
  get->add_option(cli_texts::kKeyName, a.key, cli_texts::kKeyArgument)->required();
  return get;
}

CLI::App* AddInit(CLI::App& app, Arguments& a) {
  CLI::App* init = AddCommand(app, "init", cli_texts::kInitAbout, cli_texts::kInitExitCodes);
  init->add_option(cli_texts::kFolderName, a.skin, cli_texts::kInitFolderArgument);
  return init;
}

CLI::App* AddDiff(CLI::App& app, Arguments& a) {
  CLI::App* diff = AddCommand(app, "diff", cli_texts::kDiffAbout, cli_texts::kDiffFooter);
  diff->add_option(cli_texts::kFirstPackageName, a.package, cli_texts::kFirstPackageArgument)
      ->required();
  diff->add_option(cli_texts::kSecondPackageName, a.second, cli_texts::kSecondPackageArgument)
      ->required();
  diff->add_flag("--json", a.json, cli_texts::kDiffJsonOption);
  return diff;
}

// Parses the arguments into a. Returns the exit code when there is nothing more to do: help or
// the version was printed, or the usage error was said.
std::optional<int> Parse(CLI::App& app, const Commands& commands,
                         const std::vector<std::string>& arguments) {
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return FinishOutput(kExitOk);
  } catch (const CLI::CallForVersion&) {
    std::cout << cli_texts::kVersion << '\n';
    return FinishOutput(kExitOk);
  } catch (const CLI::ParseError& error) {
    // A command's own --help arrives as CallForHelp from the command.
    const CLI::App* command = nullptr;
    for (const CLI::App* candidate :
         {commands.build, commands.check, commands.list, commands.extract, commands.get,
          commands.init, commands.diff}) {
      if (candidate->parsed()) command = candidate;
    }
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      std::cout << (command != nullptr ? command->help() : app.help());
      return FinishOutput(kExitOk);
    }
    const std::string first = arguments.empty() ? std::string() : arguments.front();
    Say(UsageMessage(error, first));
    std::cerr << cli_texts::MoreHelp(command != nullptr ? command->get_name() : std::string())
              << '\n';
    return kExitUsage;
  }
  return std::nullopt;
}

// Runs the command that was parsed and says what failed; returns the exit code.
int Run(const Commands& commands, const Arguments& a) {
  try {
    if (*commands.build || *commands.check) return RunBuildOrCheck(a.request);
    if (*commands.list) return RunList(a.list);
    if (*commands.init) return RunInit(a.skin);
    if (*commands.diff) return RunDiff(a.package, a.second, a.json);
    if (*commands.extract) return RunExtract(a.package, a.folder, a.request.force, a.names);
    return RunGet(a.file, a.section, a.key);
  } catch (const UsageError& error) {
    Say(error.what());
    return kExitUsage;
  } catch (const zrk::Error& error) {
    Say(error.what());
  } catch (const std::bad_alloc&) {
    Say(zrk::platform::kOutOfMemory);
  } catch (const std::filesystem::filesystem_error& error) {
    Say(error.what());
  }
  return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  UseUtf8Console();
  // The report of a large skin is tens of thousands of lines: through a buffer of the stream's
  // own rather than stdio's, line by line. The report flushes each line where a person reads it.
  std::ios::sync_with_stdio(false);
  TakeOverStandardOutput();
  CLI::App app{cli_texts::kAbout, "zrk"};
  DescribeProgram(app);
  Arguments arguments;
  const Commands commands{AddBuild(app, arguments), AddCheck(app, arguments),
                          AddList(app, arguments),  AddExtract(app, arguments),
                          AddGet(app, arguments),   AddInit(app, arguments),
                          AddDiff(app, arguments)};
  const std::optional<int> done = Parse(app, commands, CommandLineArguments(argc, argv));
  if (done) return *done;
  if (commands.build->count("--output") > 0) arguments.request.out = arguments.out;
  arguments.request.check_only = commands.check->parsed();

  // A write cut short by Ctrl+C, a hang-up, a closed pipe or a kill request leaves no temporary
  // file, and one past the file size limit fails with its reason.
  zrk::platform::InstallInterruptCleanup();
  return FinishOutput(Run(commands, arguments));
}

// zrk: the command-line front end of the package builder.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
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

// The usage error CLI11 found, said in the program's language; first_argument is what was typed
// first, where the command should stand.
std::string UsageMessage(const CLI::ParseError& error, const std::string& first_argument) {
  const std::string what = error.what();
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (what.find("subcommand") != std::string::npos) {
      // CLI11 takes an unknown word for a missing command.
      const std::string given = first_argument.empty() || first_argument.front() == '-'
                                    ? std::string(cli_texts::kNoCommand)
                                    : cli_texts::UnknownCommand(first_argument);
      return given + cli_texts::kCommandChoice;
    }
    return cli_texts::MissingArgument(what.substr(0, what.find(' ')));
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    // CLI11 was handed the arguments last first: name them in the order they were typed.
    const std::size_t colon = what.find(": ");
    std::vector<std::string> extras;
    std::istringstream words(colon == std::string::npos ? "" : what.substr(colon + 2));
    for (std::string word; words >> word;) extras.insert(extras.begin(), word);
    std::string text = cli_texts::kExtraArguments;
    for (const std::string& word : extras) text += " " + word;
    return text;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return cli_texts::NoValue(what.substr(0, what.find(':')));
  }
  return cli_texts::kBadArguments;
}

// What the command line asks for, as the commands' options fill it in.
struct Arguments {
  BuildRequest request;
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
  const auto formatter = app.get_formatter();
  for (const auto& [label, text] : cli_texts::kHelpLabels) formatter->label(label, text);
  formatter->column_width(26);
  app.option_defaults()->group(cli_texts::kOptionsGroup);
  app.set_help_flag("-h,--help", cli_texts::kHelpFlag);
  app.set_version_flag("--version", cli_texts::kVersion, cli_texts::kVersionFlag);
  app.require_subcommand(1);
  app.footer(cli_texts::kFooter);
}

CLI::App* AddCommand(CLI::App& app, const char* name, const char* about) {
  CLI::App* command = app.add_subcommand(name, about);
  command->group(cli_texts::kCommandsGroup);
  command->set_help_flag("-h,--help", cli_texts::kHelpFlag);
  return command;
}

CLI::App* AddBuild(CLI::App& app, Arguments& a) {
  CLI::App* build = AddCommand(app, "build", cli_texts::kBuildAbout);
  build->add_option("PROJECT", a.request.project, cli_texts::kProjectArgument)->required();
  build->add_option("-o,--output", a.out, cli_texts::kOutputOption)->type_name("OUT");
  build->add_flag("-f,--force", a.request.force, cli_texts::kForceOption);
  build->add_flag("-q,--quiet", a.request.quiet, cli_texts::kQuietOption);
  return build;
}

CLI::App* AddCheck(CLI::App& app, Arguments& a) {
  CLI::App* check = AddCommand(app, "check", cli_texts::kCheckAbout);
  check->add_option("PROJECT", a.request.project, cli_texts::kProjectArgument)->required();
  check->add_flag("-q,--quiet", a.request.quiet, cli_texts::kQuietOption);
  check->add_flag("--strict", a.request.strict, cli_texts::kStrictOption);
  check->add_flag("--json", a.request.json, cli_texts::kCheckJsonOption);
  check->add_flag("--unused", a.request.unused, cli_texts::kUnusedOption);
  check->footer(cli_texts::kCheckFooter);
  return check;
}

CLI::App* AddList(CLI::App& app, Arguments& a) {
  CLI::App* list = AddCommand(app, "list", cli_texts::kListAbout);
  list->add_option("PACKAGE", a.package, cli_texts::kPackageArgument)->required();
  list->add_flag("--json", a.json, cli_texts::kListJsonOption);
  return list;
}

CLI::App* AddExtract(CLI::App& app, Arguments& a) {
  CLI::App* extract = AddCommand(app, "extract", cli_texts::kExtractAbout);
  extract->add_option("PACKAGE", a.package, cli_texts::kPackageArgument)->required();
  extract->add_option("-C,--directory", a.folder, cli_texts::kDirectoryOption)->type_name("DIR");
  extract->add_flag("-f,--force", a.request.force, cli_texts::kReplaceOption);
  extract->add_option("ИМЯ", a.names, cli_texts::kEntryNamesArgument);
  return extract;
}

CLI::App* AddGet(CLI::App& app, Arguments& a) {
  CLI::App* get = AddCommand(app, "get", cli_texts::kGetAbout);
  get->add_option("FILE", a.file, cli_texts::kIniFileArgument)->required();
  get->add_option("SECTION", a.section, cli_texts::kSectionArgument)->required();
  get->add_option("KEY", a.key, cli_texts::kKeyArgument)->required();
  return get;
}

CLI::App* AddInit(CLI::App& app, Arguments& a) {
  CLI::App* init = AddCommand(app, "init", cli_texts::kInitAbout);
  init->add_option("ПАПКА", a.skin, cli_texts::kInitFolderArgument);
  return init;
}

CLI::App* AddDiff(CLI::App& app, Arguments& a) {
  CLI::App* diff = AddCommand(app, "diff", cli_texts::kDiffAbout);
  diff->add_option("ПАКЕТ1", a.package, cli_texts::kFirstPackageArgument)->required();
  diff->add_option("ПАКЕТ2", a.second, cli_texts::kSecondPackageArgument)->required();
  diff->add_flag("--json", a.json, cli_texts::kDiffJsonOption);
  diff->footer(cli_texts::kDiffFooter);
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
    if (*commands.list) return RunList(a.package, a.json);
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

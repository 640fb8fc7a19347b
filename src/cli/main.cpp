// zrk: the command-line front end of the package builder.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/interrupt_cleanup.h"
#include "zrk_version.h"

namespace {

using namespace zrk::cli;

constexpr const char* kVersion = "zrk " ZRK_VERSION;

// Makes sure everything printed reached its destination: a listing cut short by a full disk or a
// closed pipe must not end in success.
int FinishOutput(int code) {
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const std::error_code error(errno, std::system_category());
    std::cerr << "zrk: не удалось записать вывод: " << zrk::platform::ErrorText(error) << '\n';
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
                                    ? std::string("не указана команда")
                                    : "неизвестная команда '" + first_argument + "'";
      return given + ": build, check, list, extract или get";
    }
    return "не указан аргумент " + what.substr(0, what.find(' '));
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    // CLI11 was handed the arguments last first: name them in the order they were typed.
    const std::size_t colon = what.find(": ");
    std::vector<std::string> extras;
    std::istringstream words(colon == std::string::npos ? "" : what.substr(colon + 2));
    for (std::string word; words >> word;) extras.insert(extras.begin(), word);
    std::string text = "лишние аргументы:";
    for (const std::string& word : extras) text += " " + word;
    return text;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return "у параметра " + what.substr(0, what.find(':')) + " нет значения";
  }
  return "неверные аргументы";
}

// What the command line asks for, as the commands' options fill it in.
struct Arguments {
  BuildRequest request;
  std::string out, package, folder = ".", file, section, key;
  bool json = false;
};

// The commands, each parsed or not.
struct Commands {
  const CLI::App *build, *check, *list, *extract, *get;
};

// The program with its help in Russian and its own options; the commands are added to it.
void DescribeProgram(CLI::App& app) {
  const auto formatter = app.get_formatter();
  for (const auto& [label, text] :
       std::initializer_list<std::pair<const char*, const char*>>{{"Usage", "Вызов"},
                                                                  {"OPTIONS", "ПАРАМЕТРЫ"},
                                                                  {"SUBCOMMAND", "КОМАНДА"},
                                                                  {"SUBCOMMANDS", "КОМАНДЫ"},
                                                                  {"Positionals", "Аргументы"},
                                                                  {"REQUIRED", ""},
                                                                  {"TEXT", ""}}) {
    formatter->label(label, text);
  }
  formatter->column_width(26);
  app.option_defaults()->group("Параметры");
  app.set_help_flag("-h,--help", "показать эту справку и выйти");
  app.set_version_flag("--version", kVersion, "показать версию и выйти");
  app.require_subcommand(1);
  app.footer(
      "Коды выхода: 0 готово, 1 файлы не найдены, 2 ошибка вызова, 3 ошибка файла или пакета,\n"
      "4 пакет не заменён или сборка отменена, 5 предупреждения при check --strict.\n"
      "Подробнее о команде: zrk КОМАНДА --help.");
}

CLI::App* AddCommand(CLI::App& app, const char* name, const char* about) {
  CLI::App* command = app.add_subcommand(name, about);
  command->group("Команды");
  command->set_help_flag("-h,--help", "показать эту справку и выйти");
  return command;
}

CLI::App* AddBuild(CLI::App& app, Arguments& a) {
  CLI::App* build = AddCommand(app, "build", "собрать пакет из файлов проекта");
  build->add_option("PROJECT", a.request.project, "файл проекта (config.zrp) или его папка")
      ->required();
  build
      ->add_option("-o,--output", a.out,
                   "путь пакета (\".zrk\" добавляется); в папке пакет получает имя папки "
                   "проекта, как и без -o в текущей папке")
      ->type_name("OUT");
  build->add_flag("-f,--force", a.request.force,
                  "заменить существующий пакет без вопроса (файлы самого скина не заменяются)");
  build->add_flag("-q,--quiet", a.request.quiet,
                  "не печатать отчёт, только ошибки и предупреждения");
  return build;
}

CLI::App* AddCheck(CLI::App& app, Arguments& a) {
  CLI::App* check =
      AddCommand(app, "check", "собрать и проверить список файлов, ничего не записывая");
  check->add_option("PROJECT", a.request.project, "файл проекта (config.zrp) или его папка")
      ->required();
  check->add_flag("-q,--quiet", a.request.quiet,
                  "не печатать отчёт, только ошибки и предупреждения");
  check->add_flag("--strict", a.request.strict,
                  "код выхода 5, если были предупреждения и ничего хуже не найдено");
  check->add_flag("--json", a.request.json, "вердикт, список файлов и предупреждения в JSON");
  check->add_flag("--unused", a.request.unused,
                  "перечислить файлы папки скина, которых нет в списке, и их общий размер");
  check->footer(
      "Предупреждения (строки \"предупреждение: \" в stderr) называют то, что программа-хозяин\n"
      "прочтёт не так, как задумано: метку UTF-8 в начале INI-файла, UTF-16 без метки,\n"
      "текст в UTF-8, значения длиннее 1022 символов, ключи модулей с размером не из\n"
      "SizeList, имена, которые Windows не откроет, имена, различающиеся только регистром,\n"
      ".bmp-файлы, которые не являются картинками BMP. Код выхода они не меняют, кроме --strict.");
  return check;
}

CLI::App* AddList(CLI::App& app, Arguments& a) {
  CLI::App* list = AddCommand(app, "list", "показать файлы пакета, проверив его целиком");
  list->add_option("PACKAGE", a.package, "пакет .zrk")->required();
  list->add_flag("--json", a.json, "вывести список в JSON");
  return list;
}

CLI::App* AddExtract(CLI::App& app, Arguments& a) {
  CLI::App* extract = AddCommand(app, "extract", "извлечь все файлы пакета в папку");
  extract->add_option("PACKAGE", a.package, "пакет .zrk")->required();
  extract->add_option("-C,--directory", a.folder, "папка, куда извлекать (по умолчанию: текущая)")
      ->type_name("DIR");
  extract->add_flag("-f,--force", a.request.force, "заменять уже существующие файлы");
  return extract;
}

CLI::App* AddGet(CLI::App& app, Arguments& a) {
  CLI::App* get = AddCommand(app, "get", "показать значение, которое сборщик читает из INI-файла");
  get->add_option("FILE", a.file, "INI-файл")->required();
  get->add_option("SECTION", a.section, "имя секции")->required();
  get->add_option("KEY", a.key, "имя ключа")->required();
  return get;
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
    std::cout << kVersion << '\n';
    return FinishOutput(kExitOk);
  } catch (const CLI::ParseError& error) {
    // A command's own --help arrives as CallForHelp from the command.
    const CLI::App* command = nullptr;
    for (const CLI::App* candidate :
         {commands.build, commands.check, commands.list, commands.extract, commands.get}) {
      if (candidate->parsed()) command = candidate;
    }
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      std::cout << (command != nullptr ? command->help() : app.help());
      return FinishOutput(kExitOk);
    }
    const std::string first = arguments.empty() ? std::string() : arguments.front();
    std::cerr << "zrk: " << UsageMessage(error, first) << "\nподробнее: zrk "
              << (command != nullptr ? command->get_name() + " " : std::string()) << "--help\n";
    return kExitUsage;
  }
  return std::nullopt;
}

// Runs the command that was parsed and says what failed; returns the exit code.
int Run(const Commands& commands, const Arguments& a) {
  try {
    if (*commands.build || *commands.check) return RunBuildOrCheck(a.request);
    if (*commands.list) return RunList(a.package, a.json);
    if (*commands.extract) return RunExtract(a.package, a.folder, a.request.force);
    return RunGet(a.file, a.section, a.key);
  } catch (const UsageError& error) {
    std::cerr << "zrk: " << error.what() << '\n';
    return kExitUsage;
  } catch (const zrk::Error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  } catch (const std::bad_alloc&) {
    std::cerr << "zrk: недостаточно памяти\n";
  } catch (const std::filesystem::filesystem_error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  }
  return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  UseUtf8Console();
  // The report of a large skin is tens of thousands of lines: through a buffer of the stream's
  // own rather than stdio's, line by line. The report flushes each line where a person reads it.
  std::ios::sync_with_stdio(false);
  CLI::App app{"Собирает пакеты оболочек ZRK и заглядывает в них.", "zrk"};
  DescribeProgram(app);
  Arguments arguments;
  const Commands commands{AddBuild(app, arguments), AddCheck(app, arguments),
                          AddList(app, arguments), AddExtract(app, arguments),
                          AddGet(app, arguments)};
  const std::optional<int> done = Parse(app, commands, CommandLineArguments(argc, argv));
  if (done) return *done;
  if (commands.build->count("--output") > 0) arguments.request.out = arguments.out;
  arguments.request.check_only = commands.check->parsed();

  // A write cut short by Ctrl+C, a hang-up or a kill request leaves no temporary file.
  zrk::platform::InstallInterruptCleanup();
  return FinishOutput(Run(commands, arguments));
}

// zrk: the command-line front end of the package builder.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
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

constexpr const char* kVersion = "zrk " ZRK_VERSION;

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

// The Russian labels of the help texts; option names stay as they are.
void UseRussianHelp(CLI::App& app) {
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
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zrk::cli;
  UseUtf8Console();
  // The report of a large skin is tens of thousands of lines: through a buffer of the stream's
  // own rather than stdio's, line by line. The report flushes each line where a person reads it.
  std::ios::sync_with_stdio(false);
  CLI::App app{"Собирает пакеты оболочек ZRK и заглядывает в них.", "zrk"};
  UseRussianHelp(app);
  app.option_defaults()->group("Параметры");
  app.set_help_flag("-h,--help", "показать эту справку и выйти");
  app.set_version_flag("--version", kVersion, "показать версию и выйти");
  app.require_subcommand(1);
  app.footer(
      "Коды выхода: 0 готово, 1 файлы не найдены, 2 ошибка вызова, 3 ошибка файла или пакета,\n"
      "4 пакет не заменён или сборка отменена, 5 предупреждения при check --strict.\n"
      "Подробнее о команде: zrk КОМАНДА --help.");

  BuildRequest request;
  std::string out, package, folder = ".", file, section, key;
  bool json = false;

  const auto add_command = [&app](const char* name, const char* description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->group("Команды");
    command->set_help_flag("-h,--help", "показать эту справку и выйти");
    return command;
  };
  auto* build = add_command("build", "собрать пакет из файлов проекта");
  build->add_option("PROJECT", request.project, "файл проекта (config.zrp) или его папка")
      ->required();
  auto* out_option =
      build
          ->add_option("-o,--output", out,
                       "путь пакета (\".zrk\" добавляется); в папке пакет получает имя папки "
                       "проекта, как и без -o в текущей папке")
          ->type_name("OUT");
  build->add_flag("-f,--force", request.force,
                  "заменить существующий пакет без вопроса (файлы самого скина не заменяются)");
  build->add_flag("-q,--quiet", request.quiet, "не печатать отчёт, только ошибки и предупреждения");

  auto* check = add_command("check", "собрать и проверить список файлов, ничего не записывая");
  check->add_option("PROJECT", request.project, "файл проекта (config.zrp) или его папка")
      ->required();
  check->add_flag("-q,--quiet", request.quiet, "не печатать отчёт, только ошибки и предупреждения");
  check->add_flag("--strict", request.strict,
                  "код выхода 5, если были предупреждения и ничего хуже не найдено");
  check->add_flag("--json", request.json, "вердикт, список файлов и предупреждения в JSON");
  check->add_flag("--unused", request.unused,
                  "перечислить файлы папки скина, которых нет в списке, и их общий размер");
  check->footer(
      "Предупреждения (строки \"предупреждение: \" в stderr) называют то, что программа-хозяин\n"
      "прочтёт не так, как задумано: метку UTF-8 в начале INI-файла, UTF-16 без метки,\n"
      "текст в UTF-8, значения длиннее 1022 символов, ключи модулей с размером не из\n"
      "SizeList, имена, которые Windows не откроет, имена, различающиеся только регистром,\n"
      ".bmp-файлы, которые не являются картинками BMP. Код выхода они не меняют, кроме --strict.");

  auto* list = add_command("list", "показать файлы пакета, проверив его целиком");
  list->add_option("PACKAGE", package, "пакет .zrk")->required();
  list->add_flag("--json", json, "вывести список в JSON");

  auto* extract = add_command("extract", "извлечь все файлы пакета в папку");
  extract->add_option("PACKAGE", package, "пакет .zrk")->required();
  extract->add_option("-C,--directory", folder, "папка, куда извлекать (по умолчанию: текущая)")
      ->type_name("DIR");
  extract->add_flag("-f,--force", request.force, "заменять уже существующие файлы");

  auto* get = add_command("get", "показать значение, которое сборщик читает из INI-файла");
  get->add_option("FILE", file, "INI-файл")->required();
  get->add_option("SECTION", section, "имя секции")->required();
  get->add_option("KEY", key, "имя ключа")->required();

  // CLI11 takes the arguments last first.
  const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
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
    for (const CLI::App* candidate : {build, check, list, extract, get}) {
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
  if (out_option->count() > 0) request.out = out;
  request.check_only = check->parsed();

  // A write cut short by Ctrl+C, a hang-up or a kill request leaves no temporary file.
  zrk::platform::InstallInterruptCleanup();
  int code = kExitFailed;
  try {
    if (*build || *check)
      code = RunBuildOrCheck(request);
    else if (*list)
      code = RunList(package, json);
    else if (*extract)
      code = RunExtract(package, folder, request.force);
    else
      code = RunGet(file, section, key);
  } catch (const UsageError& error) {
    std::cerr << "zrk: " << error.what() << '\n';
    code = kExitUsage;
  } catch (const zrk::Error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  } catch (const std::bad_alloc&) {
    std::cerr << "zrk: недостаточно памяти\n";
  } catch (const std::filesystem::filesystem_error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
  }
  return FinishOutput(code);
}

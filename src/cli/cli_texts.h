// Every text zrk says of its own: help, usage errors, messages, summary lines and prompts, and the
// one printer of its lines on stderr. The build's report and boxes are worded in
// assembly/texts.h, the skin warnings in assembly/skin_warnings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

#include "support/escape.h"
#include "zrk_version.h"

namespace zrk::cli {

namespace cli_texts {

inline constexpr char kVersion[] = "zrk " ZRK_VERSION;

// The help. CLI11's labels in Russian (an empty one is left out); option names stay Latin.
inline constexpr std::pair<const char*, const char*> kHelpLabels[] = {{"Usage", "Вызов"},
                                                                      {"OPTIONS", "ПАРАМЕТРЫ"},
                                                                      {"SUBCOMMAND", "КОМАНДА"},
                                                                      {"SUBCOMMANDS", "КОМАНДЫ"},
                                                                      {"Positionals", "Аргументы"},
                                                                      {"REQUIRED", ""},
                                                                      {"TEXT", ""}};
inline constexpr char kAbout[] = "Собирает пакеты оболочек ZRK и заглядывает в них.";
inline constexpr char kOptionsGroup[] = "Параметры";
inline constexpr char kCommandsGroup[] = "Команды";
inline constexpr char kHelpFlag[] = "показать эту справку и выйти";
inline constexpr char kVersionFlag[] = "показать версию и выйти";
inline constexpr char kFormatPointer[] =
    "Какие разделы и ключи читаются в файле проекта и в модулях: man 5 zrk-format.";
inline constexpr char kExitCodes[] =
    "Коды выхода: 0 готово, 1 файлы не найдены, 2 ошибка вызова, 3 ошибка файла или пакета,\n"
    "4 пакет не заменён или сборка отменена, 5 предупреждения при --strict.";
inline constexpr char kCommandHelp[] = "Подробнее о команде: zrk КОМАНДА --help.";

// The placeholders of the help, the man page's words.
inline constexpr char kProjectName[] = "ПРОЕКТ";
inline constexpr char kPathName[] = "ПУТЬ";
inline constexpr char kPackageName[] = "ПАКЕТ";
inline constexpr char kFirstPackageName[] = "ПАКЕТ1";
inline constexpr char kSecondPackageName[] = "ПАКЕТ2";
inline constexpr char kFolderName[] = "ПАПКА";
inline constexpr char kEntryName[] = "ИМЯ";
inline constexpr char kFileName[] = "ФАЙЛ";
inline constexpr char kSectionName[] = "РАЗДЕЛ";
inline constexpr char kKeyName[] = "КЛЮЧ";

// The exit codes each command gives, below its help.
inline constexpr char kBuildExitCodes[] =
    "Коды выхода: 0 пакет записан, 1 файлы не найдены, 2 ошибка вызова, 3 ошибка файла или\n"
    "вывода, 4 пакет не заменён или сборка отменена, 5 предупреждения при --strict (пакет не\n"
    "записан).";
inline constexpr char kCheckExitCodes[] =
    "Коды выхода: 0 все файлы на месте, 1 файлы не найдены, 2 ошибка вызова, 3 ошибка файла или\n"
    "вывода, 5 предупреждения при --strict.";
inline constexpr char kListExitCodes[] =
    "Коды выхода: 0 готово, 2 ошибка вызова, 3 пакет не читается или повреждён, вывод не записан.";
inline constexpr char kExtractExitCodes[] =
    "Коды выхода: 0 файлы извлечены, 2 ошибка вызова, 3 пакет не читается, повреждён или его\n"
    "файл нельзя извлечь, 4 файл уже есть в папке (ничего не извлечено).";
inline constexpr char kGetExitCodes[] =
    "Коды выхода: 0 готово, 1 файла нет или он не читается, 2 ошибка вызова, 3 вывод не записан.";
inline constexpr char kInitExitCodes[] =
    "Коды выхода: 0 заготовка записана, 2 ошибка вызова, 3 папка не пуста или запись не удалась.";

inline constexpr char kBuildAbout[] = "собрать пакет из файлов проекта";
inline constexpr char kProjectArgument[] = "файл проекта (config.zrp) или его папка";
inline constexpr char kOutputOption[] =
    "путь пакета как есть (без \".zrk\" в любом регистре на конце он добавляется);\n"
    "в папке пакет получает имя папки проекта, как и без -o в текущей папке";
inline constexpr char kForceOption[] =
    "заменить существующий пакет без вопроса (файлы самого скина не заменяются)";
inline constexpr char kQuietOption[] = "не печатать отчёт, только ошибки и предупреждения";
inline constexpr char kBuildStrictOption[] =
    "при предупреждениях (и ничего хуже) не записывать пакет, код выхода 5";

inline constexpr char kCheckAbout[] = "собрать и проверить список файлов, ничего не записывая";
inline constexpr char kStrictOption[] =
    "код выхода 5, если были предупреждения и ничего хуже не найдено";
inline constexpr char kCheckJsonOption[] = "вердикт, список файлов и предупреждения в JSON";
inline constexpr char kUnusedOption[] =
    "перечислить файлы папки скина, которых нет в списке, и их общий размер";
inline constexpr char kCheckFooter[] =
    "Предупреждения (строки \"предупреждение: \" в stderr) называют то, что программа-хозяин\n"
    "прочтёт не так, как задумано, и говорят, как это исправить: файл проекта, который\n"
    "не текст, пакет или не называет ни одного модуля; метку UTF-8 в начале INI-файла,\n"
    "UTF-16 без метки, текст в UTF-8, значения длиннее 1022 символов, ключи модулей\n"
    "с размером не из SizeList, разделы и ключи, похожие на читаемые (Maks вместо Mask),\n"
    "комментарий после значения, ставший частью имени, имена, которые Windows не откроет\n"
    "или zrk extract не извлечёт, один файл под двумя именами (регистр букв, / и \\),\n"
    ".bmp-файлы, которые не являются картинками BMP. Код выхода они не меняют, кроме --strict.";

inline constexpr char kListAbout[] = "показать файлы пакета, проверив его целиком";
inline constexpr char kPackageArgument[] = "пакет .zrk";
inline constexpr char kListJsonOption[] = "вывести список в JSON";
inline constexpr char kHumanReadableOption[] =
    "размеры в Б, КБ, МБ, ГБ по 1024, до 10 с одним знаком: 1,5 КБ";
inline constexpr char kTotalOption[] = "последней строкой общий размер и число файлов";

inline constexpr char kExtractAbout[] = "извлечь все файлы пакета в папку";
inline constexpr char kDirectoryOption[] = "папка, куда извлекать (по умолчанию: текущая)";
inline constexpr char kReplaceOption[] = "заменять уже существующие файлы";

inline constexpr char kGetAbout[] = "показать значение, которое сборщик читает из INI-файла";
inline constexpr char kIniFileArgument[] = "INI-файл";
inline constexpr char kSectionArgument[] = "имя раздела";
inline constexpr char kKeyArgument[] = "имя ключа";

// Usage errors. command is "" for the program itself.
inline constexpr char kNoCommand[] = "не указана команда";
inline std::string UnknownCommand(const std::string& word) {
  return "неизвестная команда '" + word + "'";
}
inline constexpr char kCommandChoice[] = ": build, check, list, extract, get, init или diff";
inline std::string MeantCommand(const std::string& command) {
  return "; возможно, имелась в виду " + command;
}
inline std::string MissingArgument(const std::string& name) { return "не указан аргумент " + name; }
inline constexpr char kExtraArguments[] = "лишние аргументы:";
inline std::string NoValue(const std::string& option) {
  return "у параметра " + option + " нет значения";
}
inline std::string RepeatedOption(const std::string& option) {
  return "параметр " + option + " указан дважды";
}
inline std::string OptionsExclude(const std::string& first, const std::string& second) {
  return "параметры " + first + " и " + second + " не сочетаются";
}
inline constexpr char kBadArguments[] = "неверные аргументы";
inline std::string MoreHelp(const std::string& command) {
  return "подробнее: zrk " + (command.empty() ? command : command + " ") + "--help";
}
inline std::string NoProjectFile(const std::string& path) {
  return "нет файла проекта '" + path + "'";
}
inline constexpr char kEmptyOutput[] = "пустое имя пакета после -o";
inline std::string PackagePathTooLong(std::size_t limit, const std::string& path) {
  return "путь пакета длиннее " + std::to_string(limit) + " символов: " + path;
}
inline std::string NoPackageFolder(const std::string& folder) {
  return "нет папки '" + folder + "', в которую записать пакет";
}

// zrk build and zrk check.
inline std::string ProjectPathUnknown(const std::string& project, const std::string& reason) {
  return "не удалось найти путь проекта '" + project + "': " + reason;
}
inline std::string ProjectPathTooLong(const std::string& path) {
  return "путь проекта '" + path + "' слишком длинный: система не открывает файлы по такому пути";
}
inline std::string NoCurrentFolder(const std::string& reason) {
  return "не удалось определить текущую папку: " + reason;
}
inline std::string PackageKept(const std::string& package) {
  return "пакет '" + package + "' уже есть и не заменён; --force заменяет его";
}
inline std::string PackageNotReplaced(const std::string& package) {
  return "пакет '" + package + "' не заменён";
}
inline std::string PackageWritten(const std::string& package, std::size_t entries,
                                  std::uintmax_t size) {
  return "пакет '" + package + "' записан: файлов " + std::to_string(entries) + ", " +
         std::to_string(size) + " байт";
}
inline constexpr char kWarningPrefix[] = "предупреждение: ";
inline constexpr char kStrictStop[] =
    "есть предупреждения, и с --strict пакет не записан; ничего не изменено";
// A missing file and where it was named: "(mods\btn.zrm [STANDARD] Mask)".
inline std::string MissingFile(const std::string& name, const std::string& named_in) {
  return "не найден: " + name + " (" + named_in + ")";
}
inline constexpr char kNamedByProject[] = "файл проекта";
inline constexpr char kNamedAsPreview[] = "картинка предварительного просмотра";
inline std::string UnusedFile(const std::string& name, std::uint64_t size) {
  return "не используется: " + name + " (" + std::to_string(size) + " байт)";
}
inline std::string UnusedTotal(std::size_t count, std::uint64_t size) {
  return "Не используется файлов: " + std::to_string(count) + ", " + std::to_string(size) + " байт";
}

// On a terminal: the progress of a long write, and the overwrite question's answers.
inline std::string Progress(const std::string& written, const std::string& total,
                            const std::string& entry) {
  return "запись: " + written + " из " + total + ", " + entry;
}
inline constexpr char kMegabytes[] = " МБ";
inline constexpr char kYesOrNo[] = " [д/Н] ";
// In lower case: an answer counts in any letter case ("ДА", "Yes").
inline constexpr std::string_view kYesAnswers[] = {"y", "yes", "д", "да"};

// zrk list. Readable sizes: up to 1023 bytes, then by 1024 in these units.
inline constexpr const char* kSizeUnits[] = {" Б", " КБ", " МБ", " ГБ", " ТБ"};
inline constexpr char kDecimalComma = ',';
inline std::string ListTotal(std::size_t entries) {
  return "итого: файлов " + std::to_string(entries);
}
inline std::string ListingNotHeld(const std::string& reason) {
  return "не удалось записать список во временный файл: " + reason;
}

// zrk extract.
inline std::string AlreadyInFolder(const std::string& entry, const std::string& folder) {
  return "файл '" + entry + "' уже есть в папке '" + folder +
         "'; ничего не извлечено (--force заменяет файлы)";
}
inline std::string FolderNotOpened(const std::string& folder, const std::string& reason) {
  return "не удалось открыть папку '" + folder + "': " + reason;
}

// zrk get.
inline std::string IniFileUnread(const std::string& file, bool exists) {
  return "файл '" + file + "' " + (exists ? "не читается" : "не найден") + "; значение пустое";
}

// Any command.
inline std::string OutputNotWritten(const std::string& reason) {
  return "не удалось записать вывод: " + reason;
}

// zrk init.
inline constexpr char kInitAbout[] = "создать заготовку оболочки в новой или пустой папке";
inline constexpr char kInitFolderArgument[] = "папка оболочки (по умолчанию: текущая)";
inline std::string InitFolderNotEmpty(const std::string& folder) {
  return "'" + folder + "' уже есть, и это не пустая папка; ничего не записано";
}
inline std::string InitNotWritten(const std::string& folder, const std::string& reason) {
  return "не удалось создать папку '" + folder + "': " + reason + "; ничего не записано";
}
inline std::string InitFileNotWritten(const std::string& name, const std::string& reason) {
  return "не удалось записать файл '" + name + "': " + reason + "; ничего не записано";
}
inline std::string InitWritten(const std::string& folder, std::size_t files) {
  return "заготовка оболочки записана в папку '" + folder + "': файлов " + std::to_string(files) +
         "; проверка: zrk check --strict " + folder;
}

// zrk diff.
inline constexpr char kDiffAbout[] =
    "сравнить два пакета: файлы только в первом (-), только во втором (+), разные (~)";
inline constexpr char kFirstPackageArgument[] = "первый пакет .zrk";
inline constexpr char kSecondPackageArgument[] = "второй пакет .zrk";
inline constexpr char kDiffJsonOption[] = "вывести различия в JSON";
inline constexpr char kDiffFooter[] =
    "Коды выхода: 0 пакеты содержат те же файлы с теми же байтами (порядок не сравнивается),\n"
    "1 пакеты различаются, 2 ошибка вызова, 3 пакет не читается или повреждён, вывод не записан.";
inline std::string PackageUnread(const std::string& package, const std::string& reason) {
  return "не удалось прочитать пакет '" + package + "': " + reason;
}

// zrk extract of named entries.
inline constexpr char kEntryNamesArgument[] =
    "имена файлов, как их печатает zrk list (по умолчанию: все файлы)";
inline std::string NoSuchEntry(const std::string& name, const std::string& package) {
  return "в пакете '" + package + "' нет файла '" + name + "'; ничего не извлечено";
}

}  // namespace cli_texts

/// Prints message on stderr as a line of zrk's own, after "zrk: ": its errors and its summary.
/// The names in it are shown escaped (see Printable), so it stays one line.
inline void Say(std::string_view message) { std::cerr << "zrk: " << Printable(message) << '\n'; }

}  // namespace zrk::cli

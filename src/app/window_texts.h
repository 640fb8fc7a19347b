// The windows' own texts, the same in the Qt and the Win32 window: labels, buttons, the save
// dialog's folder message, zrk-builder --help, what the windows add to a build's report and what
// they say of a package. The build's own report lines, boxes and dialogs are worded in
// assembly/texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zrk::app::window_texts {

inline constexpr std::string_view kInstruction =
    "Выберите файл проекта config.zrp, все остальное программа сделает сама ;-)";
inline constexpr std::string_view kBrowseCaption = "Обзор...";
inline constexpr std::string_view kExitCaption = "Выход";
inline constexpr std::string_view kRightsNotice = "© 2026 Сборщик ZRK";

// A name typed in the save dialog whose folder is not there: the dialog stays open. %1: folder.
inline constexpr std::string_view kFolderNotFound =
    "Папка '%1' не найдена.\nПроверьте путь и введите имя ещё раз.";

// zrk-builder --help: how to start the window.
inline constexpr std::string_view kBuilderUsage =
    "Вызов: zrk-builder [--] [ПРОЕКТ | ПАПКА | ПАКЕТ.zrk]\n"
    "Окно сборщика пакетов оболочек ZRK. С файлом проекта (config.zrp) или папкой, в которой он\n"
    "лежит, сразу собирает его, как если бы он был выбран кнопкой \"Обзор...\"; с пакетом .zrk\n"
    "показывает его файлы и предлагает извлечь их. Их можно и перетащить в окно.\n"
    "\n"
    "  -h, --help     показать эту справку и выйти\n"
    "  --version      показать версию и выйти\n"
    "  --             дальше только имя, даже если оно начинается с \"-\"\n";

// zrk-builder's arguments hold one it does not take (followed by kBuilderUsage).
inline std::string UnexpectedArgument(const std::string& argument) {
  return "zrk-builder: лишний аргумент '" + argument + "'\n";
}

// The report's context menu.
inline constexpr std::string_view kCopyLines = "Копировать";
inline constexpr std::string_view kCopyAllLines = "Копировать все строки";

// What a window was given to open, named on its command line or dropped on it, is not there.
inline std::string NoProjectFile(const std::string& path) {
  return "Файл проекта '" + path + "' не найден. Сборка не начата.";
}

// The build's report: the skin's warnings, where a missing file was named, the package written.
inline constexpr std::string_view kWarningPrefix = "предупреждение: ";
inline std::string NamedInIni(const std::string& file, const std::string& section,
                              const std::string& key) {
  return "Назван в файле " + file + ", секция [" + section + "], ключ " + key;
}
inline constexpr std::string_view kNamedAsProject = "Это сам файл проекта";
inline std::string PackageWritten(const std::string& package, std::size_t files,
                                  std::uint64_t size) {
  return "Пакет '" + package + "' записан: файлов " + std::to_string(files) + ", " +
         std::to_string(size) + " байт";
}

// How far a long write has come, in megabytes, shown over the window's bottom row (followed by
// the file being written, after ", ").
inline std::string WritingPackage(std::uint64_t written_mb, std::uint64_t total_mb) {
  return "Запись: " + std::to_string(written_mb) + " из " + std::to_string(total_mb) + " МБ";
}
inline std::string ExtractingFiles(std::uint64_t written_mb, std::uint64_t total_mb) {
  return "Извлечение: " + std::to_string(written_mb) + " из " + std::to_string(total_mb) + " МБ";
}

// A package opened in the window: its entries, then the offer to extract them.
inline std::string PackageContents(const std::string& package) {
  return "Содержимое пакета '" + package + "':";
}
inline std::string PackageTotal(std::size_t files, std::uint64_t size) {
  return "Всего в пакете " + std::to_string(files) + " файл(ов), " + std::to_string(size) + " байт";
}
inline constexpr std::string_view kExtractQuestion =
    "Пакет проверен целиком. Извлечь его файлы в папку?";
inline constexpr std::string_view kChooseFolderCaption = "Папка для файлов пакета";
inline std::string ExtractingInto(const std::string& folder) {
  return "Извлечение файлов в папку '" + folder + "'...";
}
// The files of the package that are in the folder already: names, one a line.
inline std::string ReplaceQuestion(const std::string& folder, const std::string& names) {
  return "В папке '" + folder + "' уже есть файлы пакета:\n" + names +
         "\nЗаменить их файлами из пакета?";
}
inline std::string AndMore(std::size_t count) {
  return "и ещё " + std::to_string(count) + " файл(ов)";
}
inline constexpr std::string_view kNothingReplaced =
    "Извлечение отменено: ни один файл не записан.";
inline constexpr std::string_view kExtractRefused =
    "Файлы пакета не извлечены: некоторые из них нельзя записать в эту папку, поэтому не записан "
    "ни один. Подробности смотрите в отчете.";
inline std::string FolderNotOpened(const std::string& folder, const std::string& reason) {
  return "не удалось открыть папку '" + folder + "': " + reason;
}
inline std::string Extracted(std::size_t files, const std::string& folder) {
  return "Извлечено файлов: " + std::to_string(files) + " в папку '" + folder + "'";
}

}  // namespace zrk::app::window_texts

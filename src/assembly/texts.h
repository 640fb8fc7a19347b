// Every text the user sees: report lines, message boxes, dialog captions and filters.
#pragma once

#include <string_view>

namespace zrk::texts {

inline constexpr std::string_view kApplicationTitle = "Сборщик ZRK серии 4.x (29)";

// Report lines, in the order a build can add them.
inline constexpr std::string_view kCollectingList = "Создание списка файлов...";
inline constexpr std::string_view kListCollected = "Список файлов создан!";
inline constexpr std::string_view kCountPrefix = "Всего в проекте найдено ";
inline constexpr std::string_view kCountSuffix = " файл(ов)!";
inline constexpr std::string_view kCheckingFiles = "Проверка существования файлов...";
inline constexpr std::string_view kFileOk = "  [ok]";
inline constexpr std::string_view kFileMissing = "  [err]";
inline constexpr std::string_view kFileNotFoundLine = "Ошибка... Файл не найден...";
inline constexpr std::string_view kPreviewFound =
    "Дополнительно найден файл предварительного просмотра скина!";
inline constexpr std::string_view kCheckPassed = "Проверка файлов успешно завершена!";
inline constexpr std::string_view kPreparing = "Подготовка к сборки zrk...";
inline constexpr std::string_view kCancelledByUser = "Операция прервана пользователем...";
inline constexpr std::string_view kSucceeded = "Операция успешно завершена!";
// A failed file operation: this prefix, then what failed, naming the file and the reason.
inline constexpr std::string_view kErrorPrefix = "Ошибка... ";

// Message boxes.
inline constexpr std::string_view kMissingFilesBox =
    "ВНИМАНИЕ: Один или несколько файлов указанного проекта не найдены! Операция будет прервана. "
    "Подробности смотрите в отчете.";
inline constexpr std::string_view kCancelQuestion = "Вы действительно хотите отменить операцию?";
inline constexpr std::string_view kOverwritePrefix = "Файл '";
inline constexpr std::string_view kOverwriteSuffix = "' уже существует! Хотите заменить его?";
inline constexpr std::string_view kSuccessBox = "Операция успешно завершена!";

// File dialogs.
inline constexpr std::string_view kOpenOkText = "Выбарть";
inline constexpr std::string_view kProjectFilter = "Файлы проектов ZRK 4.x (*.zrp)|*.zrp";
inline constexpr std::string_view kSaveOkText = "Сохранить";
inline constexpr std::string_view kPackageFilter = "Файлы оболочек ZR 4.x (*.zrk)|*.zrk";
inline constexpr std::string_view kPackageExtension = ".zrk";
inline constexpr std::string_view kPreviewName = "preview.bmp";
// A name typed in the save dialog whose folder is not there: the dialog stays open. %1: folder.
inline constexpr std::string_view kFolderNotFound =
    "Папка '%1' не найдена.\nПроверьте путь и введите имя ещё раз.";

// The main window.
inline constexpr std::string_view kInstruction =
    "Выберите файл проекта config.zrp, все остальное программа сделает сама ;-)";
inline constexpr std::string_view kBrowseCaption = "Обзор...";
inline constexpr std::string_view kExitCaption = "Выход";
inline constexpr std::string_view kRightsNotice = "© 2026 Сборщик ZRK";

// zrk-builder --help: how to start the window.
inline constexpr std::string_view kBuilderUsage =
    "Вызов: zrk-builder [ПРОЕКТ]\n"
    "Окно сборщика пакетов оболочек ZRK. С файлом проекта (config.zrp) сразу собирает его,\n"
    "как если бы он был выбран кнопкой \"Обзор...\"; файл проекта можно и перетащить в окно.\n"
    "\n"
    "  -h, --help     показать эту справку и выйти\n"
    "  --version      показать версию и выйти\n";

}  // namespace zrk::texts

// The build's texts: report lines, message boxes, dialog captions and filters, and the title
// that captions the windows and boxes.
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

}  // namespace zrk::texts

// The windows' own texts, the same in the Qt and the Win32 window: labels, buttons, the save
// dialog's folder message and zrk-builder --help. The build's report, boxes and dialogs are worded
// in assembly/texts.h.
#pragma once

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
    "Вызов: zrk-builder [ПРОЕКТ]\n"
    "Окно сборщика пакетов оболочек ZRK. С файлом проекта (config.zrp) сразу собирает его,\n"
    "как если бы он был выбран кнопкой \"Обзор...\"; файл проекта можно и перетащить в окно.\n"
    "\n"
    "  -h, --help     показать эту справку и выйти\n"
    "  --version      показать версию и выйти\n";

}  // namespace zrk::app::window_texts

// A package opened in a window: its entries in the report, and its files extracted into a folder
// the user chooses, by the rules of zrk extract.
#pragma once

#include <functional>
#include <string>

#include "app/window_report.h"
#include "assembly/build_driver.h"

namespace zrk::app {

/// Asks for a folder in a window's folder dialog, opened at start; returns the chosen folder's
/// full path as the system spells it, or "" when the dialog was cancelled.
using ChooseFolder = std::function<std::string(const std::string& start)>;

/// Shows the package at package_path in list once the package reader has checked it whole: each
/// entry's size and name, then their number and total size. A broken package ends on an
/// "Ошибка... " line and an error box that say what is wrong and where. Then asks whether to
/// extract the files and, on "Yes", into which folder (choose_folder): nothing is written when an
/// entry cannot be (each reason a line, then an error box), and nothing is replaced without "Yes"
/// to a question naming the files there already. Never throws.
void ShowPackage(const std::string& package_path, WindowReportList& list, MessageBoxes& boxes,
                 const ChooseFolder& choose_folder);

}  // namespace zrk::app

// A file dialog platform without windows: it answers the save dialog with a name given up front.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "dialogs/file_dialog_platform.h"

namespace zrk::cli {

/// Answers the first save dialog with a package name fixed on the command line and cancels
/// every later dialog, so that a refused overwrite ends the build instead of asking again; also
/// the first, when withhold says so as it opens. Open dialogs are always cancelled.
class AnsweringDialog : public FileDialogPlatform {
 public:
  AnsweringDialog(std::string save_name, std::function<bool()> withhold)
      : save_name_(std::move(save_name)), withhold_(std::move(withhold)) {}
  std::int32_t ShowOpenDialog(DialogRecord& record) override;
  std::int32_t ShowSaveDialog(DialogRecord& record) override;

 private:
  std::string save_name_;
  std::function<bool()> withhold_;
  bool answered_ = false;
};

}  // namespace zrk::cli

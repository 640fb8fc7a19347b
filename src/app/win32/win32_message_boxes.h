// The build's message boxes on Windows.
#pragma once

#include <windows.h>

#include "assembly/build_driver.h"

namespace zrk::app {

/// The build's message boxes as MessageBoxW, captioned with the application title. They have no
/// owner and are task-modal: every window of the program is disabled while one is open.
class Win32MessageBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
};

}  // namespace zrk::app

// The build's message boxes as Qt message boxes.
#pragma once

#include "assembly/build_driver.h"

namespace zrk::app {

/// Application-modal QMessageBox captioned with the application title; the first button is the
/// default, and the platform's button texts follow Qt's loaded translation.
class QtMessageBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
};

}  // namespace zrk::app

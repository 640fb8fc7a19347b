// The build's report on the main window's LISTBOX control.
#pragma once

#include <windows.h>

#include "assembly/build_driver.h"

namespace zrk::win32 {

/// Report operations as list box messages: LB_RESETCONTENT, LB_ADDSTRING, LB_GETCOUNT and
/// LB_SETCURSEL, which highlights a line and scrolls it into view.
class ListBoxReport : public Report {
 public:
  explicit ListBoxReport(HWND list) : list_(list) {}
  void Clear() override;
  /// Adds the line as UTF-16 text, so that it shows the same under any code page.
  void AddLine(const std::string& line) override;
  /// The count as the list box reports it, held at 32767 when the list grows longer.
  std::int16_t LineCount() const override;
  /// Selects the line and paints the list at once: the build does not return to the message loop
  /// until it is over, and the report should run along with it.
  void SetSelectedIndex(std::int16_t index) override;

 private:
  HWND list_;
};

/// The build's message boxes as MessageBoxW, captioned with the application title. They have no
/// owner and are task-modal: every window of the program is disabled while one is open.
class Win32MessageBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
};

}  // namespace zrk::win32

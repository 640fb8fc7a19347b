// The window operations of the file dialog hook over Qt widgets and the primary screen.
#pragma once

#include <string>

#include "dialogs/window_operations.h"

class QWidget;

namespace zrk::app {

/// The handle by which the dialog code knows widget; 0 for nullptr.
WindowHandle HandleOf(const QWidget* widget);

/// The widget that window names, or nullptr when no live widget has that handle (a closed
/// dialog, 0, or any other number).
QWidget* WidgetOf(WindowHandle window);

/// WindowOperations on Qt widgets. Screen coordinates count from the primary screen's top-left
/// corner, so "the screen" is the primary screen wherever the desktop places it. Install with
/// mdlCdlg::SetWindowOperations once a QApplication exists.
class QtWindowOperations : public WindowOperations {
 public:
  /// The widget's parent widget; 0 for a window without one or an unknown handle.
  WindowHandle ParentOf(WindowHandle window) override;

  /// The widget's frame geometry, window decorations included where the window system reports
  /// them.
  WindowRect Rect(WindowHandle window) override;

  /// Moves the widget's frame to (x, y) and gives the frame width by height pixels.
  void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
            std::int32_t height) override;

  /// The primary screen's width in device-independent pixels; 0 without a screen.
  double ScreenWidthPixels() override;

  /// The primary screen's height in device-independent pixels; 0 without a screen.
  double ScreenHeightPixels() override;

  /// Sets the accept or reject button's label when frame is a QFileDialog; ignored otherwise.
  void SetControlText(WindowHandle frame, DialogControl control, const std::string& text) override;
};

}  // namespace zrk::app

// The window operations that the file dialog hook uses to centre and relabel a dialog.
#pragma once

#include <cstdint>
#include <string>

namespace zrk {

/// A window as the dialog code sees it: an opaque number that each platform maps to its own
/// windows; 0 names no window.
using WindowHandle = std::uintptr_t;

/// A window's outer bounds in screen pixels.
struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

/// The two buttons of a file dialog whose captions can be set, numbered as the dialog's
/// control identifiers.
enum class DialogControl : std::int32_t { kOk = 1, kCancel = 2 };

/// What the hook needs from the window system. Failures are not reported: an unknown window has
/// no parent, a zero rectangle, and ignores moves and texts.
class WindowOperations {
 public:
  virtual ~WindowOperations() = default;

  /// The parent of window: for the hook's window, the dialog's frame. 0 when it has none.
  virtual WindowHandle ParentOf(WindowHandle window) = 0;

  /// The outer bounds of window in screen pixels; all zeros when the window is unknown.
  virtual WindowRect Rect(WindowHandle window) = 0;

  /// Places window with its top-left corner at (x, y) in screen pixels, gives it width by height
  /// outer pixels and repaints it.
  virtual void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height) = 0;

  /// The screen's width in pixels.
  virtual double ScreenWidthPixels() = 0;

  /// The screen's height in pixels.
  virtual double ScreenHeightPixels() = 0;

  /// Sets the caption of one button of the file dialog whose frame is frame; text is UTF-8.
  virtual void SetControlText(WindowHandle frame, DialogControl control,
                              const std::string& text) = 0;
};

}  // namespace zrk

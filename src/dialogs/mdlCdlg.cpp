// mdlCdlg: the shared dialog object and the hook that centres and relabels each file dialog.
#include "dialogs/mdlCdlg.h"

#include <cmath>
#include <limits>

namespace mdlCdlg {
namespace {

using zrk::DialogControl;
using zrk::WindowHandle;
using zrk::WindowRect;

// Stands in while no window operations are installed: every window is unknown, as a failed
// platform call would leave it.
class NoWindowOperations : public zrk::WindowOperations {
 public:
  WindowHandle ParentOf(WindowHandle) override { return 0; }
  WindowRect Rect(WindowHandle) override { return {}; }
  void Move(WindowHandle, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
  double ScreenWidthPixels() override { return 0.0; }
  double ScreenHeightPixels() override { return 0.0; }
  void SetControlText(WindowHandle, DialogControl, const std::string&) override {}
};

zrk::FileDialogPlatform* g_dialog_platform = nullptr;
zrk::WindowOperations* g_window_operations = nullptr;
WindowHandle g_dialog_frame = 0;

zrk::WindowOperations& Windows() {
  static NoWindowOperations none;
  return g_window_operations != nullptr ? *g_window_operations : none;
}

// Rounds to the nearest whole number, halves to the even neighbour, whatever the floating-point
// rounding mode is.
double RoundHalfEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// Screen metrics come from the platform; a nonsense value must not turn into undefined
// behaviour, so the position saturates instead.
std::int32_t ToInt32(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

// The position that centres size pixels on a screen of screen pixels; both the free space and
// its half round halves to even.
std::int32_t CenteredPosition(double screen, std::int32_t size) {
  const double free_space = RoundHalfEven(screen - size);
  return ToInt32(RoundHalfEven(free_space / 2.0));
}

std::int32_t Extent(std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(to) - from);
}

}  // namespace

zrk::kelCommonDialog& SharedDialog() {
  static zrk::kelCommonDialog dialog;
  return dialog;
}

WindowHandle hDialogFrame() { return g_dialog_frame; }

std::int32_t FileDialogHook(WindowHandle window, std::uint32_t message, std::uintptr_t,
                            std::intptr_t) {
  if (message == zrk::kWmInitDialog) {
    CenterDialog(window);
    SetButtonCaptions(window);
  }
  return 0;
}

void CenterDialog(WindowHandle window) {
  zrk::WindowOperations& windows = Windows();
  g_dialog_frame = windows.ParentOf(window);
  const WindowRect rect = windows.Rect(g_dialog_frame);
  const std::int32_t width = Extent(rect.left, rect.right);
  const std::int32_t height = Extent(rect.top, rect.bottom);

  zrk::kelCommonDialog& dialog = SharedDialog();
  dialog.SetLeft(CenteredPosition(windows.ScreenWidthPixels(), width));
  dialog.SetTop(CenteredPosition(windows.ScreenHeightPixels(), height));
  windows.Move(g_dialog_frame, dialog.Left(), dialog.Top(), width, height);
}

void SetButtonCaptions(WindowHandle) {
  zrk::WindowOperations& windows = Windows();
  zrk::kelCommonDialog& dialog = SharedDialog();
  if (!dialog.OKText().empty()) {
    windows.SetControlText(g_dialog_frame, DialogControl::kOk, dialog.OKText());
  }
  if (!dialog.CancelText().empty()) {
    windows.SetControlText(g_dialog_frame, DialogControl::kCancel, dialog.CancelText());
  }
}

zrk::FileDialogPlatform* SetDialogPlatform(zrk::FileDialogPlatform* platform) {
  zrk::FileDialogPlatform* previous = g_dialog_platform;
  g_dialog_platform = platform;
  return previous;
}

zrk::FileDialogPlatform* DialogPlatform() { return g_dialog_platform; }

zrk::WindowOperations* SetWindowOperations(zrk::WindowOperations* operations) {
  zrk::WindowOperations* previous = g_window_operations;
  g_window_operations = operations;
  return previous;
}

}  // namespace mdlCdlg

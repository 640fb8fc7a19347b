// Tests of mdlCdlg: the hook centres the dialog's frame on the screen and relabels its buttons.
#include "dialogs/mdlCdlg.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace zrk {
namespace {

constexpr WindowHandle kChild = 11;
constexpr WindowHandle kFrame = 22;

struct HookCase {
  const char* name;
  double screen_width, screen_height;
  WindowRect frame;
  std::string log;
  std::string ok = "", cancel = "";
  std::uint32_t message = kWmInitDialog;
};

// The fixture is the window system while it lives: the hook's window kChild inside the frame
// kFrame on a made-up screen, each move and caption written to log_.
class FileDialogHookTest : public ::testing::TestWithParam<HookCase>, public WindowOperations {
 protected:
  FileDialogHookTest() : previous_(mdlCdlg::SetWindowOperations(this)) {}
  ~FileDialogHookTest() override {
    mdlCdlg::SetWindowOperations(previous_);
    mdlCdlg::SharedDialog().SetOKText("");
    mdlCdlg::SharedDialog().SetCancelText("");
  }

  WindowHandle ParentOf(WindowHandle window) override { return window == kChild ? kFrame : 0; }
  WindowRect Rect(WindowHandle window) override { return window == kFrame ? frame_ : WindowRect{}; }
  void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
            std::int32_t height) override {
    Log(std::to_string(window) + " to " + std::to_string(x) + "," + std::to_string(y) + " " +
        std::to_string(width) + "x" + std::to_string(height));
  }
  double ScreenWidthPixels() override { return screen_width_; }
  double ScreenHeightPixels() override { return screen_height_; }
  void SetControlText(WindowHandle frame, DialogControl control, const std::string& text) override {
    Log(std::to_string(frame) + (control == DialogControl::kOk ? " ok=" : " cancel=") + text);
  }
  void Log(const std::string& entry) { log_ += (log_.empty() ? "" : "; ") + entry; }

  WindowRect frame_;
  double screen_width_ = 0, screen_height_ = 0;
  std::string log_;
  WindowOperations* previous_;
};

// Positions round halves to even, as the free space does before it is halved. Captions are set
// only where given, and any message but kWmInitDialog does nothing at all (the system's dialog
// sends many, and a dialog the user moved must stay where it is).
const HookCase kHookCases[] = {
    {"odd free space rounds down to even", 1024, 768, {0, 0, 563, 419}, "22 to 230,174 563x419"},
    {"odd free space rounds up to even", 1024, 768, {0, 0, 561, 419}, "22 to 232,174 561x419"},
    {"taller than the screen", 800, 600, {0, 0, 400, 701}, "22 to 200,-50 400x701"},
    {"frame away from the origin", 1024, 768, {300, 200, 863, 619}, "22 to 230,174 563x419"},
    {"captions", 4, 4, {0, 0, 2, 2}, "22 to 1,1 2x2; 22 ok=Да; 22 cancel=Нет", "Да", "Нет"},
    {"WM_NOTIFY", 4, 4, {0, 0, 2, 2}, "", "Да", "Нет", 0x004E},
};
INSTANTIATE_TEST_SUITE_P(, FileDialogHookTest, ::testing::ValuesIn(kHookCases),
                         testing::NameOfRow<HookCase>);

TEST_P(FileDialogHookTest, CentresFrameAndSetsCaptionsAtInitDialogOnly) {
  const HookCase& c = GetParam();
  screen_width_ = c.screen_width;
  screen_height_ = c.screen_height;
  frame_ = c.frame;
  mdlCdlg::SharedDialog().SetOKText(c.ok);
  mdlCdlg::SharedDialog().SetCancelText(c.cancel);
  EXPECT_EQ(0, mdlCdlg::FileDialogHook(kChild, c.message, 1, 2));
  EXPECT_EQ(c.log, log_);
}

}  // namespace
}  // namespace zrk

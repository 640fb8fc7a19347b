// Tests of mdlCdlg: the hook's centring arithmetic, the button captions and the shared object.
#include "dialogs/mdlCdlg.h"

#include <gtest/gtest.h>

#include "dialogs/fake_dialog_platform.h"

namespace zrk {
namespace {

using testing::FakeDialogPlatform;
using testing::FakeWindows;

constexpr WindowHandle kChild = 11;
constexpr WindowHandle kFrame = 22;

// A child window inside a frame on a fake screen, and a SharedDialog with no captions.
class FileDialogHookTest : public ::testing::Test {
 protected:
  FileDialogHookTest() {
    windows_.parents[kChild] = kFrame;
    SetCaptions("", "");
    mdlCdlg::SharedDialog().SetLeft(-1);
    mdlCdlg::SharedDialog().SetTop(-1);
  }
  ~FileDialogHookTest() override { SetCaptions("", ""); }
  static void SetCaptions(const std::string& ok, const std::string& cancel) {
    mdlCdlg::SharedDialog().SetOKText(ok);
    mdlCdlg::SharedDialog().SetCancelText(cancel);
  }

  FakeWindows windows_;
};

TEST_F(FileDialogHookTest, CentresFrameRoundingHalvesToEven) {
  const struct {
    const char* name;
    double screen_width, screen_height;
    WindowRect frame;
    std::int32_t x, y;
    WindowHandle child = kChild;
  } cases[] = {
      {"odd free space rounds down to even", 1024, 768, {0, 0, 563, 419}, 230, 174},
      {"odd free space rounds up to even", 1024, 768, {0, 0, 561, 419}, 232, 174},
      {"even free space", 1024, 768, {0, 0, 562, 419}, 231, 174},
      {"taller than the screen", 800, 600, {0, 0, 400, 701}, 200, -50},
      {"as wide as the screen", 1024, 768, {0, 0, 1024, 768}, 0, 0},
      {"frame away from the origin", 1024, 768, {300, 200, 863, 619}, 230, 174},
      {"fractional screen rounds first", 1024.5, 768.4, {0, 0, 563, 419}, 231, 174},
      // Nothing is checked on the way: an empty move of no window to the screen's centre.
      {"window without a frame", 1024, 768, {0, 0, 0, 0}, 512, 384, 99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    windows_.screen_width = c.screen_width;
    windows_.screen_height = c.screen_height;
    windows_.rects[kFrame] = c.frame;
    windows_.moves.clear();
    EXPECT_EQ(0, mdlCdlg::FileDialogHook(c.child, kWmInitDialog, 0, 0));
    EXPECT_EQ(c.x, mdlCdlg::SharedDialog().Left());
    EXPECT_EQ(c.y, mdlCdlg::SharedDialog().Top());
    const WindowHandle frame = c.child == kChild ? kFrame : 0;
    const std::int32_t width = c.frame.right - c.frame.left, height = c.frame.bottom - c.frame.top;
    EXPECT_EQ((std::vector<FakeWindows::MoveCall>{{frame, c.x, c.y, width, height}}),
              windows_.moves);
    EXPECT_EQ(frame, mdlCdlg::hDialogFrame());
  }
}

TEST_F(FileDialogHookTest, SetsOnlyCaptionsThatAreGiven) {
  const struct {
    const char* ok;
    const char* cancel;
    std::vector<std::string> expected;
  } cases[] = {
      {"Выбарть", "", {"22:ok=Выбарть"}},
      {"", "Отмена!", {"22:cancel=Отмена!"}},
      {"Сохранить", "Нет", {"22:ok=Сохранить", "22:cancel=Нет"}},
      {"", "", {}},
  };
  for (const auto& c : cases) {
    SetCaptions(c.ok, c.cancel);
    windows_.texts.clear();
    mdlCdlg::FileDialogHook(kChild, kWmInitDialog, 0, 0);
    EXPECT_EQ(c.expected, windows_.texts) << c.ok << "/" << c.cancel;
  }
}

TEST_F(FileDialogHookTest, OtherMessagesDoNothing) {
  mdlCdlg::SharedDialog().SetOKText("Выбарть");
  for (const std::uint32_t message : {0x0000u, 0x0002u, 0x004Eu, 0x0111u, 0x0468u}) {
    EXPECT_EQ(0, mdlCdlg::FileDialogHook(kChild, message, 1, 2)) << message;
  }
  EXPECT_TRUE(windows_.moves.empty());
  EXPECT_TRUE(windows_.texts.empty());
  EXPECT_EQ(-1, mdlCdlg::SharedDialog().Left());
}

// The hook runs inside ShowOpen and works on SharedDialog, whichever object opened the dialog.
TEST_F(FileDialogHookTest, RunsInsideShowAndWritesSharedDialog) {
  windows_.rects[kFrame] = {0, 0, 562, 420};
  mdlCdlg::SharedDialog().SetOKText("Выбарть");
  FakeDialogPlatform platform;
  platform.answer = [](DialogRecord& record) {
    return record.hook(kChild, kWmInitDialog, 0, reinterpret_cast<std::intptr_t>(&record));
  };
  kelCommonDialog other;
  other.ShowOpen();

  EXPECT_EQ(231, mdlCdlg::SharedDialog().Left());
  EXPECT_EQ(174, mdlCdlg::SharedDialog().Top());
  EXPECT_EQ(0, other.Left());
  EXPECT_EQ(std::vector<std::string>{"22:ok=Выбарть"}, windows_.texts);
}

TEST(FileDialogHook, WithoutWindowOperationsDoesNotCrash) {
  ASSERT_EQ(nullptr, mdlCdlg::SetWindowOperations(nullptr));
  mdlCdlg::SharedDialog().SetLeft(5);
  mdlCdlg::SharedDialog().SetTop(5);
  EXPECT_EQ(0, mdlCdlg::FileDialogHook(kChild, kWmInitDialog, 0, 0));
  EXPECT_EQ(0, mdlCdlg::SharedDialog().Left() | mdlCdlg::SharedDialog().Top());
}

}  // namespace
}  // namespace zrk

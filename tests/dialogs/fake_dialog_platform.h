// Test doubles for the dialog platforms: a scripted file dialog and a recording window system.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dialogs/mdlCdlg.h"

namespace zrk::testing {

/// A file dialog that records every call and answers through a script (the default cancels);
/// installed for its lifetime, the platform before it restored afterwards.
class FakeDialogPlatform : public FileDialogPlatform {
 public:
  FakeDialogPlatform() : previous_(mdlCdlg::SetDialogPlatform(this)) {}
  ~FakeDialogPlatform() override { mdlCdlg::SetDialogPlatform(previous_); }
  FakeDialogPlatform(const FakeDialogPlatform&) = delete;
  FakeDialogPlatform& operator=(const FakeDialogPlatform&) = delete;

  std::int32_t ShowOpenDialog(DialogRecord& record) override { return Run("open", record); }
  std::int32_t ShowSaveDialog(DialogRecord& record) override { return Run("save", record); }

  /// Makes every following dialog confirm path, as a platform dialog writes it back.
  void Choose(const std::string& path, const std::string& title) {
    answer = [path, title](DialogRecord& record) {
      StoreInBuffer(record.file, record.max_file, path);
      StoreInBuffer(record.file_title, record.max_file_title, title);
      return 1;
    };
  }

  std::function<std::int32_t(DialogRecord&)> answer = [](DialogRecord&) { return 0; };
  std::vector<std::string> calls;  // "open" or "save", in call order
  DialogRecord seen;               // the record as the last dialog received it

 private:
  std::int32_t Run(const char* kind, DialogRecord& record) {
    calls.emplace_back(kind);
    seen = record;
    return answer(record);
  }
  FileDialogPlatform* previous_;
};

/// Window operations over made-up windows, recording what the hook does; installed for their
/// lifetime.
class FakeWindows : public WindowOperations {
 public:
  struct MoveCall {
    WindowHandle window;
    std::int32_t x, y, width, height;
    bool operator==(const MoveCall&) const = default;
  };

  FakeWindows() : previous_(mdlCdlg::SetWindowOperations(this)) {}
  ~FakeWindows() override { mdlCdlg::SetWindowOperations(previous_); }
  FakeWindows(const FakeWindows&) = delete;
  FakeWindows& operator=(const FakeWindows&) = delete;

  WindowHandle ParentOf(WindowHandle window) override {
    return parents.contains(window) ? parents[window] : 0;
  }
  WindowRect Rect(WindowHandle window) override {
    return rects.contains(window) ? rects[window] : WindowRect{};
  }
  void Move(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
            std::int32_t height) override {
    moves.push_back({window, x, y, width, height});
  }
  double ScreenWidthPixels() override { return screen_width; }
  double ScreenHeightPixels() override { return screen_height; }
  void SetControlText(WindowHandle frame, DialogControl control, const std::string& text) override {
    texts.push_back(std::to_string(frame) + (control == DialogControl::kOk ? ":ok=" : ":cancel=") +
                    text);
  }

  std::map<WindowHandle, WindowHandle> parents;
  std::map<WindowHandle, WindowRect> rects;
  double screen_width = 1024, screen_height = 768;
  std::vector<MoveCall> moves;
  std::vector<std::string> texts;  // "frame:ok=text" or "frame:cancel=text"

 private:
  WindowOperations* previous_;
};

}  // namespace zrk::testing

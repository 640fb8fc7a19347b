// Form1: the program's one window as a native Win32 window, with the report, the Browse and Exit
// buttons, the labels and the etched separator.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <string>

#include "assembly/build_driver.h"

namespace zrk::app {

/// The main window: Browse chooses a project and runs its build into the report; Exit ends the
/// program. While a Browse click (its open dialog or its build) is under way, Browse and Exit do
/// nothing and the window refuses to close.
class Form1 {
 public:
  /// boxes answers the build's message boxes (Win32MessageBoxes when null); tests pass a fake.
  explicit Form1(MessageBoxes* boxes = nullptr);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// Creates the window centred on the screen's work area, with its controls, shows it and puts
  /// the focus on Browse. Returns false when the system refuses to create it.
  bool Create(HINSTANCE instance, int show_command);

  /// The window; null before Create and after it is destroyed.
  HWND hwnd() const { return hwnd_; }

  /// Whether a Browse click is under way.
  bool busy() const { return busy_; }

  /// Runs the message loop until the window is destroyed; returns the exit code it posted.
  int Run();

  /// Builds the project file at project_path (UTF-8) as if it had been chosen with Browse, once
  /// the message loop runs, as for a file named on the command line or dropped on the window.
  /// Nothing happens while the window is busy.
  void OpenProjectSoon(const std::string& project_path);

 private:
  // One line of the etched separator, in twips, and the system colour it is drawn in.
  struct Line {
    int x1, y1, x2, y2;
    int colour;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param);
  void CreateControls(HINSTANCE instance);
  HWND CreateControl(HINSTANCE instance, const wchar_t* window_class, std::string_view text,
                     DWORD style, DWORD ex_style, int left, int top, int width, int height, int id);
  void FitLabel1();
  void PaintLines(HDC dc) const;
  int X(int twips) const;
  int Y(int twips) const;

  void Command1_Click();
  void Command2_Click();
  void BuildPackage(const std::string& project_path);
  void OpenProject(const std::string& project_path);
  void DropFiles(HDROP drop);

  HWND hwnd_ = nullptr;
  HWND Label1 = nullptr;
  HWND Command1 = nullptr;
  HWND List1 = nullptr;
  std::array<Line, 2> Line1{};
  HWND Command2 = nullptr;
  HWND Label2 = nullptr;

  int dpi_x_ = 96;
  int dpi_y_ = 96;
  HFONT window_font_ = nullptr;
  HFONT label1_font_ = nullptr;
  HFONT report_font_ = nullptr;
  HBRUSH report_brush_ = nullptr;
  HWND last_focus_ = nullptr;

  std::unique_ptr<MessageBoxes> own_boxes_;
  MessageBoxes* boxes_;
  bool busy_ = false;
  std::string project_to_open_;  // for OpenProjectSoon
};

}  // namespace zrk::app

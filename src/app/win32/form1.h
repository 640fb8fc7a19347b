// Form1: the program's one window as a native Win32 window, with the report, the Browse and Exit
// buttons, the labels and the etched separator.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/package_view.h"
#include "assembly/build_driver.h"

namespace zrk::app {

class ReportList;
struct ProgressControls;

/// The main window: Browse chooses a project and runs its build into the report; Exit ends the
/// program. While a Browse click (its open dialog or its build) or an opened package is under
/// way, Browse and Exit do nothing and the window refuses to close. It opens at its original
/// size, which is also its smallest; the report grows with it.
class Form1 {
 public:
  /// The controls' identifiers (GetDlgItem). None is IDOK or IDCANCEL, so Enter and Esc, which
  /// the dialog navigation turns into those two, press no button.
  enum ControlId : int {
    kLabel1Id = 101,
    kCommand1Id = 102,
    kList1Id = 103,
    kCommand2Id = 104,
    kLabel2Id = 105,
    kProgressTextId = 106,
    kProgressBarId = 107,
  };

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

  /// Whether a Browse click or an opened package is under way.
  bool busy() const { return busy_; }

  /// Runs the message loop until the window is destroyed; returns the exit code it posted.
  int Run();

  /// Opens what given names (UTF-8, as on the command line or in a drop): builds a project, or a
  /// folder's config.zrp, as if chosen with Browse; shows a package and offers to extract it;
  /// says so in a box when the project is not there. Does nothing while the window is busy.
  void Open(const std::string& given);
  /// Open, once the message loop runs: for what the command line names or a drop brings.
  void OpenSoon(const std::string& given);

  /// Replaces the folder dialog in which the user chooses where a package's files go; tests
  /// answer it themselves.
  void SetFolderChooser(ChooseFolder choose_folder) { choose_folder_ = std::move(choose_folder); }

 private:
  // One line of the etched separator, in twips, and the system colour it is drawn in.
  struct Line {
    int x1, y1, x2, y2;
    int colour;
  };
  // A control's place at the window's original size, in twips, and whether it follows the
  // window's right and bottom edges (moves) or stretches to them (grows).
  struct Anchor {
    HWND control;
    int left, top, width, height;
    bool move_x, move_y, grow_x, grow_y;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param);
  bool HandleFrameMessage(UINT message, WPARAM w_param, LPARAM l_param);
  void CreateControls(HINSTANCE instance);
  void CreateProgress(HINSTANCE instance);
  HWND CreateControl(HINSTANCE instance, const wchar_t* window_class, std::string_view text,
                     DWORD style, DWORD ex_style, const Anchor& place, int id);
  void FitLabel1();
  void PlaceControls();
  void PaintLines(HDC dc) const;
  int X(int twips) const;
  int Y(int twips) const;
  SIZE ClientSize() const;  // the client area's original size
  ProgressControls Progress() const;

  void Command1_Click();
  void Command2_Click();
  void BuildPackage(const std::string& project_path);
  void ShowPackage(const std::string& package_path);
  void DropFiles(HDROP drop);

  HWND hwnd_ = nullptr;
  HWND Label1 = nullptr;
  HWND Command1 = nullptr;
  HWND List1 = nullptr;
  std::array<Line, 2> Line1{};
  HWND Command2 = nullptr;
  HWND Label2 = nullptr;
  HWND progress_text_ = nullptr;
  HWND progress_bar_ = nullptr;
  std::unique_ptr<ReportList> report_list_;
  std::vector<Anchor> anchors_;

  int dpi_x_ = 96;
  int dpi_y_ = 96;
  SIZE smallest_{};  // the window's original outer size
  SIZE grown_{};     // how far the client area is larger than at first
  HFONT window_font_ = nullptr;
  HFONT label1_font_ = nullptr;
  HFONT report_font_ = nullptr;
  HBRUSH report_brush_ = nullptr;
  HWND last_focus_ = nullptr;

  std::unique_ptr<MessageBoxes> own_boxes_;
  MessageBoxes* boxes_;
  ChooseFolder choose_folder_;
  bool busy_ = false;
  std::string to_open_;  // for OpenSoon
};

}  // namespace zrk::app

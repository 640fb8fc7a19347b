// The report's list box: whole lines, scrolled sideways, shown whole on hover and copied.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

namespace zrk::app {

/// Takes over the report's LISTBOX control (made with WS_HSCROLL and LBS_EXTENDEDSEL) so that no
/// line is ever cut: the list scrolls sideways as far as its widest line, measured in the list's
/// font as each line is added; the pointer resting on a line shows it whole in a tooltip, with
/// its note under it; Ctrl+C copies the selected lines, and the context menu copies them or all
/// lines, as UTF-16 text with a line break between lines.
class ReportList {
 public:
  /// The context menu's commands, also taken as WM_COMMAND sent to the list.
  static constexpr UINT kCopyCommand = 1;
  static constexpr UINT kCopyAllCommand = 2;

  /// Takes over list and makes its tooltip, owned by the list's window.
  explicit ReportList(HWND list);
  /// Gives the list its own window procedure back and destroys the tooltip.
  ~ReportList();
  ReportList(const ReportList&) = delete;
  ReportList& operator=(const ReportList&) = delete;

  /// The ReportList that has taken over list, or null.
  static ReportList* Of(HWND list);

  HWND hwnd() const { return list_; }
  HWND tooltip() const { return tip_; }

  /// Removes every line and note; the list no longer scrolls sideways.
  void Clear();
  /// Adds line at the end and lets the list scroll sideways to its end; returns the line's index,
  /// or -1 when the list has no room for it.
  int AddLine(const std::wstring& line);
  /// Attaches note to the line at row.
  void SetNote(int row, std::wstring note);
  /// Makes the line at row the one selected line, scrolled into view.
  void SelectOnly(int row);

  /// What the pointer resting on row shows: the whole line, and under it its note if it has one;
  /// "" for a row that is not there.
  std::wstring TipOf(int row) const;
  /// The selected lines in report order, or all of them, separated by "\r\n".
  std::wstring SelectedText() const;
  std::wstring AllText() const;
  /// The context menu: kCopyCommand, greyed when no line is selected, and kCopyAllCommand. The
  /// caller destroys it.
  HMENU CreateContextMenu() const;

 private:
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM w_param, LPARAM l_param);
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param);
  bool HandleTipMessage(UINT message, LPARAM l_param);
  std::wstring LineAt(int row) const;
  int RowAt(POINT point) const;
  int TextWidth(const std::wstring& line);
  void ShowTipAt(POINT point);
  void HideTip();
  void ShowContextMenu(LPARAM l_param);

  HWND list_;
  WNDPROC list_proc_;
  HWND tip_ = nullptr;
  HDC measure_dc_ = nullptr;
  HFONT measured_font_ = nullptr;
  int widest_ = 0;
  int tip_row_ = -1;
  bool menu_open_ = false;
  std::unordered_map<int, std::wstring> notes_;
};

/// Puts text on the clipboard as CF_UNICODETEXT for owner; false when the clipboard is not to be
/// had.
bool CopyToClipboard(HWND owner, const std::wstring& text);

}  // namespace zrk::app

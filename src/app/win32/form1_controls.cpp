// Form1 on Win32: the controls at their twips, their fonts, and their places as the window's size
// changes.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/win32/form1.h"
#include "app/win32/list_report.h"
#include "app/win32/report_list.h"
#include "app/window_texts.h"
#include "platform/text_win32.h"

namespace zrk::app {
namespace {

// The window's client area in twips (1440 to the inch).
constexpr int kClientWidth = 4485;
constexpr int kClientHeight = 2655;
// Label1 is 3735 twips wide and three lines high, and so reaches under the Browse button and the
// report. Its text wraps in the room left of the button and above the report instead.
constexpr RECT kLabel1Room = {120, 120, 3300, 600};

const COLORREF kReportBackground = RGB(64, 64, 64);
constexpr int kReportPoints = 9;
constexpr BYTE kCyrillicCharset = RUSSIAN_CHARSET;  // 204

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring());
}

// The font the system uses for message boxes: what a window of this system shows by default.
LOGFONTW DefaultFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  return font;
}

}  // namespace

int Form1::X(int twips) const { return ::MulDiv(twips, dpi_x_, 1440); }
int Form1::Y(int twips) const { return ::MulDiv(twips, dpi_y_, 1440); }

SIZE Form1::ClientSize() const { return {X(kClientWidth), Y(kClientHeight)}; }

HWND Form1::CreateControl(HINSTANCE instance, const wchar_t* window_class, std::string_view text,
                          DWORD style, DWORD ex_style, const Anchor& place, int id) {
  const std::wstring wide = Wide(text);
  const HWND control =
      ::CreateWindowExW(ex_style, window_class, wide.c_str(), WS_CHILD | WS_VISIBLE | style,
                        X(place.left), Y(place.top), X(place.width), Y(place.height), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(window_font_), FALSE);
  anchors_.push_back(place);
  anchors_.back().control = control;
  return control;
}

void Form1::CreateControls(HINSTANCE instance) {
  LOGFONTW font = DefaultFont();
  window_font_ = ::CreateFontIndirectW(&font);

  LOGFONTW report{};
  report.lfHeight = -::MulDiv(kReportPoints, dpi_y_, 72);
  report.lfWeight = FW_NORMAL;
  report.lfCharSet = kCyrillicCharset;
  report.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  ::lstrcpynW(report.lfFaceName, L"Courier New", LF_FACESIZE);
  report_font_ = ::CreateFontIndirectW(&report);
  report_brush_ = ::CreateSolidBrush(kReportBackground);

  // Created in tab order, which is also the order the dialog navigation moves the focus in:
  // Browse, the report, Exit. The labels and the progress never take the focus.
  Command1 =
      CreateControl(instance, L"BUTTON", window_texts::kBrowseCaption, WS_TABSTOP | BS_PUSHBUTTON,
                    0, {nullptr, 3360, 120, 975, 375, true, false, false, false}, kCommand1Id);
  // Several lines may be selected, for copying; the list scrolls sideways to its widest line.
  List1 = CreateControl(instance, L"LISTBOX", "",
                        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT |
                            LBS_HASSTRINGS | LBS_EXTENDEDSEL,
                        WS_EX_CLIENTEDGE, {nullptr, 120, 600, 4215, 1380, false, false, true, true},
                        kList1Id);
  ::SendMessageW(List1, WM_SETFONT, reinterpret_cast<WPARAM>(report_font_), FALSE);
  report_list_ = std::make_unique<ReportList>(List1);
  Command2 =
      CreateControl(instance, L"BUTTON", window_texts::kExitCaption, WS_TABSTOP | BS_PUSHBUTTON, 0,
                    {nullptr, 3360, 2160, 975, 375, true, true, false, false}, kCommand2Id);
  Label1 = CreateControl(
      instance, L"STATIC", window_texts::kInstruction, SS_LEFT | SS_NOPREFIX, 0,
      {nullptr, kLabel1Room.left, kLabel1Room.top, kLabel1Room.right - kLabel1Room.left,
       kLabel1Room.bottom - kLabel1Room.top, false, false, true, false},
      kLabel1Id);
  FitLabel1();
  Label2 = CreateControl(instance, L"STATIC", window_texts::kRightsNotice, SS_LEFT | SS_NOPREFIX, 0,
                         {nullptr, 120, 2160, 2130, 195, false, true, false, false}, kLabel2Id);
  CreateProgress(instance);

  Line1[0] = {120, 2040, 4320, 2040, COLOR_BTNSHADOW};
  Line1[1] = {165, 2055, 4325, 2055, COLOR_BTNHIGHLIGHT};
  last_focus_ = Command1;
}

// A long write's progress, over the bottom row left of Exit, in place of the notice; hidden
// until a write lasts.
void Form1::CreateProgress(HINSTANCE instance) {
  progress_text_ =
      CreateControl(instance, L"STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                    {nullptr, 120, 2100, 3120, 240, false, true, true, false}, kProgressTextId);
  progress_bar_ =
      CreateControl(instance, PROGRESS_CLASSW, "", 0, 0,
                    {nullptr, 120, 2370, 3120, 180, false, true, true, false}, kProgressBarId);
  ::ShowWindow(progress_text_, SW_HIDE);
  ::ShowWindow(progress_bar_, SW_HIDE);
}

ProgressControls Form1::Progress() const { return {progress_text_, progress_bar_, Label2}; }

void Form1::FitLabel1() {
  // The instruction needs three lines at the narrow fonts the window was drawn for, and may need
  // more at a larger system font: the font shrinks, half a point at a time, until it fits.
  RECT box{};
  ::GetClientRect(Label1, &box);
  const std::wstring text = Wide(window_texts::kInstruction);
  LOGFONTW font = DefaultFont();
  const int smallest = -::MulDiv(13, dpi_y_, 144);  // 6.5 points
  const HDC dc = ::GetDC(Label1);
  while (true) {
    const HFONT candidate = ::CreateFontIndirectW(&font);
    const HGDIOBJ previous = ::SelectObject(dc, candidate);
    RECT needed = box;
    ::DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    if (needed.bottom <= box.bottom || font.lfHeight >= smallest) {
      label1_font_ = candidate;
      break;
    }
    ::DeleteObject(candidate);
    font.lfHeight += 1;
  }
  ::ReleaseDC(Label1, dc);
  ::SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(label1_font_), FALSE);
}

void Form1::PlaceControls() {
  // The controls keep their places relative to the edges they face; the report takes the rest.
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const SIZE original = ClientSize();
  grown_ = {std::max<LONG>(0, client.right - original.cx),
            std::max<LONG>(0, client.bottom - original.cy)};
  for (const Anchor& anchor : anchors_) {
    const int dx = grown_.cx, dy = grown_.cy;
    ::SetWindowPos(anchor.control, nullptr, X(anchor.left) + (anchor.move_x ? dx : 0),
                   Y(anchor.top) + (anchor.move_y ? dy : 0),
                   X(anchor.width) + (anchor.grow_x ? dx : 0),
                   Y(anchor.height) + (anchor.grow_y ? dy : 0), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The separator is painted by the window itself, where it now is; a label that grew would
  // leave its text's old lines behind.
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::PaintLines(HDC dc) const {
  // The separator follows the bottom edge and stretches with the window, as the report does.
  for (const Line& line : Line1) {
    const RECT rect = {X(line.x1), Y(line.y1) + grown_.cy, X(line.x2) + grown_.cx,
                       Y(line.y2) + 1 + grown_.cy};
    ::FillRect(dc, &rect, ::GetSysColorBrush(line.colour));
  }
}

}  // namespace zrk::app

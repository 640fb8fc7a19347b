// The report's list box: whole lines, scrolled sideways, shown whole on hover and copied.
#include "app/win32/report_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/window_texts.h"
#include "platform/text_win32.h"

namespace zrk::app {
namespace {

constexpr wchar_t kReportListProperty[] = L"ZrkReportList";
// Room beside a line's text: the list draws it a pixel or two in from the row's edge.
constexpr int kTextMargin = 4;

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring());
}

// The tooltip's one tool: placed and shown by the list itself (tracked), over the whole list,
// and transparent to the pointer, so that the list under it still follows the pointer. The
// record's older size, which every version of the common controls takes.
TOOLINFOW Tool(HWND list, const wchar_t* text) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
  tool.hwnd = list;
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

LRESULT Send(HWND window, UINT message, WPARAM w_param = 0, LPARAM l_param = 0) {
  return ::SendMessageW(window, message, w_param, l_param);
}

}  // namespace

ReportList::ReportList(HWND list)
    : list_(list),
      list_proc_(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC))),
      measure_dc_(::CreateCompatibleDC(nullptr)) {
  tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(list), nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool = Tool(list_, L"");
  Send(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // A width limit makes the tip break its text at "\n"; a line wider than the screen wraps.
  Send(tip_, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN));
  ::SetPropW(list_, kReportListProperty, this);
  ::SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReportList::ListProc));
}

ReportList::~ReportList() {
  if (::IsWindow(list_)) {
    ::SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_proc_));
    ::RemovePropW(list_, kReportListProperty);
  }
  if (::IsWindow(tip_)) ::DestroyWindow(tip_);
  ::DeleteDC(measure_dc_);
}

ReportList* ReportList::Of(HWND list) {
  return static_cast<ReportList*>(::GetPropW(list, kReportListProperty));
}

void ReportList::Clear() {
  HideTip();
  Send(list_, LB_RESETCONTENT);
  notes_.clear();
  widest_ = 0;
  Send(list_, LB_SETHORIZONTALEXTENT, 0);
}

int ReportList::AddLine(const std::wstring& line) {
  const LRESULT index = Send(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (index < 0) return -1;
  const int width = TextWidth(line) + kTextMargin;
  if (width > widest_) {
    widest_ = width;
    Send(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest_));
  }
  return static_cast<int>(index);
}

int ReportList::TextWidth(const std::wstring& line) {
  // Measured in the font the list draws with, kept selected while it stays the list's font.
  const auto font = reinterpret_cast<HFONT>(Send(list_, WM_GETFONT));
  if (font != measured_font_) {
    ::SelectObject(measure_dc_, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
    measured_font_ = font;
  }
  SIZE size{};
  ::GetTextExtentPoint32W(measure_dc_, line.c_str(), static_cast<int>(line.size()), &size);
  return size.cx;
}

void ReportList::SetNote(int row, std::wstring note) { notes_[row] = std::move(note); }

void ReportList::SelectOnly(int row) {
  Send(list_, LB_SETSEL, FALSE, -1);
  if (row < 0) return;
  Send(list_, LB_SETSEL, TRUE, row);
  Send(list_, LB_SETANCHORINDEX, static_cast<WPARAM>(row));
  // The caret line is scrolled until it is fully in view.
  Send(list_, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
}

std::wstring ReportList::LineAt(int row) const {
  const LRESULT length = Send(list_, LB_GETTEXTLEN, static_cast<WPARAM>(row));
  if (length < 0) return {};
  std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
  Send(list_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(line.data()));
  line.resize(static_cast<std::size_t>(length));
  return line;
}

std::wstring ReportList::TipOf(int row) const {
  if (row < 0 || row >= Send(list_, LB_GETCOUNT)) return {};
  const auto note = notes_.find(row);
  return note == notes_.end() ? LineAt(row) : LineAt(row) + L"\n" + note->second;
}

std::wstring ReportList::SelectedText() const {
  const LRESULT count = Send(list_, LB_GETSELCOUNT);
  if (count <= 0) return {};
  std::vector<int> rows(static_cast<std::size_t>(count));
  rows.resize(static_cast<std::size_t>(std::max<LRESULT>(
      0, Send(list_, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data())))));
  std::sort(rows.begin(), rows.end());
  std::wstring text;
  for (const int row : rows) text += (text.empty() ? L"" : L"\r\n") + LineAt(row);
  return text;
}

std::wstring ReportList::AllText() const {
  std::wstring text;
  for (LRESULT row = 0, count = Send(list_, LB_GETCOUNT); row < count; ++row) {
    if (row > 0) text += L"\r\n";
    text += LineAt(static_cast<int>(row));
  }
  return text;
}

HMENU ReportList::CreateContextMenu() const {
  const HMENU menu = ::CreatePopupMenu();
  const std::wstring copy = Wide(window_texts::kCopyLines) + L"\tCtrl+C";
  const std::wstring copy_all = Wide(window_texts::kCopyAllLines);
  const UINT greyed = Send(list_, LB_GETSELCOUNT) > 0 ? 0 : MF_GRAYED;
  ::AppendMenuW(menu, MF_STRING | greyed, kCopyCommand, copy.c_str());
  ::AppendMenuW(menu, MF_STRING, kCopyAllCommand, copy_all.c_str());
  return menu;
}

void ReportList::ShowContextMenu(LPARAM l_param) {
  POINT at = {GET_X_LPARAM(l_param), GET_Y_LPARAM(l_param)};
  if (l_param == -1) {
    // From the keyboard: under the line with the caret.
    RECT line{};
    Send(list_, LB_GETITEMRECT, static_cast<WPARAM>(Send(list_, LB_GETCARETINDEX)),
         reinterpret_cast<LPARAM>(&line));
    at = {std::max<LONG>(line.left, 0), line.bottom};
    ::ClientToScreen(list_, &at);
  }
  HideTip();
  const HMENU menu = CreateContextMenu();
  // The chosen command comes to the list as WM_COMMAND. No tip covers the open menu.
  menu_open_ = true;
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, list_,
                   nullptr);
  menu_open_ = false;
  ::DestroyMenu(menu);
}

int ReportList::RowAt(POINT point) const {
  RECT client{};
  ::GetClientRect(list_, &client);
  const LRESULT height = Send(list_, LB_GETITEMHEIGHT);
  if (!::PtInRect(&client, point) || height <= 0) return -1;
  // Rows have one height: no item-from-point search, whose answer holds only 16 bits of index.
  const LRESULT row = Send(list_, LB_GETTOPINDEX) + point.y / height;
  return row < Send(list_, LB_GETCOUNT) ? static_cast<int>(row) : -1;
}

void ReportList::ShowTipAt(POINT point) {
  // Not over the context menu, nor under a box or dialog that the window has opened.
  const bool shown = !menu_open_ && ::GetActiveWindow() == ::GetAncestor(list_, GA_ROOT);
  const int row = shown ? RowAt(point) : -1;
  if (row == tip_row_) return;
  HideTip();
  if (row < 0) return;
  const std::wstring tip = TipOf(row);
  TOOLINFOW tool = Tool(list_, tip.c_str());
  Send(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  // Under the line, from the list's left edge.
  RECT line{};
  Send(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&line));
  POINT at = {std::max<LONG>(line.left, 0), line.bottom};
  ::ClientToScreen(list_, &at);
  Send(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  Send(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  tip_row_ = row;
}

void ReportList::HideTip() {
  if (tip_row_ < 0) return;
  TOOLINFOW tool = Tool(list_, nullptr);
  Send(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  tip_row_ = -1;
}

bool ReportList::HandleTipMessage(UINT message, LPARAM l_param) {
  const POINT point = {GET_X_LPARAM(l_param), GET_Y_LPARAM(l_param)};
  switch (message) {
    case WM_MOUSEMOVE:
      // Another line under the pointer: its tip waits until the pointer rests.
      if (RowAt(point) != tip_row_) {
        HideTip();
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, list_, HOVER_DEFAULT};
        ::TrackMouseEvent(&track);
      }
      return false;
    case WM_MOUSEHOVER:
      ShowTipAt(point);
      return true;
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_KILLFOCUS:
      HideTip();
      return false;
    default:
      return false;
  }
}

LRESULT ReportList::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (HandleTipMessage(message, l_param)) return 0;
  switch (message) {
    case WM_KEYDOWN:
      if (w_param == 'C' && ::GetKeyState(VK_CONTROL) < 0) {
        CopyToClipboard(list_, SelectedText());
        return 0;
      }
      break;
    case WM_CHAR:
      // Ctrl+C's character would start the list's search for a line beginning with it.
      if (w_param == 3) return 0;
      break;
    case WM_CONTEXTMENU:
      ShowContextMenu(l_param);
      return 0;
    case WM_COMMAND:
      if (LOWORD(w_param) == kCopyCommand) CopyToClipboard(list_, SelectedText());
      if (LOWORD(w_param) == kCopyAllCommand) CopyToClipboard(list_, AllText());
      return 0;
    default:
      break;
  }
  return ::CallWindowProcW(list_proc_, list_, message, w_param, l_param);
}

LRESULT CALLBACK ReportList::ListProc(HWND list, UINT message, WPARAM w_param, LPARAM l_param) {
  ReportList* box = Of(list);
  if (box == nullptr) return ::DefWindowProcW(list, message, w_param, l_param);
  return box->HandleMessage(message, w_param, l_param);
}

bool CopyToClipboard(HWND owner, const std::wstring& text) {
  if (!::OpenClipboard(owner)) return false;
  ::EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  bool copied = false;
  if (const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* data = ::GlobalLock(memory)) {
      std::memcpy(data, text.c_str(), bytes);
      ::GlobalUnlock(memory);
      copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    // The clipboard owns the memory once it has taken it.
    if (!copied) ::GlobalFree(memory);
  }
  ::CloseClipboard();
  return copied;
}

}  // namespace zrk::app

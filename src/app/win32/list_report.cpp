// The build's report on the main window's list box.
#include "app/win32/list_report.h"

#include <algorithm>

#include "platform/text_win32.h"

namespace zrk::app {
namespace {

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring(L"?"));
}

// Bounds one round of painting, should some window keep its update region.
constexpr int kMostPaints = 64;

// The build keeps the window's thread until it ends: let every window of the program paint, and
// answer what other programs send (the system's are-you-alive pings among them, so the window
// is not shown as hung). Clicks and keys stay queued until a dialog or the message loop runs;
// by then the busy window ignores Browse, Exit and closing.
void PaintAndAnswer() {
  MSG message;
  for (int i = 0;
       i < kMostPaints && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    ::DispatchMessageW(&message);
  }
}

}  // namespace

ListBoxReport::ListBoxReport(HWND list)
    : list_(list), shown_at_(::GetTickCount() - kShowIntervalMs) {}

ListBoxReport::~ListBoxReport() { Show(); }

void ListBoxReport::Clear() {
  ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  lines_ = 0;
  reserved_ = 0;
  pending_selection_.reset();
}

void ListBoxReport::AddLine(const std::string& line) {
  if (!drawing_off_) {
    // A visible list repaints and resets its scroll bar on every added line otherwise.
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    drawing_off_ = true;
  }
  if (lines_ >= reserved_) {
    // Room for as many lines again, so that the list moves its items a few times in a long build
    // rather than every few lines.
    const std::int64_t more = std::max<std::int64_t>(lines_, kFirstReserve);
    ::SendMessageW(list_, LB_INITSTORAGE, static_cast<WPARAM>(more),
                   static_cast<LPARAM>(more * kBytesPerLine));
    reserved_ = lines_ + more;
  }
  const std::wstring text = Wide(line);
  const LRESULT index =
      ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) lines_ = index + 1;  // the list is not sorted: a line goes at its end
  ShowWhenDue();
}

std::int16_t ListBoxReport::LineCount() const { return ClampedLineCount(lines_); }

void ListBoxReport::SetSelectedIndex(std::int16_t index) {
  pending_selection_ = index;
  ShowWhenDue();
}

void ListBoxReport::ShowProgress(const std::string&, std::uint64_t, std::uint64_t) {
  ShowWhenDue();
}

void ListBoxReport::Show() {
  // Selected while the list does not draw, it scrolls once to the line instead of once per line.
  if (pending_selection_) {
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(*pending_selection_), 0);
    pending_selection_.reset();
  }
  if (drawing_off_) {
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    drawing_off_ = false;
    // The scroll bar too was left as it was while drawing was off.
    ::RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
  ::UpdateWindow(list_);
  shown_at_ = ::GetTickCount();
}

void ListBoxReport::ShowWhenDue() {
  // Unsigned, the difference stays right when the tick count wraps after 49.7 days.
  if (::GetTickCount() - shown_at_ < kShowIntervalMs) return;
  Show();
  PaintAndAnswer();
  shown_at_ = ::GetTickCount();
}

}  // namespace zrk::app

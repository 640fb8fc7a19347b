// The build's report on the main window's list box, with the progress of a long write.
#include "app/win32/list_report.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/report_list.h"
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

// figures, then as much of the entry's end as control's width leaves: the file's own name is at
// the end of the entry, and a narrow window leaves out its start.
std::wstring FittedProgress(HWND control, const std::wstring& figures, const std::wstring& entry) {
  if (entry.empty()) return figures;
  RECT box{};
  ::GetClientRect(control, &box);
  const HDC dc = ::GetDC(control);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  const auto width = [dc](const std::wstring& text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  };
  std::wstring text = figures + L", " + entry;
  for (std::size_t cut = 1; cut <= entry.size() && width(text) > box.right; ++cut) {
    text = figures + L", \u2026" + entry.substr(cut);
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(control, dc);
  return text;
}

void ShowControl(HWND control, bool shown) {
  if (control != nullptr) ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

ListBoxReport::ListBoxReport(ReportList& list, ProgressControls progress)
    : list_(list),
      list_window_(list.hwnd()),
      progress_(progress),
      shown_at_(::GetTickCount() - kShowIntervalMs) {}

ListBoxReport::~ListBoxReport() { Show(); }

void ListBoxReport::Clear() {
  list_.Clear();
  lines_ = 0;
  reserved_ = 0;
  pending_selection_.reset();
}

void ListBoxReport::AddLine(const std::string& line) {
  if (!drawing_off_) {
    // A visible list repaints and resets its scroll bar on every added line otherwise.
    ::SendMessageW(list_window_, WM_SETREDRAW, FALSE, 0);
    drawing_off_ = true;
  }
  if (lines_ >= reserved_) {
    // Room for as many lines again, so that the list moves its items a few times in a long build
    // rather than every few lines.
    const std::int64_t more = std::max<std::int64_t>(lines_, kFirstReserve);
    ::SendMessageW(list_window_, LB_INITSTORAGE, static_cast<WPARAM>(more),
                   static_cast<LPARAM>(more * kBytesPerLine));
    reserved_ = lines_ + more;
  }
  const int index = list_.AddLine(Wide(line));
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

void ListBoxReport::NoteLastLine(const std::string& note) {
  if (lines_ > 0) list_.SetNote(static_cast<int>(lines_ - 1), Wide(note));
}

void ListBoxReport::ShowWriteProgress(const std::string& figures, const std::string& entry,
                                      std::uint64_t written, std::uint64_t total) {
  constexpr int kSteps = 1000;  // a bar counts in int: per mille of the total
  if (progress_.text != nullptr) {
    const std::wstring text = FittedProgress(progress_.text, Wide(figures), Wide(entry));
    ::SetWindowTextW(progress_.text, text.c_str());
  }
  if (progress_.bar != nullptr) {
    ::SendMessageW(progress_.bar, PBM_SETRANGE32, 0, kSteps);
    ::SendMessageW(
        progress_.bar, PBM_SETPOS,
        total == 0 ? kSteps : static_cast<WPARAM>(std::min(written, total) * kSteps / total), 0);
  }
  ShowControl(progress_.covered, false);
  ShowControl(progress_.text, true);
  ShowControl(progress_.bar, true);
  ShowAndPaint();
}

void ListBoxReport::HideWriteProgress() {
  ShowControl(progress_.text, false);
  ShowControl(progress_.bar, false);
  ShowControl(progress_.covered, true);
}

void ListBoxReport::StayResponsive() { ShowAndPaint(); }

void ListBoxReport::Show() {
  // Selected while the list does not draw, it scrolls once to the line instead of once per line.
  if (pending_selection_) {
    list_.SelectOnly(*pending_selection_);
    pending_selection_.reset();
  }
  if (drawing_off_) {
    ::SendMessageW(list_window_, WM_SETREDRAW, TRUE, 0);
    drawing_off_ = false;
    // The scroll bars too were left as they were while drawing was off.
    ::RedrawWindow(list_window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
  ::UpdateWindow(list_window_);
  shown_at_ = ::GetTickCount();
}

void ListBoxReport::ShowWhenDue() {
  // Unsigned, the difference stays right when the tick count wraps after 49.7 days.
  if (::GetTickCount() - shown_at_ < kShowIntervalMs) return;
  ShowAndPaint();
}

void ListBoxReport::ShowAndPaint() {
  Show();
  PaintAndAnswer();
  shown_at_ = ::GetTickCount();
}

}  // namespace zrk::app

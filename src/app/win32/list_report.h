// The build's report on the main window's LISTBOX control, with the progress of a long write.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/window_report.h"

namespace zrk::app {

class ReportList;

/// Where the window shows a long write's progress: a static text and a progress bar, shown over
/// the window's bottom row in place of covered while the write lasts. Any may be null.
struct ProgressControls {
  HWND text = nullptr;
  HWND bar = nullptr;
  HWND covered = nullptr;
};

/// Report operations as list box messages: LB_RESETCONTENT, LB_ADDSTRING and a selection of one
/// line scrolled into view. Each costs the same at line 20,000 as at line 10: lines go into the
/// list while its drawing is switched off, its storage grows in large steps, and the list is
/// shown (the last selection applied, the list repainted) at a human rate, every kShowIntervalMs,
/// and whenever Show is called. At each showing the program's windows paint and answer the
/// system, while user input waits in the queue.
class ListBoxReport : public WindowReportList {
 public:
  explicit ListBoxReport(ReportList& list, ProgressControls progress = {});
  /// Shows whatever is not shown yet.
  ~ListBoxReport() override;
  ListBoxReport(const ListBoxReport&) = delete;
  ListBoxReport& operator=(const ListBoxReport&) = delete;

  void Clear() override;
  /// Adds the line as UTF-16 text, so that it shows the same under any code page.
  void AddLine(const std::string& line) override;
  /// The number of lines the list holds, held at 32767 when the list grows longer.
  std::int16_t LineCount() const override;
  /// Makes the line at index the one selected line.
  void SetSelectedIndex(std::int16_t index) override;
  /// Lets the window repaint now and then during a long write.
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) override;

  void NoteLastLine(const std::string& note) override;
  /// The figures whole, then as much of the entry's end as the text's width leaves.
  void ShowWriteProgress(const std::string& figures, const std::string& entry,
                         std::uint64_t written, std::uint64_t total) override;
  void HideWriteProgress() override;
  void StayResponsive() override;

  /// Applies the last selection and repaints the list now. Call before anything modal takes the
  /// screen, so that the user sees the whole report beside it.
  void Show();

  static constexpr DWORD kShowIntervalMs = 50;

 private:
  static constexpr std::int64_t kFirstReserve = 256;
  static constexpr std::int64_t kBytesPerLine = 128;  // about 60 UTF-16 characters

  // Shows the list and lets the window paint, once kShowIntervalMs has passed.
  void ShowWhenDue();
  // Shows the list and lets the window paint now.
  void ShowAndPaint();

  ReportList& list_;
  HWND list_window_;
  ProgressControls progress_;
  std::int64_t lines_ = 0;     // what the list holds
  std::int64_t reserved_ = 0;  // lines the list has storage for
  std::optional<std::int16_t> pending_selection_;
  bool drawing_off_ = false;
  DWORD shown_at_;  // GetTickCount of the last showing
};

}  // namespace zrk::app

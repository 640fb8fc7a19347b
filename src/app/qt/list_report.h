// The build's report on the main window's list box, with the progress of a long write.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTimer>

#include "app/qt/report_list.h"
#include "app/window_report.h"

class QLabel;
class QProgressBar;

namespace zrk::app {

/// Where the window shows a long write's progress: a text and a bar, shown over the window's
/// bottom row in place of covered while the write lasts. Any may be null.
struct ProgressWidgets {
  QLabel* text = nullptr;
  QProgressBar* bar = nullptr;
  QWidget* covered = nullptr;
};

/// Report operations on a ReportList: clear, add at the end, count, select and scroll to a line.
/// Each costs the same at line 20,000 as at line 10: lines, notes and the selection are gathered
/// and handed to the list at a human rate (every kShowInterval, and whenever the event loop runs,
/// as it does under a message box or dialog), and the list lays out uniform rows. Between two
/// handovers the window repaints and answers the desktop while user input waits.
class ListReport : public WindowReportList {
 public:
  explicit ListReport(ReportList* list, ProgressWidgets progress = {});
  /// Shows whatever is still gathered.
  ~ListReport() override;
  ListReport(const ListReport&) = delete;
  ListReport& operator=(const ListReport&) = delete;

  void Clear() override;
  void AddLine(const std::string& line) override;
  /// The count as a list box reports it, held at 32767 when the list grows longer.
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

  /// Hands the gathered lines, notes and selection to the list now.
  void Show();

  static constexpr int kShowIntervalMs = 50;

 private:
  // Shows what is gathered and lets the window paint, once kShowIntervalMs has passed.
  void ShowWhenDue();
  // Shows what is gathered and lets the window paint and answer the desktop, not the user.
  void ShowAndPaint();

  ReportList* list_;
  ProgressWidgets progress_;
  QStringList pending_lines_;
  QList<QPair<int, QString>> pending_notes_;  // row, note
  int pending_selection_ = -1;
  QElapsedTimer since_shown_;
  QTimer show_soon_;  // fires when the event loop next runs
  bool showing_ = false;
};

}  // namespace zrk::app

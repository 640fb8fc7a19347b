// The build's report on the main window's list box.
#pragma once

#include <QElapsedTimer>
#include <QListWidget>
#include <QStringList>
#include <QTimer>

#include "assembly/build_driver.h"

namespace zrk::app {

/// Report operations on a QListWidget: clear, add at the end, count, select and scroll to a line.
/// Each costs the same at line 20,000 as at line 10: lines and the selection are gathered and
/// handed to the list at a human rate (every kShowInterval, and whenever the event loop runs, as
/// it does under a message box or dialog), and the list lays out uniform rows. Between two
/// handovers the window repaints and answers the desktop while user input waits.
class ListReport : public Report {
 public:
  explicit ListReport(QListWidget* list);
  /// Shows whatever is still gathered.
  ~ListReport() override;
  ListReport(const ListReport&) = delete;
  ListReport& operator=(const ListReport&) = delete;

  void Clear() override;
  void AddLine(const std::string& line) override;
  /// The count as a list box reports it, held at 32767 when the list grows longer.
  std::int16_t LineCount() const override;
  void SetSelectedIndex(std::int16_t index) override;
  /// Lets the window repaint now and then during a long write.
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) override;

  /// Hands the gathered lines and selection to the list now.
  void Show();

  static constexpr int kShowIntervalMs = 50;

 private:
  // Shows what is gathered and lets the window paint, once kShowIntervalMs has passed.
  void ShowWhenDue();

  QListWidget* list_;
  QStringList pending_lines_;
  int pending_selection_ = -1;
  QElapsedTimer since_shown_;
  QTimer show_soon_;  // fires when the event loop next runs
  bool showing_ = false;
};

}  // namespace zrk::app

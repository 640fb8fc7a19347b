// The report's list box: whole lines, scrolled sideways, shown whole on hover and copied.
#pragma once

#include <QListWidget>
#include <QStringList>

namespace zrk::app {

/// A list of report lines that never cuts one: its rows are as wide as the widest line (measured
/// once, as it is added, so that rows keep one size and a long report lays out at once) and the
/// list scrolls sideways. The pointer resting on a line shows it whole, with its note; Ctrl+C and
/// the context menu copy the selected lines or all of them.
class ReportList : public QListWidget {
  Q_OBJECT

 public:
  explicit ReportList(QWidget* parent);

  /// Adds lines at the end.
  void AddLines(const QStringList& lines);
  /// Removes every line.
  void ClearLines();
  /// Attaches note to the line at row.
  void SetNote(int row, const QString& note);
  /// What the pointer resting on row shows: the whole line, and under it its note if it has one.
  QString TipOf(int row) const;
  /// The selected lines in report order, or all of them, one a line.
  QString SelectedText() const;
  QString AllText() const;

 protected:
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class WidestDelegate;
  WidestDelegate* delegate_;
};

}  // namespace zrk::app

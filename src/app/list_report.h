// The build's report on the main window's list box.
#pragma once

#include <QListWidget>

#include "assembly/build_driver.h"

namespace zrk::app {

/// Report operations on a QListWidget: clear, add at the end, count, select and scroll to a line.
class ListReport : public Report {
 public:
  explicit ListReport(QListWidget* list) : list_(list) {}
  void Clear() override;
  void AddLine(const std::string& line) override;
  /// The count as a list box reports it, held at 32767 when the list grows longer.
  std::int16_t LineCount() const override;
  void SetSelectedIndex(std::int16_t index) override;

 private:
  QListWidget* list_;
};

}  // namespace zrk::app

// The build's report on the main window's list box.
#include "app/list_report.h"


namespace zrk::app {

void ListReport::Clear() { list_->clear(); }

void ListReport::AddLine(const std::string& line) {
  list_->addItem(QString::fromStdString(line));
}

std::int16_t ListReport::LineCount() const {
  return ClampedLineCount(list_->count());
}

void ListReport::SetSelectedIndex(std::int16_t index) {
  list_->setCurrentRow(index);
  if (QListWidgetItem* item = list_->item(index)) list_->scrollToItem(item);
  // The build does not yield to the window while it works; paint the new line now so that the
  // report runs along with the build.
  list_->repaint();
}

}  // namespace zrk::app

// The build's report on the main window's list box.
#include "app/qt/list_report.h"

#include <QCoreApplication>

namespace zrk::app {

ListReport::ListReport(QListWidget* list) : list_(list) {
  // Rows of one height let the list place row n without measuring rows 0 to n-1.
  list_->setUniformItemSizes(true);
  show_soon_.setSingleShot(true);
  show_soon_.setInterval(0);
  QObject::connect(&show_soon_, &QTimer::timeout, list_, [this] { Show(); });
  since_shown_.start();
}

ListReport::~ListReport() { Show(); }

void ListReport::Clear() {
  pending_lines_.clear();
  pending_selection_ = -1;
  list_->clear();
}

void ListReport::AddLine(const std::string& line) {
  pending_lines_.append(QString::fromStdString(line));
  ShowWhenDue();
}

std::int16_t ListReport::LineCount() const {
  return ClampedLineCount(static_cast<std::int64_t>(list_->count()) + pending_lines_.size());
}

void ListReport::SetSelectedIndex(std::int16_t index) {
  pending_selection_ = index;
  ShowWhenDue();
}

void ListReport::ShowProgress(const std::string&, std::uint64_t, std::uint64_t) { ShowWhenDue(); }

void ListReport::Show() {
  show_soon_.stop();
  if (!pending_lines_.isEmpty()) {
    list_->addItems(pending_lines_);  // one insertion, one layout, however many lines
    pending_lines_.clear();
  }
  if (pending_selection_ >= 0) {
    list_->setCurrentRow(pending_selection_);
    if (QListWidgetItem* item = list_->item(pending_selection_)) list_->scrollToItem(item);
    pending_selection_ = -1;
  }
  since_shown_.restart();
}

void ListReport::ShowWhenDue() {
  if (!show_soon_.isActive()) show_soon_.start();
  if (showing_ || since_shown_.elapsed() < kShowIntervalMs) return;
  showing_ = true;
  Show();
  // The build keeps the window's thread until it ends: let the window paint and answer the
  // desktop's are-you-alive pings, but hold back clicks and keys until the build is over.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  showing_ = false;
}

}  // namespace zrk::app

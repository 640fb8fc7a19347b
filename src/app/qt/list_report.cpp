// The build's report on the main window's list box, with the progress of a long write.
#include "app/qt/list_report.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace zrk::app {

ListReport::ListReport(ReportList* list, ProgressWidgets progress)
    : list_(list), progress_(progress) {
  show_soon_.setSingleShot(true);
  show_soon_.setInterval(0);
  QObject::connect(&show_soon_, &QTimer::timeout, list_, [this] { Show(); });
  since_shown_.start();
}

ListReport::~ListReport() { Show(); }

void ListReport::Clear() {
  pending_lines_.clear();
  pending_notes_.clear();
  pending_selection_ = -1;
  list_->ClearLines();
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

void ListReport::NoteLastLine(const std::string& note) {
  const int row = static_cast<int>(list_->count() + pending_lines_.size()) - 1;
  if (row >= 0) pending_notes_.append({row, QString::fromStdString(note)});
}

void ListReport::ShowWriteProgress(const std::string& figures, const std::string& entry,
                                   std::uint64_t written, std::uint64_t total) {
  constexpr int kSteps = 1000;  // a bar counts in int: per mille of the total
  if (progress_.text != nullptr) {
    QString text = QString::fromStdString(figures);
    if (!entry.empty()) {
      // The file's own name is at the end of the entry: a narrow window leaves out its start.
      text += ", ";
      const QFontMetrics metrics = progress_.text->fontMetrics();
      text += metrics.elidedText(QString::fromStdString(entry), Qt::ElideLeft,
                                 progress_.text->width() - metrics.horizontalAdvance(text));
    }
    progress_.text->setText(text);
    progress_.text->show();
  }
  if (progress_.bar != nullptr) {
    progress_.bar->setRange(0, kSteps);
    progress_.bar->setValue(
        total == 0 ? kSteps : static_cast<int>(std::min(written, total) * kSteps / total));
    progress_.bar->show();
  }
  if (progress_.covered != nullptr) progress_.covered->hide();
  ShowAndPaint();
}

void ListReport::HideWriteProgress() {
  if (progress_.text != nullptr) progress_.text->hide();
  if (progress_.bar != nullptr) progress_.bar->hide();
  if (progress_.covered != nullptr) progress_.covered->show();
}

void ListReport::StayResponsive() { ShowAndPaint(); }

void ListReport::Show() {
  show_soon_.stop();
  if (!pending_lines_.isEmpty()) {
    list_->AddLines(pending_lines_);
    pending_lines_.clear();
  }
  for (const auto& [row, note] : pending_notes_) list_->SetNote(row, note);
  pending_notes_.clear();
  if (pending_selection_ >= 0) {
    // Selecting adds to the selection in a list of several: the build's line is the only one.
    list_->setCurrentRow(pending_selection_, QItemSelectionModel::ClearAndSelect);
    if (QListWidgetItem* item = list_->item(pending_selection_)) list_->scrollToItem(item);
    pending_selection_ = -1;
  }
  since_shown_.restart();
}

void ListReport::ShowWhenDue() {
  if (!show_soon_.isActive()) show_soon_.start();
  if (showing_ || since_shown_.elapsed() < kShowIntervalMs) return;
  ShowAndPaint();
}

void ListReport::ShowAndPaint() {
  if (showing_) return;
  showing_ = true;
  Show();
  // The build keeps the window's thread until it ends: let the window paint and answer the
  // desktop's are-you-alive pings, but hold back clicks and keys until the build is over.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  showing_ = false;
}

}  // namespace zrk::app

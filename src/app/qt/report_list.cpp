// The report's list box: whole lines, scrolled sideways, shown whole on hover and copied.
#include "app/qt/report_list.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>

#include "app/window_texts.h"

namespace zrk::app {
namespace {

constexpr int kNoteRole = Qt::UserRole;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

// Gives every row the width of the widest line: the list asks one row's size for all of them.
class ReportList::WidestDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void Widen(int text_width) { widest_ = std::max(widest_, text_width); }
  void Reset() { widest_ = 0; }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // The row's margins beside its text, then the widest text.
    const int margins =
        size.width() - option.fontMetrics.horizontalAdvance(index.data().toString());
    size.setWidth(std::max(size.width(), widest_ + margins));
    return size;
  }

 private:
  int widest_ = 0;
};

ReportList::ReportList(QWidget* parent) : QListWidget(parent), delegate_(new WidestDelegate(this)) {
  setItemDelegate(delegate_);
  // Rows of one height let the list place row n without measuring rows 0 to n-1.
  setUniformItemSizes(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setSelectionMode(QAbstractItemView::ExtendedSelection);

  auto* copy = new QAction(Text(window_texts::kCopyLines) + '\t' +
                               QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText),
                           this);
  auto* copy_all = new QAction(Text(window_texts::kCopyAllLines), this);
  connect(copy, &QAction::triggered, this,
          [this] { QGuiApplication::clipboard()->setText(SelectedText()); });
  connect(copy_all, &QAction::triggered, this,
          [this] { QGuiApplication::clipboard()->setText(AllText()); });
  addAction(copy);
  addAction(copy_all);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ReportList::AddLines(const QStringList& lines) {
  const QFontMetrics metrics = fontMetrics();
  for (const QString& line : lines) delegate_->Widen(metrics.horizontalAdvance(line));
  addItems(lines);  // one insertion, one layout, however many lines
}

void ReportList::ClearLines() {
  clear();
  delegate_->Reset();
}

void ReportList::SetNote(int row, const QString& note) {
  if (QListWidgetItem* line = item(row)) line->setData(kNoteRole, note);
}

QString ReportList::TipOf(int row) const {
  const QListWidgetItem* line = item(row);
  if (line == nullptr) return {};
  const QString note = line->data(kNoteRole).toString();
  return note.isEmpty() ? line->text() : line->text() + '\n' + note;
}

QString ReportList::SelectedText() const {
  QList<int> rows;
  for (const QModelIndex& index : selectedIndexes()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  QStringList lines;
  for (const int row : rows) lines << item(row)->text();
  return lines.join('\n');
}

QString ReportList::AllText() const {
  QStringList lines;
  for (int row = 0; row < count(); ++row) lines << item(row)->text();
  return lines.join('\n');
}

bool ReportList::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QListWidget::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex index = indexAt(help->pos());
  if (!index.isValid()) {
    QToolTip::hideText();
    return true;
  }
  QString tip = TipOf(index.row());
  // A line is shown as it is, never read as markup; a plain tip is not wrapped either.
  if (Qt::mightBeRichText(tip)) {
    tip = "<p style='white-space:pre'>" + tip.toHtmlEscaped().replace('\n', "<br>") + "</p>";
  }
  QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
  return true;
}

void ReportList::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(SelectedText());
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace zrk::app

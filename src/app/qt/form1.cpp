// Form1: the program's one window.
#include "app/qt/form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "app/qt/list_report.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/report_font.h"
#include "app/window_actions.h"
#include "app/window_texts.h"
#include "assembly/build_driver.h"
#include "assembly/texts.h"

namespace zrk::app {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Positions and sizes in pixels: the window's twips divided by 15.
constexpr int kClientWidth = 299;
constexpr int kClientHeight = 177;

// Shrinks label's font, a half point at a time, until its wrapped text fits the label's box: the
// instruction has three lines' room at the narrow fonts the window was drawn for, and less at
// today's larger default fonts.
void FitTextToBox(QLabel* label) {
  constexpr double kSmallestPointSize = 6.5;
  QFont font = label->font();
  const QRect box(QPoint(0, 0), label->size());
  while (font.pointSizeF() > kSmallestPointSize &&
         QFontMetrics(font).boundingRect(box, Qt::TextWordWrap, label->text()).height() >
             box.height()) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  label->setFont(font);
}

// The one project file a drag carries, or "" when it carries anything else.
QString DraggedProject(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile() || !url.toLocalFile().endsWith(".zrp", Qt::CaseInsensitive)) return {};
  return url.toLocalFile();
}

}  // namespace

Form1::Form1(MessageBoxes* boxes)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      boxes_(boxes) {
  if (boxes_ == nullptr) {
    own_boxes_ = std::make_unique<QtMessageBoxes>();
    boxes_ = own_boxes_.get();
  }
  setObjectName("Form1");
  setWindowTitle(Text(texts::kApplicationTitle));
  setWindowIcon(QIcon(":/zrk-builder.xpm"));
  setFixedSize(kClientWidth, kClientHeight);

  // The label would reach under the Browse button; it wraps in the room to its left instead.
  Label1 = new QLabel(Text(window_texts::kInstruction), this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setGeometry(8, 8, 212, 32);
  FitTextToBox(Label1);

  Command1 = new QPushButton(Text(window_texts::kBrowseCaption), this);
  Command1->setObjectName("Command1");
  Command1->setGeometry(224, 8, 65, 25);

  List1 = new QListWidget(this);
  List1->setObjectName("List1");
  List1->setGeometry(8, 40, 281, 92);
  List1->setSortingEnabled(false);
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  List1->setFont(ReportFont());
  QPalette report_colours = List1->palette();
  report_colours.setColor(QPalette::Base, QColor(64, 64, 64));
  report_colours.setColor(QPalette::Text, QColor(0, 255, 0));
  List1->setPalette(report_colours);

  // An etched separator: a shadow line with a highlight line one pixel below it.
  const std::array<QRect, 2> line_geometry = {QRect(8, 136, 281, 1), QRect(11, 137, 278, 1)};
  const std::array<QPalette::ColorRole, 2> line_roles = {QPalette::Dark, QPalette::Light};
  for (std::size_t i = 0; i < Line1.size(); ++i) {
    Line1[i] = new QFrame(this);
    Line1[i]->setObjectName(QString("Line1_%1").arg(i));
    Line1[i]->setGeometry(line_geometry[i]);
    Line1[i]->setBackgroundRole(line_roles[i]);
    Line1[i]->setAutoFillBackground(true);
  }

  Command2 = new QPushButton(Text(window_texts::kExitCaption), this);
  Command2->setObjectName("Command2");
  Command2->setGeometry(224, 144, 65, 25);

  Label2 = new QLabel(Text(window_texts::kRightsNotice), this);
  Label2->setObjectName("Label2");
  Label2->setGeometry(8, 144, 142, 13);

  for (QPushButton* button : {Command1, Command2}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  Label1->setFocusPolicy(Qt::NoFocus);
  Label2->setFocusPolicy(Qt::NoFocus);
  setTabOrder(Command1, List1);
  setTabOrder(List1, Command2);
  Command1->setFocus();

  setAcceptDrops(true);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

Form1::~Form1() = default;

void Form1::CenterOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void Form1::closeEvent(QCloseEvent* event) {
  // A running build still owns the report and the shared dialog: the window stays until it ends.
  if (busy_) {
    event->ignore();
    return;
  }
  event->accept();
}

void Form1::Command1_Click() {
  BrowseAndBuild(busy_, *boxes_, [this](const std::string& path) { BuildPackage(path); });
}

void Form1::OpenProject(const QString& project_path) {
  const std::string path =
      QDir::toNativeSeparators(QFileInfo(project_path).absoluteFilePath()).toStdString();
  OpenAndBuild(busy_, path, [this](const std::string& project) { BuildPackage(project); });
}

void Form1::keyPressEvent(QKeyEvent* event) {
  auto* button = qobject_cast<QPushButton*>(focusWidget());
  if (button != nullptr && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    button->animateClick();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && !DraggedProject(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const QString project = DraggedProject(event->mimeData());
  if (busy_ || project.isEmpty()) return;
  event->acceptProposedAction();
  // The drag ends before the build starts, so that the file manager is not kept waiting.
  QTimer::singleShot(0, this, [this, project] { OpenProject(project); });
}

void Form1::Command2_Click() {
  if (busy_) return;
  close();
}

void Form1::BuildPackage(const std::string& project_path) {
  ListReport report(List1);
  zrk::BuildPackage(project_path, report, *boxes_);
}

}  // namespace zrk::app

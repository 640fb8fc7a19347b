// Form1: the program's one window.
#include "app/qt/form1.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/qt/list_report.h"
#include "app/qt/native_names.h"
#include "app/qt/qt_dialog_platform.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/report_font.h"
#include "app/qt/report_list.h"
#include "app/window_actions.h"
#include "app/window_report.h"
#include "app/window_texts.h"
#include "assembly/build_driver.h"
#include "assembly/texts.h"
#include "platform/native_path.h"

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

// Whether name ends in suffix, ASCII letters in either case.
bool EndsWith(const std::string& name, std::string_view suffix) {
  return QByteArray::fromStdString(name).toLower().endsWith(
      QByteArray(suffix.data(), static_cast<int>(suffix.size())));
}

// The one project file, package or folder a drag carries, as the system names it, or "" when it
// carries anything else.
std::string DraggedPath(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const std::string path = LocalFileBytes(data->urls().first());
  std::error_code ec;
  const bool opens = EndsWith(path, ".zrp") || EndsWith(path, texts::kPackageExtension) ||
                     std::filesystem::is_directory(platform::PathFromUtf8(path), ec);
  return path.empty() || !opens ? std::string() : path;
}

}  // namespace

Form1::Form1(MessageBoxes* boxes)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint),
      boxes_(boxes),
      choose_folder_(ChooseFolderInDialog) {
  if (boxes_ == nullptr) {
    own_boxes_ = std::make_unique<QtMessageBoxes>();
    boxes_ = own_boxes_.get();
  }
  setObjectName("Form1");
  setWindowTitle(Text(texts::kApplicationTitle));
  setWindowIcon(QIcon(":/zrk-builder.xpm"));
  setMinimumSize(kClientWidth, kClientHeight);
  resize(kClientWidth, kClientHeight);
  CreateControls();
  CreateProgress();
  PlaceControls();
  FitTextToBox(Label1);

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

void Form1::CreateControls() {
  // The label would reach under the Browse button; it wraps in the room to its left instead.
  Label1 = new QLabel(Text(window_texts::kInstruction), this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  anchors_.push_back({Label1, QRect(8, 8, 212, 32), false, false, true, false});

  Command1 = new QPushButton(Text(window_texts::kBrowseCaption), this);
  Command1->setObjectName("Command1");
  anchors_.push_back({Command1, QRect(224, 8, 65, 25), true, false, false, false});

  List1 = new ReportList(this);
  List1->setObjectName("List1");
  List1->setSortingEnabled(false);
  List1->setFont(ReportFont());
  QPalette report_colours = List1->palette();
  report_colours.setColor(QPalette::Base, QColor(64, 64, 64));
  report_colours.setColor(QPalette::Text, QColor(0, 255, 0));
  List1->setPalette(report_colours);
  anchors_.push_back({List1, QRect(8, 40, 281, 92), false, false, true, true});

  // An etched separator: a shadow line with a highlight line one pixel below it.
  const std::array<QRect, 2> line_geometry = {QRect(8, 136, 281, 1), QRect(11, 137, 278, 1)};
  const std::array<QPalette::ColorRole, 2> line_roles = {QPalette::Dark, QPalette::Light};
  for (std::size_t i = 0; i < Line1.size(); ++i) {
    Line1[i] = new QFrame(this);
    Line1[i]->setObjectName(QString("Line1_%1").arg(i));
    Line1[i]->setBackgroundRole(line_roles[i]);
    Line1[i]->setAutoFillBackground(true);
    anchors_.push_back({Line1[i], line_geometry[i], false, true, true, false});
  }

  Command2 = new QPushButton(Text(window_texts::kExitCaption), this);
  Command2->setObjectName("Command2");
  anchors_.push_back({Command2, QRect(224, 144, 65, 25), true, true, false, false});

  Label2 = new QLabel(Text(window_texts::kRightsNotice), this);
  Label2->setObjectName("Label2");
  anchors_.push_back({Label2, QRect(8, 144, 142, 13), false, true, false, false});
}

// A long write's progress, over the bottom row left of Exit, in place of the notice.
void Form1::CreateProgress() {
  progress_text_ = new QLabel(this);
  progress_text_->setObjectName("ProgressText");
  progress_text_->setTextFormat(Qt::PlainText);
  progress_text_->hide();
  anchors_.push_back({progress_text_, QRect(8, 140, 208, 16), false, true, true, false});
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName("ProgressBar");
  progress_bar_->setTextVisible(false);
  progress_bar_->hide();
  anchors_.push_back({progress_bar_, QRect(8, 158, 208, 12), false, true, true, false});
}

void Form1::PlaceControls() {
  // The controls keep their places relative to the edges they face; the report takes the rest.
  const int grown_x = std::max(0, width() - kClientWidth);
  const int grown_y = std::max(0, height() - kClientHeight);
  for (const Anchor& anchor : anchors_) {
    QRect place = anchor.original;
    place.translate(anchor.move_x ? grown_x : 0, anchor.move_y ? grown_y : 0);
    place.setSize(place.size() + QSize(anchor.grow_x ? grown_x : 0, anchor.grow_y ? grown_y : 0));
    anchor.control->setGeometry(place);
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  PlaceControls();
  QWidget::resizeEvent(event);
}

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

void Form1::Open(const std::string& given) {
  OpenGiven(
      busy_, given, *boxes_, [this](const std::string& project) { BuildPackage(project); },
      [this](const std::string& package) { ShowPackage(package); });
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
  if (!busy_ && !DraggedPath(event->mimeData()).empty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const std::string path = DraggedPath(event->mimeData());
  if (busy_ || path.empty()) return;
  event->acceptProposedAction();
  // The drag ends before the build starts, so that the file manager is not kept waiting.
  QTimer::singleShot(0, this, [this, path] { Open(path); });
}

void Form1::Command2_Click() {
  if (busy_) return;
  close();
}

void Form1::BuildPackage(const std::string& project_path) {
  ListReport list(List1, {progress_text_, progress_bar_, Label2});
  WindowBuildReport report(list, project_path);
  zrk::BuildPackage(project_path, report, *boxes_);
}

void Form1::ShowPackage(const std::string& package_path) {
  ListReport list(List1, {progress_text_, progress_bar_, Label2});
  app::ShowPackage(package_path, list, *boxes_, choose_folder_);
}

}  // namespace zrk::app

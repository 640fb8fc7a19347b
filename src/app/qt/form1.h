// Form1: the program's one window, with the report, the Browse and Exit buttons and the labels.
#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/package_view.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace zrk {
class MessageBoxes;
}

namespace zrk::app {

class ReportList;

/// The main window: Browse chooses a project and runs its build into the report; Exit ends the
/// program. While a build runs, Browse and Exit do nothing and the window refuses to close. It
/// opens at its original size, which is also its smallest; the report grows with it.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  /// Builds the window and its controls. boxes answers the build's message boxes (the Qt message
  /// boxes when null); tests pass a fake.
  explicit Form1(MessageBoxes* boxes = nullptr);
  ~Form1() override;

  /// Places the window in the middle of its screen's available area.
  void CenterOnScreen();

  /// Whether a Browse click (its open dialog or its build) or an opened package is under way.
  bool busy() const { return busy_; }

  /// Opens what given names (bytes as the system gave them, as on the command line or in a drop):
  /// builds a project, or a folder's config.zrp, as if chosen with Browse; shows a package and
  /// offers to extract it; says so in a box when the project is not there. Does nothing while
  /// the window is busy.
  void Open(const std::string& given);

  /// Replaces the folder dialog in which the user chooses where a package's files go; tests
  /// answer it themselves.
  void SetFolderChooser(ChooseFolder choose_folder) { choose_folder_ = std::move(choose_folder); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  /// Enter presses the focused button, as Space does.
  void keyPressEvent(QKeyEvent* event) override;
  /// A project file (.zrp), a package (.zrk) or a folder dragged over an idle window may be
  /// dropped; it is then opened.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A control's place at the window's original size, and whether it follows the window's right
  // and bottom edges (moves) or stretches to them (grows).
  struct Anchor {
    QWidget* control;
    QRect original;
    bool move_x, move_y, grow_x, grow_y;
  };

  void CreateControls();
  void CreateProgress();
  void PlaceControls();
  void Command1_Click();
  void Command2_Click();
  void BuildPackage(const std::string& project_path);
  void ShowPackage(const std::string& package_path);

  QLabel* Label1;
  QPushButton* Command1;
  ReportList* List1;
  std::array<QFrame*, 2> Line1;
  QPushButton* Command2;
  QLabel* Label2;
  QLabel* progress_text_;
  QProgressBar* progress_bar_;
  std::vector<Anchor> anchors_;

  std::unique_ptr<MessageBoxes> own_boxes_;
  MessageBoxes* boxes_;
  ChooseFolder choose_folder_;
  bool busy_ = false;
};

}  // namespace zrk::app

// Form1: the program's one window, with the report, the Browse and Exit buttons and the labels.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace zrk {
class MessageBoxes;
}

namespace zrk::app {

/// The main window: Browse chooses a project and runs its build into the report; Exit ends the
/// program. While a build runs, Browse and Exit do nothing and the window refuses to close.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  /// Builds the window and its controls. boxes answers the build's message boxes (the Qt message
  /// boxes when null); tests pass a fake.
  explicit Form1(MessageBoxes* boxes = nullptr);
  ~Form1() override;

  /// Places the window in the middle of its screen's available area.
  void CenterOnScreen();

  /// Whether a Browse click (its open dialog or its build) is under way.
  bool busy() const { return busy_; }

  /// Builds the project file at project_path as if it had been chosen with Browse, as for a file
  /// named on the command line or dropped on the window. Does nothing while the window is busy.
  void OpenProject(const QString& project_path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  /// Enter presses the focused button, as Space does.
  void keyPressEvent(QKeyEvent* event) override;
  /// A project file (.zrp) dragged over an idle window may be dropped; it is then built.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Command1_Click();
  void Command2_Click();
  void BuildPackage(const std::string& project_path);

  QLabel* Label1;
  QPushButton* Command1;
  QListWidget* List1;
  std::array<QFrame*, 2> Line1;
  QPushButton* Command2;
  QLabel* Label2;

  std::unique_ptr<MessageBoxes> own_boxes_;
  MessageBoxes* boxes_;
  bool busy_ = false;
};

}  // namespace zrk::app

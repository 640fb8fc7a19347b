// The build's message boxes as Qt message boxes.
#include "app/qt/qt_message_boxes.h"

#include <QKeyEvent>
#include <QMessageBox>

#include "assembly/texts.h"

namespace zrk::app {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// Keeps Escape from answering a Yes/No box: the user answers it, as in such a box on Windows.
class IgnoreEscape : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

MessageAnswer QtMessageBoxes::Show(const std::string& text, MessageIcon icon,
                                   MessageButtons buttons) {
  QMessageBox box(ToQt(icon),
                  QString::fromUtf8(texts::kApplicationTitle.data(),
                                    static_cast<int>(texts::kApplicationTitle.size())),
                  QString::fromStdString(text));
  box.setWindowModality(Qt::ApplicationModal);
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    // Neither Escape nor the title bar answers: after Escape in the save dialog, an Escape here
    // would mean "No" and open the dialog again, so Escape alone could never end the build.
    IgnoreEscape ignore_escape;
    box.installEventFilter(&ignore_escape);
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::kOk;
}

}  // namespace zrk::app

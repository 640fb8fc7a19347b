// The build's message boxes as Qt message boxes.
#include "app/qt_message_boxes.h"

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
    // Closing the box without a button answers as "No" would: nothing is lost either way.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::kOk;
}

}  // namespace zrk::app

// zrk-builder: the desktop program. It takes no arguments and shows the one window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/form1.h"
#include "app/qt_dialog_platform.h"
#include "app/qt_window_operations.h"
#include "dialogs/mdlCdlg.h"
#include "platform/file_io.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Dates and numbers in the file dialogs in Russian too, whatever the machine's locale.
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

  // Qt's own texts (Yes, No, Cancel, the file dialog's labels) in Russian, like every text of ours.
  QTranslator qt_russian;
  if (qt_russian.load(QLocale(QLocale::Russian), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_russian);
  }

  // A package write cut short by a kill request or a hang-up leaves no temporary file.
  zrk::platform::InstallInterruptCleanup();

  zrk::QtDialogPlatform dialogs;
  zrk::QtWindowOperations windows;
  mdlCdlg::SetDialogPlatform(&dialogs);
  mdlCdlg::SetWindowOperations(&windows);

  zrk::app::Form1 form;
  form.show();
  form.CenterOnScreen();
  return QApplication::exec();
}

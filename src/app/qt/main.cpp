// zrk-builder: the desktop program. It shows the one window, and builds a project file named on
// its command line at once.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/qt/form1.h"
#include "app/qt/qt_dialog_platform.h"
#include "app/qt/qt_window_operations.h"
#include "app/qt/russian_texts.h"
#include "app/window_texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/interrupt_cleanup.h"
#include "zrk_version.h"

int main(int argc, char** argv) {
  // --help and --version answer on the terminal without opening a window (or a display).
  QString project;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") {
      std::fputs(std::string(zrk::app::window_texts::kBuilderUsage).c_str(), stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("zrk-builder %s\n", ZRK_VERSION);
      return 0;
    }
    if (argument.starts_with("-") || !project.isEmpty()) {
      std::fprintf(stderr, "zrk-builder: лишний аргумент '%s'\n%s", argv[i],
                   std::string(zrk::app::window_texts::kBuilderUsage).c_str());
      return 2;
    }
    project = QString::fromLocal8Bit(argv[i]);
  }

  QApplication application(argc, argv);
  // Dates and numbers in the file dialogs in Russian too, whatever the machine's locale.
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

  // Qt's own texts (Yes, No, Cancel, the file dialog's labels) in Russian, like every text of ours.
  QTranslator qt_russian;
  if (qt_russian.load(QLocale(QLocale::Russian), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_russian);
  }
  // Installed last, asked first: the few texts Qt's translation lacks.
  zrk::app::MissingRussianTexts missing_russian;
  QApplication::installTranslator(&missing_russian);

  // A package write cut short by a kill request or a hang-up leaves no temporary file.
  zrk::platform::InstallInterruptCleanup();

  zrk::app::QtDialogPlatform dialogs;
  zrk::app::QtWindowOperations windows;
  mdlCdlg::SetDialogPlatform(&dialogs);
  mdlCdlg::SetWindowOperations(&windows);

  zrk::app::Form1 form;
  form.show();
  form.CenterOnScreen();
  // A project named on the command line (as a file manager names it) is built at once, as if it
  // had been chosen with Browse, once the window is on the screen.
  if (!project.isEmpty())
    QTimer::singleShot(0, &form, [&form, project] { form.OpenProject(project); });
  return QApplication::exec();
}

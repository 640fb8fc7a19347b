// zrk-builder: the desktop program. It shows the one window, and opens a project, folder or
// package named on its command line at once.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <vector>

#include "app/qt/form1.h"
#include "app/qt/qt_dialog_platform.h"
#include "app/qt/qt_window_operations.h"
#include "app/qt/russian_texts.h"
#include "app/window_actions.h"
#include "app/window_texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/interrupt_cleanup.h"
#include "zrk_version.h"

int main(int argc, char** argv) {
  // --help and --version answer on the terminal without opening a window (or a display).
  using Request = zrk::app::BuilderArguments::Request;
  const zrk::app::BuilderArguments arguments = zrk::app::ReadBuilderArguments(
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
  const std::string usage(zrk::app::window_texts::kBuilderUsage);
  switch (arguments.request) {
    case Request::kHelp:
      std::fputs(usage.c_str(), stdout);
      return 0;
    case Request::kVersion:
      std::printf("zrk-builder %s\n", ZRK_VERSION);
      return 0;
    case Request::kUsageError:
      std::fputs((zrk::app::window_texts::UnexpectedArgument(arguments.unexpected) + usage).c_str(),
                 stderr);
      return 2;
    case Request::kWindow:
      break;
  }
  // Kept as the bytes the system gave: a name that is not UTF-8 would not survive Qt's text.
  const std::string given = arguments.project;

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
  // What the command line names (as a file manager names it) is opened once the window is on the
  // screen: a project built as if chosen with Browse, a package shown.
  if (!given.empty()) QTimer::singleShot(0, &form, [&form, given] { form.Open(given); });
  return QApplication::exec();
}

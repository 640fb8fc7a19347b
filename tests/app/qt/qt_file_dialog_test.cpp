// Qt Test of the real file dialog: the shared dialog object shown through the Qt platform.
#include <QtTest>
#include <QtWidgets>

#include "app/qt/qt_dialog_platform.h"
#include "app/qt/qt_window_operations.h"
#include "dialogs/mdlCdlg.h"

class QtFileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(translator_.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&translator_);
    mdlCdlg::SetDialogPlatform(&platform_);
    mdlCdlg::SetWindowOperations(&windows_);
    QVERIFY(folder_.isValid());
    for (const char* name : {"config.zrp", "old"}) {
      QFile file(folder_.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
  }

  void fileDialog_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("name");  // the file chosen; empty cancels
    QTest::newRow("open: the chosen file comes back") << false << "config.zrp";
    QTest::newRow("open cancelled: the file name stays") << false << "";
    // The build, not the dialog, appends ".zrk" and asks before replacing a file.
    QTest::newRow("save over a file: no extension added, no question") << true << "old";
  }

  // The dialog shows the object's captions and filter, in its folder, over its owner, and stands
  // in the middle of the screen (Qt would centre it over the owner).
  void fileDialog() {
    QFETCH(bool, save);
    QFETCH(QString, name);
    QWidget owner;
    owner.setGeometry(0, 0, 120, 80);
    owner.show();
    const QString filter =
        save ? "Файлы оболочек ZR 4.x (*.zrk)" : "Файлы проектов ZRK 4.x (*.zrp)";
    const QString pattern = save ? "*.zrk" : "*.zrp";
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SethOwner(zrk::app::HandleOf(&owner));
    dialog.SetOKText(save ? "Сохранить" : "Выбарть");
    dialog.SetFilter((filter + "|" + pattern).toStdString());
    dialog.SetInitDir(folder_.path().toStdString());
    dialog.SetFileName("");
    dialog.SetFileTitle("previous.zrp");

    // Once the modal dialog is up, notes what it shows and closes it; every check waits until it
    // is closed, so that a failed check never leaves it open.
    QStringList shown;
    QRect frame;
    bool asked = false;
    QTimer::singleShot(0, [&] {
      auto* file_dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (file_dialog == nullptr) return;
      const auto* buttons = file_dialog->findChild<QDialogButtonBox*>();
      shown = {buttons->button(save ? QDialogButtonBox::Save : QDialogButtonBox::Open)->text(),
               buttons->button(QDialogButtonBox::Cancel)->text(),
               file_dialog->findChild<QComboBox*>("fileTypeCombo")->currentText(),
               file_dialog->findChild<QFileSystemModel*>()->nameFilters().join(' '),
               file_dialog->directory().absolutePath(),
               file_dialog->parentWidget() == &owner ? "over its owner" : "not over its owner"};
      frame = file_dialog->frameGeometry();
      QTimer::singleShot(0, [&asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          asked = true;
          box->reject();
        }
      });
      if (!name.isEmpty()) {
        file_dialog->selectFile(folder_.filePath(name));
        static_cast<QDialog*>(file_dialog)->accept();
      }
      if (file_dialog->isVisible()) file_dialog->reject();
    });
    save ? dialog.ShowSave() : dialog.ShowOpen();
    dialog.SethOwner(0);

    QVERIFY(!asked);
    QCOMPARE(shown, (QStringList{save ? "Сохранить" : "Выбарть", "Отмена", filter, pattern,
                                 folder_.path(), "over its owner"}));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QPoint off = 2 * frame.topLeft() +
                       QPoint(frame.width() - screen.width(), frame.height() - screen.height());
    QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2,
             qPrintable(QString("twice off centre by %1,%2").arg(off.x()).arg(off.y())));
    QCOMPARE(QString::fromStdString(dialog.FileName()),
             name.isEmpty() ? QString() : folder_.filePath(name));
    QCOMPARE(QString::fromStdString(dialog.FileTitle()), name.isEmpty() ? "previous.zrp" : name);
  }

 private:
  QTranslator translator_;
  QTemporaryDir folder_;
  zrk::app::QtDialogPlatform platform_;
  zrk::app::QtWindowOperations windows_;
};

QTEST_MAIN(QtFileDialogTest)
#include "qt_file_dialog_test.moc"

// Qt Test of the real file dialog: the shared dialog object shown through the Qt platform.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <functional>

#include "app/qt_dialog_platform.h"
#include "app/qt_window_operations.h"
#include "dialogs/mdlCdlg.h"
#include "platform/native_path.h"

namespace {

const char kOpenFilter[] = "Файлы проектов ZRK 4.x (*.zrp)|*.zrp";
const char kSaveFilter[] = "Файлы оболочек ZR 4.x (*.zrk)|*.zrk";

// What the test saw of a dialog while it was open.
struct Seen {
  bool shown = false;
  QString accept_text, cancel_text, filter_text, directory;
  QStringList model_filters;
  QRect frame;
};

// The position that centres size on screen, halves of the free space rounded to even.
int Centred(int screen, int size) {
  const int free_space = screen - size;
  if (free_space % 2 == 0) return free_space / 2;
  const int down = (free_space - 1) / 2;
  return down % 2 == 0 ? down : down + 1;
}

// Once the modal file dialog is up, records what it shows and hands it to act, which must close
// it; every check waits until the dialog is closed, so a failed check never leaves it open.
void WhenDialogOpens(Seen& seen, std::function<void(QFileDialog&)> act) {
  QTimer::singleShot(0, [&seen, act] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    const auto* buttons = dialog->findChild<QDialogButtonBox*>();
    const QPushButton* accept =
        buttons->button(dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                        : QDialogButtonBox::Save);
    seen.shown = true;
    seen.accept_text = accept != nullptr ? accept->text() : QString();
    seen.cancel_text = buttons->button(QDialogButtonBox::Cancel)->text();
    seen.filter_text = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
    seen.model_filters = dialog->findChild<QFileSystemModel*>()->nameFilters();
    seen.directory = dialog->directory().absolutePath();
    seen.frame = dialog->frameGeometry();
    act(*dialog);
  });
}

}  // namespace

class QtFileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(translator_.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&translator_);
    mdlCdlg::SetDialogPlatform(&platform_);
    mdlCdlg::SetWindowOperations(&windows_);
    QVERIFY(folder_.isValid());
    for (const char* name : {"config.zrp", "notes.txt", "old.zrk"}) {
      QFile file(folder_.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
  }

  void cleanupTestCase() {
    mdlCdlg::SetDialogPlatform(nullptr);
    mdlCdlg::SetWindowOperations(nullptr);
  }

  void fileDialog_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("name");  // the file chosen; empty cancels
    QTest::newRow("open: the chosen file comes back") << false << "config.zrp";
    QTest::newRow("open cancelled: the file name stays") << false << "";
    // The build, not the dialog, appends ".zrk" and asks before replacing a file.
    QTest::newRow("save: no extension added") << true << "skin";
    QTest::newRow("save over a file: no question") << true << "old.zrk";
  }

  // Qt would centre a dialog over its owner; the hook puts it in the middle of the screen.
  void fileDialog() {
    QFETCH(bool, save);
    QFETCH(QString, name);
    QWidget owner;
    owner.setGeometry(0, 0, 120, 80);
    owner.show();
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SethOwner(zrk::app::HandleOf(&owner));
    dialog.SetOKText(save ? "Сохранить" : "Выбарть");
    dialog.SetFilter(save ? kSaveFilter : kOpenFilter);
    dialog.SetFileName("");
    dialog.SetFileTitle("previous.zrp");
    dialog.SetLeft(-12345);
    Seen seen;
    QWidget* parent = nullptr;
    bool asked = false;
    WhenDialogOpens(seen, [&](QFileDialog& shown) {
      parent = shown.parentWidget();
      QTimer::singleShot(0, [&asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          asked = true;
          box->reject();
        }
      });
      if (!name.isEmpty()) {
        shown.selectFile(folder_.filePath(name));
        static_cast<QDialog&>(shown).accept();
      }
      if (shown.isVisible()) shown.reject();
    });
    save ? dialog.ShowSave() : dialog.ShowOpen();
    dialog.SethOwner(0);

    QVERIFY(seen.shown);
    QVERIFY(!asked);
    QCOMPARE(parent, &owner);
    QCOMPARE(seen.accept_text, QString(save ? "Сохранить" : "Выбарть"));
    QCOMPARE(seen.cancel_text, QString("Отмена"));
    QCOMPARE(seen.filter_text,
             QString(save ? "Файлы оболочек ZR 4.x (*.zrk)" : "Файлы проектов ZRK 4.x (*.zrp)"));
    QCOMPARE(seen.model_filters, QStringList{save ? "*.zrk" : "*.zrp"});
    QCOMPARE(seen.directory, QString::fromStdString(zrk::platform::DefaultDialogFolder()));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QPoint centre(Centred(screen.width(), seen.frame.width()),
                        Centred(screen.height(), seen.frame.height()));
    QCOMPARE(seen.frame.topLeft(), centre);
    QCOMPARE(QPoint(dialog.Left(), dialog.Top()), centre);
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

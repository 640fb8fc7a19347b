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
  QString accept_text;
  QString cancel_text;
  QString filter_text;
  QStringList model_filters;
  QString directory;
  QPoint position;
  QSize frame_size;
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
    seen.position = dialog->frameGeometry().topLeft();
    seen.frame_size = dialog->frameGeometry().size();
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

  void openDialogIsHookedAndReturnsChosenFile() {
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SetOKText("Выбарть");
    dialog.SetFilter(kOpenFilter);
    dialog.SetFileName("");
    Seen seen;
    const QString chosen = folder_.filePath("config.zrp");
    WhenDialogOpens(seen, [&](QFileDialog& open) {
      open.selectFile(chosen);
      static_cast<QDialog&>(open).accept();
    });
    dialog.ShowOpen();

    QVERIFY(seen.shown);
    QCOMPARE(seen.accept_text, QString("Выбарть"));
    QCOMPARE(seen.cancel_text, QString("Отмена"));
    QCOMPARE(seen.filter_text, QString("Файлы проектов ZRK 4.x (*.zrp)"));
    QCOMPARE(seen.model_filters, QStringList{"*.zrp"});
    QCOMPARE(seen.directory, QString::fromStdString(zrk::platform::ProgramFolder()));
    CheckCentred(seen);
    QCOMPARE(QString::fromStdString(dialog.FileName()), chosen);
    QCOMPARE(QString::fromStdString(dialog.FileTitle()), QString("config.zrp"));
  }

  void cancelledOpenDialogKeepsFileName() {
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SetOKText("Выбарть");
    dialog.SetFilter(kOpenFilter);
    dialog.SetFileName("");
    dialog.SetFileTitle("previous.zrp");
    dialog.SetLeft(-12345);
    Seen seen;
    WhenDialogOpens(seen, [](QFileDialog& open) { open.reject(); });
    dialog.ShowOpen();

    QVERIFY(seen.shown);
    QCOMPARE(seen.accept_text, QString("Выбарть"));
    QCOMPARE(seen.cancel_text, QString("Отмена"));
    CheckCentred(seen);
    QCOMPARE(QString::fromStdString(dialog.FileName()), QString());
    QCOMPARE(QString::fromStdString(dialog.FileTitle()), QString("previous.zrp"));
  }

  // Qt would centre a dialog over its owner; the hook puts it in the middle of the screen.
  void dialogWithOwnerIsCentredOnScreen() {
    QWidget owner;
    owner.setGeometry(0, 0, 120, 80);
    owner.show();
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SethOwner(zrk::HandleOf(&owner));
    dialog.SetFilter(kOpenFilter);
    Seen seen;
    QWidget* parent = nullptr;
    WhenDialogOpens(seen, [&parent](QFileDialog& open) {
      parent = open.parentWidget();
      open.reject();
    });
    dialog.ShowOpen();
    dialog.SethOwner(0);

    QVERIFY(seen.shown);
    QCOMPARE(parent, &owner);
    CheckCentred(seen);
  }

  // The save dialog neither adds an extension (the build appends ".zrk") nor asks before
  // naming an existing file (the build asks).
  void saveDialogReturnsNameAsTypedWithoutQuestion() {
    zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    dialog.SetOKText("Сохранить");
    dialog.SetFilter(kSaveFilter);
    for (const char* name : {"skin", "old.zrk"}) {
      dialog.SetFileName("");
      Seen seen;
      bool asked = false;
      const QString chosen = folder_.filePath(name);
      WhenDialogOpens(seen, [&](QFileDialog& save) {
        QTimer::singleShot(0, [&asked] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->reject();
          }
        });
        save.selectFile(chosen);
        static_cast<QDialog&>(save).accept();
        if (save.isVisible()) save.reject();
      });
      dialog.ShowSave();

      QVERIFY(seen.shown);
      QVERIFY(!asked);
      QCOMPARE(seen.accept_text, QString("Сохранить"));
      QCOMPARE(seen.filter_text, QString("Файлы оболочек ZR 4.x (*.zrk)"));
      QCOMPARE(QString::fromStdString(dialog.FileName()), chosen);
      QCOMPARE(QString::fromStdString(dialog.FileTitle()), QString(name));
    }
  }

 private:
  // The hook moved the dialog to the centre of the screen and recorded that position.
  static void CheckCentred(const Seen& seen) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QPoint centre(Centred(screen.width(), seen.frame_size.width()),
                        Centred(screen.height(), seen.frame_size.height()));
    QCOMPARE(seen.position, centre);
    QCOMPARE(mdlCdlg::SharedDialog().Left(), centre.x());
    QCOMPARE(mdlCdlg::SharedDialog().Top(), centre.y());
  }

  QTranslator translator_;
  QTemporaryDir folder_;
  zrk::QtDialogPlatform platform_;
  zrk::QtWindowOperations windows_;
};

QTEST_MAIN(QtFileDialogTest)
#include "qt_file_dialog_test.moc"

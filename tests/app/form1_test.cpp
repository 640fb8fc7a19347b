// Qt Test of the main window: its layout and looks, Browse and Exit, and the busy window.
#include "app/form1.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <utility>

#include "assembly/build_driver.h"
#include "assembly/texts.h"
#include "dialogs/fake_dialog_platform.h"
#include "dialogs/mdlCdlg.h"

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Answers every box as a user who agrees: "Yes" to questions, "OK" to the rest.
class FakeBoxes : public zrk::MessageBoxes {
 public:
  zrk::MessageAnswer Show(const std::string& text, zrk::MessageIcon,
                          zrk::MessageButtons buttons) override {
    shown << QString::fromStdString(text);
    return buttons == zrk::MessageButtons::kYesNo ? zrk::MessageAnswer::kYes
                                                  : zrk::MessageAnswer::kOk;
  }
  QStringList shown;
};

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

enum class Action { kClose, kBrowse, kExit };

}  // namespace

Q_DECLARE_METATYPE(Action)

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    // A complete skin and one whose module names a picture that is not there.
    for (const char* skin : {"good", "broken"}) {
      QVERIFY(WriteFile(Path(skin, "config.zrp"),
                        "[DIRECTIVES]\r\nName=Test\r\n\r\n[MODULES]\r\n"
                        "Picture=modules\\button.zrm\r\n"));
      QVERIFY(WriteFile(Path(skin, "modules/button.zrm"),
                        "[STANDARD]\r\nPicture=images\\button.bmp\r\n"));
    }
    QVERIFY(WriteFile(Path("good", "images/button.bmp"), "BM button"));
    QVERIFY(QDir(folder_.path()).mkpath("out"));
  }

  void init() {
    platform_.calls.clear();
    platform_.answer = [](zrk::DialogRecord&) { return 0; };
    boxes_.shown.clear();
  }

  void geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("Browse top right") << "Command1" << QRect(224, 8, 65, 25);
    QTest::newRow("report below") << "List1" << QRect(8, 40, 281, 92);
    QTest::newRow("separator shadow") << "Line1_0" << QRect(8, 136, 281, 1);
    QTest::newRow("separator highlight") << "Line1_1" << QRect(11, 137, 278, 1);
    QTest::newRow("Exit bottom right") << "Command2" << QRect(224, 144, 65, 25);
    QTest::newRow("notice bottom left") << "Label2" << QRect(8, 144, 142, 13);
  }

  void geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    zrk::app::Form1 form(&boxes_);
    form.show();
    QCOMPARE(form.size(), QSize(299, 177));
    form.resize(400, 300);
    QCOMPARE(form.size(), QSize(299, 177));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    auto* control = form.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), expected);
  }

  // The instruction would reach under the Browse button; it must stay left of it and whole.
  void instructionFitsLeftOfBrowse() {
    zrk::app::Form1 form(&boxes_);
    auto* label = form.findChild<QLabel*>("Label1");
    QVERIFY(label != nullptr);
    QCOMPARE(label->pos(), QPoint(8, 8));
    QVERIFY(label->geometry().right() < form.findChild<QWidget*>("Command1")->x());
    QVERIFY(label->wordWrap());
    const QRect box(QPoint(0, 0), label->size());
    const QRect text =
        QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text());
    QVERIFY2(box.contains(text),
             qPrintable(QString("needs %1x%2").arg(text.width()).arg(text.height())));
  }

  void texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("caption") << "Form1" << QString("Сборщик ZRK серии 4.x (29)");
    QTest::newRow("Browse without access key") << "Command1" << QString("Обзор...");
    QTest::newRow("Exit without access key") << "Command2" << QString("Выход");
    QTest::newRow("instruction") << "Label1" << Q(zrk::texts::kInstruction);
    QTest::newRow("notice") << "Label2" << Q(zrk::texts::kRightsNotice);
  }

  void texts() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    zrk::app::Form1 form(&boxes_);
    QWidget* widget = name == form.objectName() ? &form : form.findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QString text = widget->windowTitle();
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    QCOMPARE(text, expected);
  }

  void reportLooksAndSelection() {
    zrk::app::Form1 form(&boxes_);
    auto* list = form.findChild<QListWidget*>("List1");
    QVERIFY(list != nullptr);
    QCOMPARE(list->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(list->palette().color(QPalette::Base), QColor(64, 64, 64));
    list->addItem("Ж|Ж");
    const QImage image = list->grab().toImage();
    QCOMPARE(image.pixelColor(list->rect().center()), QColor(64, 64, 64));
    bool green = false;
    for (int y = 0; y < image.height() / 3; ++y) {
      for (int x = 0; x < image.width() / 3; ++x) green |= image.pixelColor(x, y) == Qt::green;
    }
    QVERIFY2(green, "no text drawn in pure green");

    const QFont font = list->font();
    QVERIFY2(QFontInfo(font).family() == "Courier New" || QFontInfo(font).fixedPitch(),
             qPrintable(QFontInfo(font).family()));
    QCOMPARE(font.pointSizeF(), 9.0);
    QVERIFY(!font.bold() && !font.italic());
    QVERIFY(QFontMetrics(font).inFont(QChar(u'Ж')));  // the report is mostly Russian

    QVERIFY(!list->isSortingEnabled());
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    for (const char* name : {"Command1", "Command2"}) {
      auto* button = form.findChild<QPushButton*>(name);
      QVERIFY(!button->isDefault());
      QVERIFY(!button->autoDefault());
    }
  }

  void focusStartsOnBrowseAndTabCycles() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* browse = form.findChild<QWidget*>("Command1");
    QCOMPARE(QApplication::focusWidget(), browse);
    const QStringList expected = {"List1", "Command2", "Command1"};
    for (const QString& name : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
  }

  void cancelledBrowse_data() {
    QTest::addColumn<bool>("after_build");
    QTest::newRow("at start: report stays empty") << false;
    QTest::newRow("after a build: its lines stay") << true;
  }

  // A cancelled open dialog changes nothing, and each open dialog is set up afresh, whatever
  // the last save dialog left in the shared dialog object.
  void cancelledBrowse() {
    QFETCH(bool, after_build);
    zrk::app::Form1 form(&boxes_);
    form.show();
    if (after_build) Browse(form, Path("good", "config.zrp"));
    const QStringList before = Lines(List1(form));
    QCOMPARE(before.isEmpty(), !after_build);
    init();

    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(platform_.calls, std::vector<std::string>{"open"});
    QCOMPARE(Lines(List1(form)), before);
    QCOMPARE(boxes_.shown, QStringList());
    const zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    QCOMPARE(Q(dialog.OKText()), QString("Выбарть"));
    QCOMPARE(Q(dialog.Filter()), QString("Файлы проектов ZRK 4.x (*.zrp)|*.zrp"));
    QCOMPARE(Q(zrk::BufferText(platform_.seen.file)), QString());
    QVERIFY(!form.busy());
  }

  void browseBuildsChosenProject_data() {
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("last_line");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("earlier");  // a skin built before, or none
    const QString succeeded = Q(zrk::texts::kSucceeded);
    QTest::newRow("complete skin is packed") << "good" << succeeded << true << QString();
    QTest::newRow("missing file stops before the save dialog")
        << "broken" << Q(zrk::texts::kFileNotFoundLine) << false << QString();
    QTest::newRow("second build starts from a cleared report")
        << "good" << succeeded << true << "broken";
  }

  void browseBuildsChosenProject() {
    QFETCH(QString, skin);
    QFETCH(QString, last_line);
    QFETCH(bool, written);
    QFETCH(QString, earlier);
    zrk::app::Form1 form(&boxes_);
    form.show();
    if (!earlier.isEmpty()) Browse(form, Path(earlier, "config.zrp"));
    init();

    const QString package = Browse(form, Path(skin, "config.zrp"));
    const QStringList lines = Lines(List1(form));
    QVERIFY(lines.size() > 2);
    // Lines stay in the order the build adds them: the first would sort after "config.zrp".
    QCOMPARE(lines.first(), Q(zrk::texts::kCollectingList));
    QCOMPARE(lines.count(Q(zrk::texts::kCollectingList)), 1);
    QVERIFY(lines.contains("config.zrp" + Q(zrk::texts::kFileOk)));
    QCOMPARE(lines.last(), last_line);
    QCOMPARE(List1(form)->currentRow(), lines.size() - 1);
    QCOMPARE(platform_.calls.size(), std::size_t(written ? 2 : 1));
    QCOMPARE(QFile::exists(package), written);
    if (written) {
      QFile file(package);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.read(10), QByteArray("ZRK4000029"));
      QCOMPARE(boxes_.shown, QStringList{Q(zrk::texts::kSuccessBox)});
    }
    QVERIFY(!form.busy());
  }

  void busyWindowIgnoresCloseAndClicks_data() {
    QTest::addColumn<QString>("during");  // the dialog that is open
    QTest::addColumn<Action>("action");
    QTest::newRow("close refused in the save dialog") << "save" << Action::kClose;
    QTest::newRow("Browse ignored in the save dialog") << "save" << Action::kBrowse;
    QTest::newRow("Exit ignored in the save dialog") << "save" << Action::kExit;
    QTest::newRow("close refused in the open dialog") << "open" << Action::kClose;
    QTest::newRow("Browse ignored in the open dialog") << "open" << Action::kBrowse;
    QTest::newRow("Exit ignored in the open dialog") << "open" << Action::kExit;
  }

  // The dialogs do not disable the window; the window itself must keep a second build from
  // starting, and itself from closing, under the running one.
  void busyWindowIgnoresCloseAndClicks() {
    QFETCH(QString, during);
    QFETCH(Action, action);
    zrk::app::Form1 form(&boxes_);
    form.show();
    bool busy = false;
    bool close_accepted = false;
    bool visible = false;
    std::size_t dialogs = 0;
    const QString package = Browse(form, Path("good", "config.zrp"), during.toStdString(), [&] {
      busy = form.busy();
      if (action == Action::kClose) close_accepted = form.close();
      if (action == Action::kBrowse) ClickButton(form, "Command1");
      if (action == Action::kExit) ClickButton(form, "Command2");
      visible = form.isVisible();
      dialogs = platform_.calls.size();
    });

    QVERIFY(busy);
    QVERIFY(!close_accepted);
    QVERIFY(visible);
    QCOMPARE(dialogs, std::size_t(during == "open" ? 1 : 2));
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QCOMPARE(Lines(List1(form)).last(), Q(zrk::texts::kSucceeded));
    QVERIFY(QFile::exists(package));
    QVERIFY(form.isVisible());
    QVERIFY(!form.busy());
  }

  void idleWindowCloses_data() {
    QTest::addColumn<bool>("after_build");
    QTest::addColumn<bool>("by_exit");
    QTest::newRow("Exit at start") << false << true;
    QTest::newRow("Exit after a build") << true << true;
    QTest::newRow("title bar close at start, no question") << false << false;
    QTest::newRow("title bar close after a build") << true << false;
  }

  void idleWindowCloses() {
    QFETCH(bool, after_build);
    QFETCH(bool, by_exit);
    zrk::app::Form1 form(&boxes_);
    form.show();
    if (after_build) Browse(form, Path("good", "config.zrp"));
    init();
    if (by_exit) {
      ClickButton(form, "Command2");
    } else {
      QVERIFY(form.close());
    }
    QVERIFY(!form.isVisible());
    QCOMPARE(boxes_.shown, QStringList());
    QVERIFY(platform_.calls.empty());
  }

 private:
  QString Path(const QString& skin, const QString& name) const {
    return folder_.filePath(skin + "/" + name);
  }

  QString NextPackage() { return folder_.filePath(QString("out/package%1").arg(++packages_)); }

  static QListWidget* List1(const zrk::app::Form1& form) {
    return form.findChild<QListWidget*>("List1");
  }

  static void ClickButton(zrk::app::Form1& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
  }

  // Clicks Browse, choosing project in the open dialog and a new package name in the save
  // dialog, and returns the package's path. act, when given, runs inside the first dialog of
  // kind pause_in; a dialog that a second build would open is cancelled.
  QString Browse(zrk::app::Form1& form, const QString& project, const std::string& pause_in = "",
                 std::function<void()> act = {}) {
    const QString package = NextPackage();
    platform_.answer = [=, this](zrk::DialogRecord& record) mutable -> std::int32_t {
      if (platform_.calls.size() > 2) return 0;
      const std::string kind = platform_.calls.back();
      if (act && kind == pause_in) std::exchange(act, nullptr)();
      const QString answer = kind == "open" ? project : package;
      zrk::StoreInBuffer(record.file, record.max_file, answer.toStdString());
      return 1;
    };
    ClickButton(form, "Command1");
    return package + Q(zrk::texts::kPackageExtension);
  }

  QTemporaryDir folder_;
  int packages_ = 0;
  zrk::testing::FakeDialogPlatform platform_;
  FakeBoxes boxes_;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"

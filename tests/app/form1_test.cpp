// Qt Test of the main window: its layout and looks, Browse and Exit, and the busy window.
#include "app/form1.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <functional>
#include <utility>

#include "app/list_report.h"
#include "assembly/build_driver.h"
#include "assembly/texts.h"
#include "dialogs/fake_dialog_platform.h"

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

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    QVERIFY(WriteFile("skin/config.zrp", "[MODULES]\r\nPicture=modules\\button.zrm\r\n"));
    QVERIFY(WriteFile("skin/modules/button.zrm", "[STANDARD]\r\nPicture=images\\button.bmp\r\n"));
    QVERIFY(WriteFile("skin/images/button.bmp", "BM button"));
    QVERIFY(QDir(folder_.path()).mkpath("out"));
  }

  void init() {
    platform_.calls.clear();
    platform_.answer = [](zrk::DialogRecord&) { return 0; };
    boxes_.shown.clear();
  }

  void geometryAndTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");  // caption, button or label text
    QTest::newRow("fixed-size window, caption")
        << "Form1" << QRect(0, 0, 299, 177) << QString("Сборщик ZRK серии 4.x (29)");
    QTest::newRow("Browse top right, no access key")
        << "Command1" << QRect(224, 8, 65, 25) << QString("Обзор...");
    QTest::newRow("instruction") << "Label1" << QRect(8, 8, 212, 32) << Q(zrk::texts::kInstruction);
    QTest::newRow("report below") << "List1" << QRect(8, 40, 281, 92) << QString();
    QTest::newRow("separator shadow") << "Line1_0" << QRect(8, 136, 281, 1) << QString();
    QTest::newRow("separator highlight") << "Line1_1" << QRect(11, 137, 278, 1) << QString();
    QTest::newRow("Exit bottom right, no access key")
        << "Command2" << QRect(224, 144, 65, 25) << QString("Выход");
    QTest::newRow("notice bottom left")
        << "Label2" << QRect(8, 144, 142, 13) << Q(zrk::texts::kRightsNotice);
  }

  void geometryAndTexts() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    zrk::app::Form1 form(&boxes_);
    form.show();
    form.resize(400, 300);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QWidget* widget = name == form.objectName() ? &form : form.findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget == &form ? form.rect() : widget->geometry(), geometry);
    QString shown = widget->windowTitle();
    if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) shown = label->text();
    QCOMPARE(shown, text);
  }

  // The instruction would reach under the Browse button; it must be wrapped and whole.
  void instructionFitsItsBox() {
    zrk::app::Form1 form(&boxes_);
    auto* label = form.findChild<QLabel*>("Label1");
    QVERIFY(label->wordWrap());
    const QRect box(QPoint(0, 0), label->size());
    const QRect text =
        QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text());
    QVERIFY2(box.contains(text),
             qPrintable(QString("needs %1x%2").arg(text.width()).arg(text.height())));
  }

  // Green on dark grey through the palette the list paints with, whatever font stands in.
  void reportLooks() {
    zrk::app::Form1 form(&boxes_);
    auto* list = form.findChild<QListWidget*>("List1");
    QVERIFY(list != nullptr);
    QCOMPARE(list->palette().color(QPalette::Active, list->viewport()->backgroundRole()),
             QColor(64, 64, 64));
    QCOMPARE(list->palette().color(QPalette::Active, QPalette::Text), QColor(0, 255, 0));

    const QFont font = list->font();
    QVERIFY2(QFontInfo(font).family() == "Courier New" || QFontInfo(font).fixedPitch(),
             qPrintable(QFontInfo(font).family()));
    QCOMPARE(font.pointSizeF(), 9.0);
    QVERIFY(QFontMetrics(font).inFont(QChar(u'Ж')));     // the report is mostly Russian
    for (const char* name : {"Command1", "Command2"}) {  // Enter must not click a button
      auto* button = form.findChild<QPushButton*>(name);
      QVERIFY(!button->isDefault() && !button->autoDefault());
    }
  }

  // A long report reaches the list whole and in order, counted as it grows, with its last line
  // selected and scrolled into view, while the list is handed lines in batches.
  void longReportEndsOnItsLastLine() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    auto* list = form.findChild<QListWidget*>("List1");
    constexpr int kLines = 20000;
    {
      zrk::app::ListReport report(list);
      report.Clear();
      for (int i = 0; i < kLines; ++i) {
        report.AddLine(std::to_string(i));
        QCOMPARE(int(report.LineCount()), std::min(i + 1, 32767));
        report.SetSelectedIndex(report.LineCount() - 1);
      }
    }
    QCOMPARE(list->count(), kLines);
    QCOMPARE(list->item(kLines / 2)->text(), QString::number(kLines / 2));
    QCOMPARE(list->currentRow(), kLines - 1);
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(kLines - 1))));
  }

  void focusStartsOnBrowseAndTabCycles() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.findChild<QWidget*>("Command1"));
    for (const char* name : {"List1", "Command2", "Command1"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
  }

  // A build fills the report in the order it adds lines (sorted, the first would come after
  // "config.zrp") and selects the last line. A cancelled open dialog changes nothing, and each one
  // is set up afresh, whatever the save dialog left; the next build starts from a cleared report.
  void browseBuildsTheChosenProject() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    const QString package = Browse(form);
    const QStringList lines = Lines(List1(form));
    QCOMPARE(lines.first(), Q(zrk::texts::kCollectingList));
    QCOMPARE(lines.last(), Q(zrk::texts::kSucceeded));
    QCOMPARE(List1(form)->currentRow(), lines.size() - 1);
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QVERIFY(QFile::exists(package));
    QCOMPARE(boxes_.shown, QStringList{Q(zrk::texts::kSuccessBox)});

    init();
    ClickButton(form, "Command1");
    QCOMPARE(Lines(List1(form)), lines);
    QCOMPARE(Q(mdlCdlg::SharedDialog().OKText()), QString("Выбарть"));
    QCOMPARE(Q(mdlCdlg::SharedDialog().Filter()), QString("Файлы проектов ZRK 4.x (*.zrp)|*.zrp"));
    QCOMPARE(Q(zrk::BufferText(platform_.seen.file)), QString());
    QCOMPARE(boxes_.shown, QStringList());

    init();
    Browse(form);
    QCOMPARE(Lines(List1(form)), lines);
    QVERIFY(!form.busy());
  }

  void busyWindowIgnoresCloseAndClicks_data() {
    QTest::addColumn<QString>("during");  // the dialog that is open
    QTest::addColumn<QString>("action");
    for (const char* during : {"open", "save"}) {
      for (const char* action : {"close", "Browse", "Exit"}) {
        QTest::addRow("%s ignored in the %s dialog", action, during)
            << QString(during) << QString(action);
      }
    }
  }

  // The dialogs do not disable the window; the window itself must keep a second build from
  // starting, and itself from closing, under the running one.
  void busyWindowIgnoresCloseAndClicks() {
    QFETCH(QString, during);
    QFETCH(QString, action);
    zrk::app::Form1 form(&boxes_);
    form.show();
    bool busy = false, close_accepted = false, visible = false;
    std::size_t dialogs = 0;
    const QString package = Browse(form, during.toStdString(), [&] {
      busy = form.busy();
      if (action == "close") close_accepted = form.close();
      if (action == "Browse") ClickButton(form, "Command1");
      if (action == "Exit") ClickButton(form, "Command2");
      visible = form.isVisible();
      dialogs = platform_.calls.size();
    });

    QVERIFY(busy && !close_accepted && visible);
    QCOMPARE(dialogs, std::size_t(during == "open" ? 1 : 2));
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QCOMPARE(Lines(List1(form)).last(), Q(zrk::texts::kSucceeded));
    QVERIFY(QFile::exists(package));
    QVERIFY(form.isVisible() && !form.busy());
    init();  // idle again, it closes at once and asks nothing
    if (action == "Exit") ClickButton(form, "Command2");
    if (action != "Exit") QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QCOMPARE(boxes_.shown, QStringList());
  }

  // A project named at start or dropped on the window is built as if chosen with Browse: no open
  // dialog, then the same report and save dialog. A drop is refused while a build runs, and
  // anything but one project file is refused always.
  void projectFromCommandLineOrDrop() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    const QString project = folder_.filePath("skin/config.zrp");
    platform_.answer = [this](zrk::DialogRecord& record) {
      zrk::StoreInBuffer(record.file, record.max_file,
                         folder_.filePath(QString("out/dropped%1").arg(++packages_)).toStdString());
      return 1;
    };
    form.OpenProject(project);
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1(form)).last(), Q(zrk::texts::kSucceeded));

    const auto drop = [&form](const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&form, &enter);
      if (!enter.isAccepted()) return false;
      QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&form, &dropped);
      QTest::qWait(50);  // the build starts once the drop is over
      return true;
    };
    init();
    QVERIFY(!drop({QUrl::fromLocalFile(folder_.filePath("skin/modules/button.zrm"))}));
    QVERIFY(!drop({QUrl::fromLocalFile(project), QUrl::fromLocalFile(project)}));
    QVERIFY(drop({QUrl::fromLocalFile(project)}));
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});

    init();
    bool refused_while_busy = false;
    platform_.answer = [&](zrk::DialogRecord&) {
      refused_while_busy = !drop({QUrl::fromLocalFile(project)});
      return 0;
    };
    boxes_.shown.clear();
    form.OpenProject(project);  // the save dialog is cancelled, and the cancellation confirmed
    QVERIFY(refused_while_busy);
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
  }

  // Enter presses the focused button as Space does.
  void enterPressesTheFocusedButton() {
    zrk::app::Form1 form(&boxes_);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.findChild<QPushButton*>("Command1")->setFocus();
    QTest::keyClick(form.findChild<QPushButton*>("Command1"), Qt::Key_Return);
    QTRY_COMPARE(platform_.calls, std::vector<std::string>{"open"});
  }

  // A window that has not built yet closes at once and asks nothing.
  void idleWindowCloses() {
    for (const bool by_exit : {true, false}) {
      zrk::app::Form1 form(&boxes_);
      form.show();
      if (by_exit) ClickButton(form, "Command2");
      if (!by_exit) QVERIFY(form.close());
      QVERIFY(!form.isVisible());
    }
    QCOMPARE(boxes_.shown, QStringList());
    QVERIFY(platform_.calls.empty());
  }

 private:
  bool WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = folder_.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  }

  static QListWidget* List1(const zrk::app::Form1& form) {
    return form.findChild<QListWidget*>("List1");
  }

  static void ClickButton(zrk::app::Form1& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
  }

  // Clicks Browse, choosing the skin's project in the open dialog and a new package name in the
  // save dialog, and returns the package's path. act, when given, runs inside the first dialog of
  // kind pause_in; a dialog that a second build would open is cancelled.
  QString Browse(zrk::app::Form1& form, const std::string& pause_in = "",
                 std::function<void()> act = {}) {
    const QString project = folder_.filePath("skin/config.zrp");
    const QString package = folder_.filePath(QString("out/package%1").arg(++packages_));
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

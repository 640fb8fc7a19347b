// Qt Test of the main window: what it shows, Browse and Exit, a project named or dropped, and the
// busy window.
#include <algorithm>

#include "app/qt/list_report.h"
#include "app/qt/report_font.h"
#include "form1_harness.h"

using zrk::testing::kReport;
using zrk::testing::Lines;
using zrk::testing::ReportWritten;

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  // Each test starts with a shown window and dialogs that cancel.
  void init() { h_.Start(); }
  void cleanup() { h_.form.reset(); }

  // What the user reads, each control whole inside the window at its first size and none covering
  // another; the instruction, which would reach under Browse, wraps within its box. The report is
  // green on dark grey through the palette the list paints with, in columns of even width
  // whichever fixed-pitch font stands in.
  void looks() {
    QCOMPARE(form_->windowTitle(), QString("Сборщик ZRK серии 4.x (29)"));
    const QStringList names = {"Label1",  "Command1", "List1", "Line1_0",
                               "Line1_1", "Command2", "Label2"};
    QStringList texts;
    for (int i = 0; i < names.size(); ++i) {
      const QWidget* control = form_->findChild<QWidget*>(names[i]);
      QVERIFY2(control && form_->rect().contains(control->geometry()), qPrintable(names[i]));
      for (int j = 0; j < i; ++j) {
        const QRect other = form_->findChild<QWidget*>(names[j])->geometry();
        QVERIFY2(!control->geometry().intersects(other), qPrintable(names[i] + " on " + names[j]));
      }
      if (auto* button = qobject_cast<const QPushButton*>(control)) {
        texts << button->text();
        QVERIFY(!button->isDefault() && !button->autoDefault());  // Enter clicks no other button
      }
      if (auto* label = qobject_cast<const QLabel*>(control)) texts << label->text();
    }
    QCOMPARE(
        texts,
        (QStringList{"Выберите файл проекта config.zrp, все остальное программа сделает сама ;-)",
                     "Обзор...", "Выход", "© 2026 Сборщик ZRK"}));
    auto* label = form_->findChild<QLabel*>("Label1");
    const QRect box(QPoint(0, 0), label->size());
    const QRect text =
        QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text());
    QVERIFY(label->wordWrap() && box.contains(text));

    const QPalette palette = List1()->palette();
    QCOMPARE(palette.color(QPalette::Active, List1()->viewport()->backgroundRole()),
             QColor(64, 64, 64));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(0, 255, 0));
    // The report's columns line up: whatever faces are installed, every character a report line
    // can hold (ASCII and Cyrillic) has one advance, in a face of the report's list.
    const QString family = QFontInfo(List1()->font()).family().section(" [", 0, 0);
    const QStringList listed = zrk::app::ReportFontFamilies();
    const bool none_installed = std::none_of(listed.begin(), listed.end(), zrk::app::IsInstalled);
    QVERIFY2(listed.contains(family, Qt::CaseInsensitive) || none_installed, qPrintable(family));
    const QFontMetrics metrics(List1()->font());
    QString shown = QString::fromUtf8("Ёё");
    for (char16_t c = 0x20; c < 0x7f; ++c) shown += QChar(c);
    for (char16_t c = 0x410; c < 0x450; ++c) shown += QChar(c);
    for (const QChar c : shown) {
      QVERIFY2(metrics.horizontalAdvance(c) == metrics.horizontalAdvance('0'),
               qPrintable(family + ": " + c));
    }
  }

  // A long report reaches the list whole and in order, counted as it grows, with its last line
  // selected and scrolled into view, while the list is handed lines in batches.
  void longReportEndsOnItsLastLine() {
    QListWidget* list = h_.List1();
    constexpr int kLines = 20000;
    {
      zrk::app::ListReport report(h_.List1());
      report.Clear();
      for (int i = 0; i < kLines; ++i) {
        report.AddLine(std::to_string(i));
        QCOMPARE(int(report.LineCount()), i + 1);
        report.SetSelectedIndex(report.LineCount() - 1);
      }
    }
    QCOMPARE(list->count(), kLines);
    QCOMPARE(list->item(kLines / 2)->text(), QString::number(kLines / 2));
    QCOMPARE(list->currentRow(), kLines - 1);
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(kLines - 1))));
  }

  // Focus starts on Browse and Tab goes round the report and Exit; Enter presses the focused
  // button as Space does.
  void focusAndKeys() {
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), form_->findChild<QWidget*>("Command1"));
    for (const char* name : {"List1", "Command2", "Command1"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(platform_.calls, std::vector<std::string>{"open"});
  }

  // A build fills the report in the order it adds lines and selects the last line. A cancelled
  // open dialog changes nothing and asks nothing, and each one is set up afresh, whatever the
  // save dialog left.
  void browseBuildsTheChosenProject() {
    const QString package = AnswerDialogs();
    Click("Command1");
    QCOMPARE(Lines(List1()), ReportWritten(package));
    QCOMPARE(List1()->currentRow(), kReport.size());
    QCOMPARE(List1()->selectedItems().size(), 1);
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QVERIFY(QFile::exists(package));
    QCOMPARE(boxes_.shown, QStringList{"Операция успешно завершена!"});

    Reset();
    Click("Command1");
    QCOMPARE(Lines(List1()), ReportWritten(package));
    const zrk::kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    QCOMPARE(QString::fromStdString(dialog.OKText() + " " + dialog.Filter() + " [" +
                                    zrk::BufferText(platform_.seen.file) + "]"),
             QString("Выбарть Файлы проектов ZRK 4.x (*.zrp)|*.zrp []"));
    QCOMPARE(boxes_.shown, QStringList());
  }

  // The dialogs do not disable the window; the window itself must keep a second build from
  // starting, and itself from closing, under the running one, in either dialog. Idle again, Exit
  // closes it at once and asks nothing.
  void busyWindowIgnoresCloseAndClicks() {
    QStringList held;  // the dialogs in which the window stayed busy and open
    const QString package = AnswerDialogs([&] {
      const bool closed = form_->close();
      Click("Command1");
      Click("Command2");
      if (form_->busy() && !closed && form_->isVisible()) held << platform_.calls.back().c_str();
    });
    Click("Command1");
    QCOMPARE(held, (QStringList{"open", "save"}));
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QCOMPARE(Lines(List1()), ReportWritten(package));
    QVERIFY(!form_->busy());
    Reset();
    Click("Command2");
    QVERIFY(!form_->isVisible());
    QCOMPARE(boxes_.shown, QStringList());
    QVERIFY(platform_.calls.empty());
  }

  // A project named at start or dropped on the window is built as if chosen with Browse: no open
  // dialog, then the same report and save dialog. A drop is refused while a build runs, and
  // anything but one project file, package or folder is refused always.
  void projectFromCommandLineOrDrop() {
    const QUrl project = QUrl::fromLocalFile(h_.Path("skin/config.zrp"));
    bool refused_while_busy = false;
    QString package = AnswerDialogs([&] { refused_while_busy = !h_.Drop({project}); });
    form_->Open(project.toLocalFile().toStdString());
    QVERIFY(refused_while_busy);
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1()), ReportWritten(package));

    // The second build in the window starts from a cleared report.
    Reset();
    package = AnswerDialogs();
    QVERIFY(!h_.Drop({QUrl::fromLocalFile(h_.Path("skin/button.zrm"))}));
    QVERIFY(!h_.Drop({project, project}));
    QVERIFY(h_.Drop({project}));
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1()), ReportWritten(package));
  }

 private:
  void Reset() { h_.Reset(); }
  QListWidget* List1() const { return h_.List1(); }
  void Click(const char* button) { h_.Click(button); }
  QString AnswerDialogs(std::function<void()> act = {}) { return h_.AnswerDialogs(act); }

  zrk::testing::Form1Harness h_;
  std::unique_ptr<zrk::app::Form1>& form_ = h_.form;
  zrk::testing::FakeDialogPlatform& platform_ = h_.platform;
  zrk::testing::FakeBoxes& boxes_ = h_.boxes;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
// Qt Test of the main window: what it shows, Browse and Exit, a project named or dropped, and the
// busy window.
#include "app/qt/form1.h"

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <functional>
#include <memory>

#include "app/qt/list_report.h"
#include "app/qt/report_font.h"
#include "assembly/build_driver.h"
#include "dialogs/fake_dialog_platform.h"

namespace {

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

// The report of a build of the test's skin, a project that names no module, as the user reads it;
// the reports of larger skins are the build's test.
// clang-format off
const QStringList kReport = {
    "Создание списка файлов...", "Список файлов создан!", "Всего в проекте найдено 1 файл(ов)!",
    "Проверка существования файлов...", "config.zrp  [ok]", "Проверка файлов успешно завершена!",
    "Подготовка к сборки zrk...", "Операция успешно завершена!"};
// clang-format on

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    QVERIFY(QDir(folder_.path()).mkpath("skin") && QDir(folder_.path()).mkpath("out"));
    QFile project(folder_.filePath("skin/config.zrp"));
    QVERIFY(project.open(QIODevice::WriteOnly) && project.write("[DIRECTIVES]\r\n") > 0);
  }

  // Each test starts with a shown window and dialogs that cancel.
  void init() {
    form_ = std::make_unique<zrk::app::Form1>(&boxes_);
    form_->show();
    Reset();
  }
  void cleanup() { form_.reset(); }

  // What the user reads, each control whole inside the fixed-size window and none covering
  // another; the instruction, which would reach under Browse, wraps within its box. The report is
  // green on dark grey through the palette the list paints with, in columns of even width
  // whichever fixed-pitch font stands in.
  void looks() {
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
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
    auto* list = List1();
    constexpr int kLines = 20000;
    {
      zrk::app::ListReport report(list);
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
    QCOMPARE(Lines(List1()), kReport);
    QCOMPARE(List1()->currentRow(), kReport.size() - 1);
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QVERIFY(QFile::exists(package));
    QCOMPARE(boxes_.shown, QStringList{"Операция успешно завершена!"});

    Reset();
    Click("Command1");
    QCOMPARE(Lines(List1()), kReport);
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
    AnswerDialogs([&] {
      const bool closed = form_->close();
      Click("Command1");
      Click("Command2");
      if (form_->busy() && !closed && form_->isVisible()) held << platform_.calls.back().c_str();
    });
    Click("Command1");
    QCOMPARE(held, (QStringList{"open", "save"}));
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QCOMPARE(Lines(List1()), kReport);
    QVERIFY(!form_->busy());
    Reset();
    Click("Command2");
    QVERIFY(!form_->isVisible());
    QCOMPARE(boxes_.shown, QStringList());
    QVERIFY(platform_.calls.empty());
  }

  // A project named at start or dropped on the window is built as if chosen with Browse: no open
  // dialog, then the same report and save dialog. A drop is refused while a build runs, and
  // anything but one project file is refused always.
  void projectFromCommandLineOrDrop() {
    const QUrl project = QUrl::fromLocalFile(folder_.filePath("skin/config.zrp"));
    const auto drop = [this](const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(form_.get(), &enter);
      if (!enter.isAccepted()) return false;
      QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(form_.get(), &dropped);
      QTest::qWait(50);  // the build starts once the drop is over
      return true;
    };
    bool refused_while_busy = false;
    AnswerDialogs([&] { refused_while_busy = !drop({project}); });
    form_->OpenProject(project.toLocalFile());
    QVERIFY(refused_while_busy);
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1()), kReport);

    // The second build in the window starts from a cleared report.
    Reset();
    AnswerDialogs();
    QVERIFY(!drop({QUrl::fromLocalFile(folder_.filePath("skin/button.zrm"))}));
    QVERIFY(!drop({project, project}));
    QVERIFY(drop({project}));
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1()), kReport);
  }

 private:
  void Reset() {
    platform_.calls.clear();
    platform_.answer = [](zrk::DialogRecord&) { return 0; };
    boxes_.shown.clear();
  }
  QListWidget* List1() const { return form_->findChild<QListWidget*>("List1"); }
  void Click(const char* button) {
    QTest::mouseClick(form_->findChild<QPushButton*>(button), Qt::LeftButton);
  }

  // Makes the dialogs choose the skin's project to open and a new package to save, and returns
  // the package's path; act, when given, runs inside each of the first two dialogs. A dialog that
  // a second build would open is cancelled.
  QString AnswerDialogs(std::function<void()> act = {}) {
    const QString project = folder_.filePath("skin/config.zrp");
    const QString package = folder_.filePath(QString("out/package%1").arg(++packages_));
    platform_.answer = [=, this](zrk::DialogRecord& record) -> std::int32_t {
      if (platform_.calls.size() > 2) return 0;
      const QString answer = platform_.calls.back() == "open" ? project : package;
      if (act) act();
      zrk::StoreInBuffer(record.file, record.max_file, answer.toStdString());
      return 1;
    };
    return package + ".zrk";
  }

  QTemporaryDir folder_;
  int packages_ = 0;
  zrk::testing::FakeDialogPlatform platform_;
  FakeBoxes boxes_;
  std::unique_ptr<zrk::app::Form1> form_;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
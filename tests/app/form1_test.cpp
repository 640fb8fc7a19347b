// Qt Test of the main window: what it shows, Browse and Exit, a project named or dropped, and the
// busy window.
#include "app/form1.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <utility>

#include "app/list_report.h"
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
  // green on dark grey through the palette the list paints with, in a font of even columns with
  // Cyrillic letters, whatever font stands in.
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
    QVERIFY(label->wordWrap());
    QVERIFY2(box.contains(text),
             qPrintable(QString("needs %1x%2").arg(text.width()).arg(text.height())));

    const QPalette palette = List1()->palette();
    QCOMPARE(palette.color(QPalette::Active, List1()->viewport()->backgroundRole()),
             QColor(64, 64, 64));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(0, 255, 0));
    const QFont font = List1()->font();
    QVERIFY2(QFontInfo(font).family() == "Courier New" || QFontInfo(font).fixedPitch(),
             qPrintable(QFontInfo(font).family()));
    QVERIFY(QFontMetrics(font).inFont(QChar(u'Ж')));  // the report is mostly Russian
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
  // open dialog changes nothing, and each one is set up afresh, whatever the save dialog left; the
  // next build starts from a cleared report.
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
    QCOMPARE(QString::fromStdString(mdlCdlg::SharedDialog().OKText()), QString("Выбарть"));
    QCOMPARE(QString::fromStdString(mdlCdlg::SharedDialog().Filter()),
             QString("Файлы проектов ZRK 4.x (*.zrp)|*.zrp"));
    QCOMPARE(QString::fromStdString(zrk::BufferText(platform_.seen.file)), QString());
    QCOMPARE(boxes_.shown, QStringList());

    Reset();
    AnswerDialogs();
    Click("Command1");
    QCOMPARE(Lines(List1()), kReport);
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
  // starting, and itself from closing, under the running one. Idle again, it closes at once and
  // asks nothing.
  void busyWindowIgnoresCloseAndClicks() {
    QFETCH(QString, during);
    QFETCH(QString, action);
    bool busy = false, close_accepted = false, visible = false;
    AnswerDialogs(during.toStdString(), [&] {
      busy = form_->busy();
      if (action == "close") close_accepted = form_->close();
      if (action == "Browse") Click("Command1");
      if (action == "Exit") Click("Command2");
      visible = form_->isVisible();
    });
    Click("Command1");

    QVERIFY(busy && !close_accepted && visible);
    QCOMPARE(platform_.calls, (std::vector<std::string>{"open", "save"}));
    QCOMPARE(Lines(List1()), kReport);
    QVERIFY(form_->isVisible() && !form_->busy());
    Reset();
    if (action == "Exit") Click("Command2");
    if (action != "Exit") QVERIFY(form_->close());
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
    AnswerDialogs();
    form_->OpenProject(project.toLocalFile());
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
    QCOMPARE(Lines(List1()), kReport);

    Reset();
    AnswerDialogs();
    QVERIFY(!drop({QUrl::fromLocalFile(folder_.filePath("skin/button.zrm"))}));
    QVERIFY(!drop({project, project}));
    QVERIFY(drop({project}));
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});

    Reset();
    bool refused_while_busy = false;
    AnswerDialogs("save", [&] { refused_while_busy = !drop({project}); });
    form_->OpenProject(project.toLocalFile());
    QVERIFY(refused_while_busy);
    QCOMPARE(platform_.calls, std::vector<std::string>{"save"});
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
  // the package's path. act, when given, runs inside the first dialog of kind pause_in; a dialog
  // that a second build would open is cancelled.
  QString AnswerDialogs(const std::string& pause_in = "", std::function<void()> act = {}) {
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
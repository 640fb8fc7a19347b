// Qt Test of what the main window's report shows beyond the build's lines, and of the window's
// size: the skin's warnings, where a missing file was named, lines read whole and copied, the
// progress of a long write, and the controls' places at any size.
#include "app/qt/list_report.h"
#include "form1_harness.h"

using zrk::testing::Lines;

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { h_.Start(); }
  void cleanup() { h_.form.reset(); }

  // The warnings zrk check gives follow the files' lines, before the verdict; a missing file's
  // line shows whole on hover with where it was named, and the list scrolls sideways to its end.
  void warningsAndWhereAMissingFileWasNamed() {
    const QString missing = "img\\a_folder_name_far_too_long_for_the_width_of_the_report\\bg.bmp";
    QVERIFY(
        zrk::testing::WriteFile(h_.Path("skin/config.zrp"), "[MODULES]\r\nBackGround=bg.zrm\r\n"));
    QVERIFY(zrk::testing::WriteFile(
        h_.Path("skin/bg.zrm"),
        "\xEF\xBB\xBF[STANDARD]\r\nPicture=x.bmp\r\n[STANDARD]\r\nPicture=" + missing.toUtf8() +
            "\r\n"));
    h_.AnswerDialogs();
    h_.Click("Command1");
    const QStringList report = {
        "Создание списка файлов...",
        "Список файлов создан!",
        "Всего в проекте найдено 3 файл(ов)!",
        "Проверка существования файлов...",
        "config.zrp  [ok]",
        "bg.zrm  [ok]",
        missing + "  [err]",
        "предупреждение: bg.zrm: файл начинается с метки порядка байтов UTF-8: первая секция "
        "[STANDARD] не будет прочитана; сохраните файл в Windows-1251, без метки",
        "Ошибка... Файл не найден..."};
    QCOMPARE(Lines(h_.List1()), report);
    QCOMPARE(h_.List1()->TipOf(6), report[6] +
                                       "\nНазван в файле bg.zrm, секция [STANDARD], ключ "
                                       "Picture");
    QCOMPARE(h_.List1()->TipOf(5), report[5]);

    QScrollBar* sideways = h_.List1()->horizontalScrollBar();
    QVERIFY(sideways->maximum() > 0);
    sideways->setValue(sideways->maximum());
    const QRect line = h_.List1()->visualItemRect(h_.List1()->item(6));
    QVERIFY(line.width() >= h_.List1()->fontMetrics().horizontalAdvance(report[6]));
    QVERIFY(line.right() <= h_.List1()->viewport()->width());
  }

  // Ctrl+C copies the selected lines in report order; the context menu copies all of them.
  void copy() {
    h_.AnswerDialogs();
    h_.Click("Command1");
    zrk::app::ReportList* list = h_.List1();
    list->clearSelection();
    list->item(4)->setSelected(true);
    list->item(0)->setSelected(true);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "Создание списка файлов...\nconfig.zrp  [ok]");
    const QList<QAction*> menu = list->actions();
    QCOMPARE(list->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu[1]->text(), "Копировать все строки");
    menu[1]->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), Lines(list).join('\n'));
  }

  // A long write shows its text and bar in place of the notice, until it is over.
  void progressOverTheBottomRow() {
    auto* text = h_.form->findChild<QLabel*>("ProgressText");
    auto* bar = h_.form->findChild<QProgressBar*>("ProgressBar");
    auto* notice = h_.form->findChild<QLabel*>("Label2");
    zrk::app::ListReport report(h_.List1(), {text, bar, notice});
    report.ShowWriteProgress("Запись: 1 из 4 МБ", "img\\a.bmp", 1 << 20, 4 << 20);
    QVERIFY(text->isVisible() && bar->isVisible() && !notice->isVisible());
    QVERIFY(text->text().startsWith("Запись: 1 из 4 МБ, "));
    QCOMPARE(bar->value() * 4, bar->maximum());
    QVERIFY(!text->geometry().intersects(h_.form->findChild<QWidget*>("Command2")->geometry()));
    report.HideWriteProgress();
    QVERIFY(!text->isVisible() && !bar->isVisible() && notice->isVisible());
  }

  // The window opens at its original size, its smallest, with each control at its original
  // place; larger or maximised, each control keeps its distance to the edges it faces, and the
  // report and the lines take the room.
  void controlsFollowTheWindowsSize_data() {
    QTest::addColumn<QSize>("grown");
    QTest::newRow("original size") << QSize();
    QTest::newRow("larger") << QSize(640, 480);
    QTest::newRow("maximised") << QSize(-1, -1);
  }
  void controlsFollowTheWindowsSize() {
    QFETCH(QSize, grown);
    zrk::app::Form1& form = *h_.form;
    QCOMPARE(form.size(), QSize(299, 177));
    QCOMPARE(form.minimumSize(), QSize(299, 177));
    QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    if (grown == QSize(-1, -1)) {
      form.showMaximized();
      QTRY_VERIFY(form.width() > 299 && form.height() > 177);
    } else if (grown.isValid()) {
      form.resize(grown);
    }
    const int dx = form.width() - 299, dy = form.height() - 177;
    struct Place {
      const char* name;
      QRect original;
      bool move_x, move_y, grow_x, grow_y;
    };
    const Place places[] = {
        {"Label1", {8, 8, 212, 32}, false, false, true, false},
        {"Command1", {224, 8, 65, 25}, true, false, false, false},
        {"List1", {8, 40, 281, 92}, false, false, true, true},
        {"Line1_0", {8, 136, 281, 1}, false, true, true, false},
        {"Line1_1", {11, 137, 278, 1}, false, true, true, false},
        {"Command2", {224, 144, 65, 25}, true, true, false, false},
        {"Label2", {8, 144, 142, 13}, false, true, false, false},
    };
    for (const Place& place : places) {
      const QRect expected = place.original.translated(place.move_x ? dx : 0, place.move_y ? dy : 0)
                                 .adjusted(0, 0, place.grow_x ? dx : 0, place.grow_y ? dy : 0);
      QCOMPARE(form.findChild<QWidget*>(place.name)->geometry(), expected);
    }
  }

 private:
  zrk::testing::Form1Harness h_;
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"

// Qt Test of what the main window opens from outside: a project, a folder, a name that is not
// UTF-8, and packages, shown and extracted.
#include <QByteArray>
#include <filesystem>
#include <fstream>

#include "assembly/package_writer.h"
#include "form1_harness.h"

using zrk::MessageAnswer;
using zrk::testing::Lines;
using zrk::testing::ReportWritten;

class OpenWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { h_.Start(); }
  void cleanup() { h_.form.reset(); }

  // A folder opens the config.zrp in it, as with zrk; a project that is not there is said so
  // in a box, and nothing starts.
  void opensWhatIsGiven_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("box");  // "" for a build
    QTest::newRow("a folder builds its config.zrp") << "skin"
                                                    << "";
    QTest::newRow("a missing project")
        << "skin/none.zrp"
        << "Файл проекта '%1/skin/none.zrp' не найден. Сборка не начата.";
    QTest::newRow("a folder without a project")
        << "out"
        << "Файл проекта '%1/out/config.zrp' не найден. Сборка не начата.";
  }
  void opensWhatIsGiven() {
    QFETCH(QString, given);
    QFETCH(QString, box);
    const QString package = h_.AnswerDialogs();
    h_.form->Open(h_.Path(given).toStdString());
    if (box.isEmpty()) {
      QCOMPARE(Lines(h_.List1()), ReportWritten(package));
    } else {
      QCOMPARE(h_.boxes.shown, QStringList{box.arg(h_.folder.path())});
      QVERIFY(h_.platform.calls.empty() && h_.List1()->count() == 0);
    }
    QVERIFY(!h_.form->busy());
  }

  // A project in a folder whose name is Windows-1251 bytes, as an archive made on Windows
  // unpacks, builds from the command line's bytes and from a drop's URL alike.
  void folderNamedInWindows1251() {
    const QByteArray folder = QFile::encodeName(h_.folder.path()) + "/\xcf\xf0\xee\xe5\xea\xf2";
    QVERIFY(std::filesystem::create_directory(folder.toStdString()));
    std::ofstream(folder.toStdString() + "/config.zrp") << "[DIRECTIVES]\r\n";

    QString package = h_.AnswerDialogs();
    h_.form->Open(folder.toStdString());
    QCOMPARE(Lines(h_.List1()), ReportWritten(package));
    h_.Reset();
    package = h_.AnswerDialogs();
    QVERIFY(
        h_.Drop({QUrl::fromEncoded("file://" + folder.toPercentEncoding("/") + "/config.zrp")}));
    QCOMPARE(Lines(h_.List1()), ReportWritten(package));
  }

  // A package opens to its entries once it has been read whole, and offers to extract them: into
  // a new folder at once; over files there only after "Yes" to a question that names them; and
  // nothing at all when a name would lead out of the folder.
  void packageShownAndExtracted() {
    QVERIFY(zrk::testing::WriteFile(h_.Path("skin/img/a.bmp"), "BM"));
    QVERIFY(zrk::testing::WriteFile(h_.Path("evil.bmp"), "evil"));
    const std::string package = h_.Path("out/Skin.ZRK").toStdString();
    zrk::WritePackage(package, h_.Path("skin/config.zrp").toStdString(),
                      {"config.zrp", "img\\a.bmp"});
    QString into = h_.Path("into");
    h_.form->SetFolderChooser([&](const std::string&) { return into.toStdString(); });
    QVERIFY(QDir().mkpath(into));

    QVERIFY(h_.Drop({QUrl::fromLocalFile(QString::fromStdString(package))}));
    QCOMPARE(Lines(h_.List1()),
             (QStringList{"Содержимое пакета '" + QString::fromStdString(package) + "':",
                          "        14  config.zrp", "         2  img\\a.bmp",
                          "Всего в пакете 2 файл(ов), 16 байт",
                          "Извлечение файлов в папку '" + into + "'...",
                          "Извлечено файлов: 2 в папку '" + into + "'"}));
    QCOMPARE(h_.boxes.shown, QStringList{"Пакет проверен целиком. Извлечь его файлы в папку?"});
    QVERIFY(zrk::testing::WriteFile(into + "/img/a.bmp", "changed"));

    for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
      h_.Reset();
      h_.boxes.answers = {MessageAnswer::kYes, answer};
      h_.form->Open(package);
      QCOMPARE(h_.boxes.shown.value(1),
               "В папке '" + into + "' уже есть файлы пакета:\n" +
                   "config.zrp\nimg\\a.bmp\nЗаменить их файлами из пакета?");
      QFile extracted(into + "/img/a.bmp");
      QVERIFY(extracted.open(QIODevice::ReadOnly));
      QCOMPARE(extracted.readAll(), answer == MessageAnswer::kYes ? "BM" : "changed");
    }

    h_.Reset();
    into = h_.Path("into2");
    QVERIFY(QDir().mkpath(into));
    const std::string evil = h_.Path("out/evil.zrk").toStdString();
    zrk::WritePackage(evil, h_.Path("skin/config.zrp").toStdString(),
                      {"config.zrp", "..\\evil.bmp"});
    h_.form->Open(evil);
    QCOMPARE(h_.boxes.shown.value(1),
             "Файлы пакета не извлечены: некоторые из них нельзя записать в эту папку, поэтому не "
             "записан ни один. Подробности смотрите в отчете.");
    QVERIFY(Lines(h_.List1()).last().startsWith("Ошибка... "));
    QVERIFY(QDir(into).isEmpty());
  }

  // A broken package is said to be broken, where, in the report and in a box; nothing is asked.
  void brokenPackage() {
    QVERIFY(zrk::testing::WriteFile(h_.Path("out/broken.zrk"), "not a package"));
    h_.form->Open(h_.Path("out/broken.zrk").toStdString());
    const QString said =
        "Ошибка... пакет '" + h_.Path("out/broken.zrk") + "' повреждён: смещение 0";
    QCOMPARE(h_.boxes.shown.size(), 1);
    QVERIFY2(h_.boxes.shown[0].startsWith(said), qPrintable(h_.boxes.shown[0]));
    QCOMPARE(Lines(h_.List1()), h_.boxes.shown);
  }

 private:
  zrk::testing::Form1Harness h_;
};

QTEST_MAIN(OpenWindowTest)
#include "open_window_test.moc"

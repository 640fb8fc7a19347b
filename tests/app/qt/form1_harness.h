// What the Qt Test cases of the main window share: scripted message boxes and file dialogs, a
// shown window, a temporary folder with a skin, and the user's clicks and drops.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/qt/form1.h"
#include "app/qt/report_list.h"
#include "assembly/build_driver.h"
#include "dialogs/fake_dialog_platform.h"

namespace zrk::testing {

// Answers the boxes in order from answers ("Yes" once they run out), "OK" to the rest; keeps
// every text shown.
class FakeBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons buttons) override {
    shown << QString::fromStdString(text);
    if (buttons != MessageButtons::kYesNo) return MessageAnswer::kOk;
    if (answers.empty()) return MessageAnswer::kYes;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QStringList shown;
  std::deque<MessageAnswer> answers;
};

inline QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A shown window over a temporary folder that holds skin/config.zrp, a project that names no
// module, and an empty folder out/; dialogs cancel until told otherwise.
class Form1Harness {
 public:
  void Start() {
    QVERIFY(folder.isValid());
    QVERIFY(WriteFile(Path("skin/config.zrp"), "[DIRECTIVES]\r\n"));
    QVERIFY(QDir(folder.path()).mkpath("out"));
    form = std::make_unique<app::Form1>(&boxes);
    form->show();
    Reset();
  }
  void Reset() {
    platform.calls.clear();
    platform.answer = [](DialogRecord&) { return 0; };
    boxes.shown.clear();
    boxes.answers.clear();
  }

  QString Path(const QString& name) const { return folder.filePath(name); }
  app::ReportList* List1() const { return form->findChild<app::ReportList*>("List1"); }
  void Click(const char* button) {
    QTest::mouseClick(form->findChild<QPushButton*>(button), Qt::LeftButton);
  }

  // Drops urls on the window, as a file manager does; false when the window refuses them.
  bool Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &dropped);
    QTest::qWait(50);  // the build starts once the drop is over
    return true;
  }

  // Makes the dialogs choose project to open and a new package to save, and returns the
  // package's path; act, when given, runs inside each of the first two dialogs. A dialog that a
  // second build would open is cancelled.
  QString AnswerDialogs(std::function<void()> act = {}, const std::string& project = {}) {
    const std::string opened = project.empty() ? Path("skin/config.zrp").toStdString() : project;
    const QString package = Path(QString("out/package%1").arg(++packages_));
    platform.answer = [=, this](DialogRecord& record) -> std::int32_t {
      if (platform.calls.size() > 2) return 0;
      const std::string answer = platform.calls.back() == "open" ? opened : package.toStdString();
      if (act) act();
      StoreInBuffer(record.file, record.max_file, answer);
      return 1;
    };
    return package + ".zrk";
  }

  QTemporaryDir folder;
  FakeDialogPlatform platform;
  FakeBoxes boxes;
  std::unique_ptr<app::Form1> form;

 private:
  int packages_ = 0;
};

// The report of a build of the harness's skin, as the user reads it, up to the line that names
// the package.
// clang-format off
inline const QStringList kReport = {
    "Создание списка файлов...", "Список файлов создан!", "Всего в проекте найдено 1 файл(ов)!",
    "Проверка существования файлов...", "config.zrp  [ok]",
    "предупреждение: config.zrp: в проекте не назван ни один модуль, и в пакет попадёт только сам "
    "файл проекта; добавьте в секцию [MODULES] имена файлов модулей с ключами BackGround, Font, "
    "Picture, ToolTip или BackLayer (например, BackGround=modules\\bg.zrm)",
    "Проверка файлов успешно завершена!",
    "Подготовка к сборки zrk...", "Операция успешно завершена!"};
// clang-format on

// kReport and the line that names package, with its one file and size.
inline QStringList ReportWritten(const QString& package) {
  return kReport + QStringList{QString("Пакет '%1' записан: файлов 1, %2 байт")
                                   .arg(package)
                                   .arg(QFileInfo(package).size())};
}

}  // namespace zrk::testing

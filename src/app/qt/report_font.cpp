// The report's font.
#include "app/qt/report_font.h"

#include <QFontDatabase>
#include <QRegularExpression>

namespace zrk::app {

QStringList ReportFontFamilies() {
  return {"Courier New",    "Liberation Mono", "DejaVu Sans Mono", "Noto Sans Mono", "Noto Mono",
          "Nimbus Mono PS", "Consolas",        "Lucida Console",   "FreeMono"};
}

namespace {

// The installed families by their own names: a family that two foundries install is listed once
// per foundry, as "Name [Foundry]".
QStringList InstalledFamilies() {
  QStringList installed = QFontDatabase::families();
  installed.replaceInStrings(QRegularExpression(" \\[[^]]*\\]$"), QString());
  return installed;
}

}  // namespace

bool IsInstalled(const QString& family) {
  return InstalledFamilies().contains(family, Qt::CaseInsensitive);
}

QFont ReportFont() {
  constexpr int kPointSize = 9;
  const QStringList installed = InstalledFamilies();
  for (const QString& family : ReportFontFamilies()) {
    if (installed.contains(family, Qt::CaseInsensitive)) {
      QFont font(family, kPointSize);
      font.setStyleHint(QFont::Monospace);
      return font;
    }
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kPointSize);
  return font;
}

}  // namespace zrk::app

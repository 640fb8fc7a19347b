// The report's font: a fixed-pitch face chosen by name from those installed.
#pragma once

#include <QFont>
#include <QStringList>

namespace zrk::app {

/// The faces the report may take, in order of preference: Courier New, which the window was drawn
/// for, then fixed-pitch faces that Windows and Debian ship.
QStringList ReportFontFamilies();

/// Whether a family of that name is installed: its own name, not a substitute for it.
bool IsInstalled(const QString& family);

/// The first of ReportFontFamilies() that is installed, at 9 pt; the system's fixed font at 9 pt
/// when none is. A face is taken only by its installed name, never through a substitute that the
/// font configuration offers for a missing one.
QFont ReportFont();

}  // namespace zrk::app

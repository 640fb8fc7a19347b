// File names between Qt and the system: kept as the bytes the system names a file by.
#pragma once

#include <QString>
#include <QUrl>
#include <string>

namespace zrk::app {

/// The bytes the system names the file at path by, for a path Qt gives (QFile::encodeName).
std::string NativeBytes(const QString& path);

/// path, as the system gives its bytes, as text for Qt (QFile::decodeName). A name that is not
/// UTF-8 loses its bytes on the way: only for what Qt shows or opens itself.
QString QtPath(const std::string& path);

/// The bytes of the path of a local file URL as the system names the file: its percent escapes
/// decoded straight to bytes, so that a name that is not UTF-8 (a Windows-1251 folder, say)
/// arrives as the file manager sent it. "" for a URL that names no local file.
std::string LocalFileBytes(const QUrl& url);

}  // namespace zrk::app

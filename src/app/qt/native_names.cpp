// File names between Qt and the system.
#include "app/qt/native_names.h"

#include <QByteArray>
#include <QFile>

namespace zrk::app {

std::string NativeBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString QtPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string LocalFileBytes(const QUrl& url) {
  if (!url.isLocalFile()) return {};
  // Qt's text of the path would have replaced each byte that is not UTF-8; its escaped form still
  // holds them all.
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace zrk::app

// Russian for the few texts of Qt's own dialogs that Qt's translations leave in English.
#include "app/qt/russian_texts.h"

#include <cstring>

namespace zrk::app {
namespace {

struct MissingText {
  const char* context;
  const char* source;
  const char* russian;
};

// The kinds of file in the file dialog's "Тип" column: Qt 6 asks for them under a context that
// its Russian translation does not have yet.
constexpr MissingText kMissingTexts[] = {
    {"QAbstractFileIconProvider", "Folder", "Папка"},
    {"QAbstractFileIconProvider", "File Folder", "Папка"},
    {"QAbstractFileIconProvider", "Drive", "Диск"},
    {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
    {"QAbstractFileIconProvider", "Alias", "Псевдоним"},
    {"QAbstractFileIconProvider", "Unknown", "Неизвестно"},
};

}  // namespace

QString MissingRussianTexts::translate(const char* context, const char* source_text,
                                       const char* /*disambiguation*/, int /*n*/) const {
  if (context == nullptr || source_text == nullptr) return {};
  for (const MissingText& text : kMissingTexts) {
    if (std::strcmp(context, text.context) == 0 && std::strcmp(source_text, text.source) == 0) {
      return QString::fromUtf8(text.russian);
    }
  }
  return {};
}

}  // namespace zrk::app

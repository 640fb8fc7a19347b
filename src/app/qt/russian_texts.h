// Russian for the few texts of Qt's own dialogs that Qt's translations leave in English.
#pragma once

#include <QTranslator>

namespace zrk::app {

/// Answers the texts Qt's Russian translation lacks (the file dialog's "Folder" and the other
/// file kinds); every other text is left to the translators installed before it.
class MissingRussianTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source_text, const char* disambiguation,
                    int n) const override;
};

}  // namespace zrk::app

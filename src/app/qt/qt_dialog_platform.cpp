// Dialog records shown as Qt's own QFileDialog.
#include "app/qt/qt_dialog_platform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QShowEvent>
#include <QString>
#include <QStringList>
#include <string>

#include "app/qt/native_names.h"
#include "app/qt/qt_window_operations.h"
#include "app/window_texts.h"
#include "assembly/texts.h"

namespace zrk::app {
namespace {

enum class Mode { kOpen, kSave };

// A QFileDialog that calls the record's hook once, as it is first shown: its size is final then
// and it is not on screen yet, so the hook's move and captions are all the user ever sees.
class HookedFileDialog : public QFileDialog {
 public:
  HookedFileDialog(QWidget* parent, DialogRecord& record) : QFileDialog(parent), record_(record) {}

 protected:
  // A name typed into the save dialog whose folder is not there keeps the dialog open with a
  // word why, as the system's dialog does, rather than failing the build afterwards.
  void accept() override {
    const QStringList files = selectedFiles();
    if (acceptMode() == AcceptSave && !files.isEmpty()) {
      const QFileInfo chosen(files.first());
      if (!chosen.isDir() && !chosen.dir().exists()) {
        const std::string_view text = window_texts::kFolderNotFound;
        const std::string_view title = texts::kApplicationTitle;
        QMessageBox::warning(this, QString::fromUtf8(title.data(), static_cast<int>(title.size())),
                             QString::fromUtf8(text.data(), static_cast<int>(text.size()))
                                 .arg(QDir::toNativeSeparators(chosen.absolutePath())));
        return;
      }
    }
    QFileDialog::accept();
  }

  void showEvent(QShowEvent* event) override {
    // QDialog places itself in its own showEvent; the hook's position must come after that.
    QFileDialog::showEvent(event);
    if (hooked_ || event->spontaneous()) return;
    hooked_ = true;
    if ((record_.flags & kOfnEnableHook) == 0 || record_.hook == nullptr) return;
    record_.hook(HookWindow(), kWmInitDialog, 0, reinterpret_cast<std::intptr_t>(&record_));
  }

 private:
  // The hook is handed a window inside the dialog and finds the dialog as that window's parent.
  WindowHandle HookWindow() const {
    return HandleOf(findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
  }

  DialogRecord& record_;
  bool hooked_ = false;
};

// Where the name starts in path and where its extension starts (after the last "."; the end of
// the path when the name has none), in characters.
void StoreOffsets(DialogRecord& record, const std::string& path, const std::string& name) {
  const std::size_t path_chars = CountCharacters(path);
  const std::size_t name_start = path_chars - CountCharacters(name);
  const std::size_t dot = name.rfind('.');
  const std::size_t extension_start =
      dot == std::string::npos ? path_chars : name_start + CountCharacters(name.substr(0, dot + 1));
  record.file_offset = static_cast<std::uint16_t>(name_start);
  record.file_extension = static_cast<std::uint16_t>(extension_start);
}

// Qt name filters for a NUL-separated filter list: "description (patterns)", with ";" between
// patterns turned into the space Qt expects.
QStringList NameFilters(const std::string& filter_list) {
  QStringList filters;
  for (const FilterItem& item : ParseFilterList(filter_list)) {
    QString patterns = QString::fromStdString(item.pattern);
    patterns.replace(u';', u' ');
    // Qt reads the patterns from the last parenthesised group; HideNameFilterDetails shows the
    // text before it, which is the description as written.
    filters << QString::fromStdString(item.description) + QStringLiteral(" (") +
                   patterns.simplified() + QLatin1Char(')');
  }
  return filters;
}

std::int32_t ShowDialog(Mode mode, DialogRecord& record) {
  HookedFileDialog dialog(WidgetOf(record.owner), record);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (mode == Mode::kOpen) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The build asks its own overwrite question, after the dialog.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (record.flags & kOfnOverwritePrompt) == 0);
  }
  if (record.title) dialog.setWindowTitle(QString::fromStdString(*record.title));
  if (record.default_ext) dialog.setDefaultSuffix(QString::fromStdString(*record.default_ext));

  const QStringList filters = NameFilters(record.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const qsizetype index = record.filter_index >= 1 && record.filter_index <= filters.size()
                                ? static_cast<qsizetype>(record.filter_index) - 1
                                : 0;
    dialog.selectNameFilter(filters.at(index));
  }

  if (!record.initial_dir.empty()) {
    dialog.setDirectory(QtPath(record.initial_dir));
  }
  const std::string initial_name = BufferText(record.file);
  if (!initial_name.empty()) dialog.selectFile(QtPath(initial_name));

  if (dialog.exec() != QDialog::Accepted) return 0;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return 0;

  // The names as the system spells them, for the build to open.
  const std::string path = NativeBytes(QDir::toNativeSeparators(chosen.first()));
  const std::string name = NativeBytes(QFileInfo(chosen.first()).fileName());
  // A name that does not fit the buffers fails the dialog rather than coming back cut short.
  if (CountCharacters(path) >= record.max_file || CountCharacters(name) >= record.max_file_title) {
    return 0;
  }
  StoreInBuffer(record.file, record.max_file, path);
  StoreInBuffer(record.file_title, record.max_file_title, name);
  StoreOffsets(record, path, name);
  const qsizetype selected = filters.indexOf(dialog.selectedNameFilter());
  if (selected >= 0) record.filter_index = static_cast<std::uint32_t>(selected + 1);
  return 1;
}

}  // namespace

std::string ChooseFolderInDialog(const std::string& start) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  const std::string_view caption = window_texts::kChooseFolderCaption;
  dialog.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
  if (!start.empty()) dialog.setDirectory(QtPath(start));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return NativeBytes(dialog.selectedFiles().first());
}

std::int32_t QtDialogPlatform::ShowOpenDialog(DialogRecord& record) {
  return ShowDialog(Mode::kOpen, record);
}

std::int32_t QtDialogPlatform::ShowSaveDialog(DialogRecord& record) {
  return ShowDialog(Mode::kSave, record);
}

}  // namespace zrk::app

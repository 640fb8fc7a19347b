// A package opened in a window: its entries, and their extraction.
#include "app/package_view.h"

#include <new>
#include <vector>

#include "app/window_texts.h"
#include "assembly/package_extract.h"
#include "assembly/package_reader.h"
#include "assembly/texts.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "support/escape.h"
#include "support/mdlMain.h"

namespace zrk::app {
namespace {

// At most this many names of files to be replaced are listed in the question; the rest counted.
constexpr std::size_t kNamesAsked = 10;

void AddLine(WindowReportList& list, const std::string& line) { list.AddLine(Printable(line)); }

void SelectLast(WindowReportList& list) {
  list.SetSelectedIndex(static_cast<std::int16_t>(list.LineCount() - 1));
}

// The size right-aligned in a column as wide as the largest size an entry can have.
std::string SizeColumn(std::uint32_t size) {
  std::string column = std::to_string(size);
  constexpr std::size_t kWidth = 10;
  if (column.size() < kWidth) column.insert(0, kWidth - column.size(), ' ');
  return column;
}

// Tells the report what the look before writing found, and the progress of the writing; keeps
// the names that are there already, which the user may agree to replace.
class WindowExtractReport : public ExtractReport {
 public:
  explicit WindowExtractReport(WindowReportList& list) : list_(list) {}

  void Refused(const PackageEntry& entry, ExtractProblem problem,
               const std::string& message) override {
    if (problem == ExtractProblem::kExisting) {
      existing_.push_back(entry.name);
      return;
    }
    refused_ = true;
    AddLine(list_, std::string(texts::kErrorPrefix) + message);
  }
  void Repeated(const PackageEntry&, const std::string& message) override {
    AddLine(list_, message);
  }
  void Progress(std::uint64_t written, std::uint64_t total) override {
    list_.ShowProgress("", written, total);
    if (!pace_.Due()) return;
    list_.ShowWriteProgress(window_texts::ExtractingFiles(Megabytes(written), Megabytes(total)), "",
                            written, total);
  }

  bool refused() const { return refused_; }
  const std::vector<std::string>& existing() const { return existing_; }

 private:
  WindowReportList& list_;
  ProgressPace pace_;
  bool refused_ = false;
  std::vector<std::string> existing_;
};

// The names of the question about files to replace, one a line.
std::string NamesAsked(const std::vector<std::string>& names) {
  std::string asked;
  for (std::size_t i = 0; i < names.size() && i < kNamesAsked; ++i) {
    asked += (i == 0 ? "" : "\n") + Printable(names[i]);
  }
  if (names.size() > kNamesAsked) asked += "\n" + window_texts::AndMore(names.size() - kNamesAsked);
  return asked;
}

// Extracts every entry of reader into folder; asks before replacing files. Throws zrk::Error when
// the folder cannot be opened or a write fails.
void Extract(const PackageReader& reader, const std::string& folder, WindowReportList& list,
             MessageBoxes& boxes) {
  AddLine(list, window_texts::ExtractingInto(folder));
  SelectLast(list);
  platform::FileSystem& files = reader.file_system();
  std::error_code ec;
  ExtractTarget target{files.OpenFolder(folder, ec), {}, folder};
  if (ec) throw Error(window_texts::FolderNotOpened(folder, platform::ErrorText(ec)));
  const platform::ScopedFile open_target(files, target.folder);

  WindowExtractReport first(list);
  bool written = ExtractPackage(reader, target, {}, first);
  bool refused = first.refused();
  if (!written && !refused) {
    const std::string question =
        window_texts::ReplaceQuestion(folder, NamesAsked(first.existing()));
    if (boxes.Show(question, MessageIcon::kQuestion, MessageButtons::kYesNo) !=
        MessageAnswer::kYes) {
      AddLine(list, std::string(window_texts::kNothingReplaced));
      return SelectLast(list);
    }
    WindowExtractReport again(list);
    written = ExtractPackage(reader, target, {.replace_existing = true}, again);
    refused = !written;
  }
  list.HideWriteProgress();
  if (refused) {
    SelectLast(list);
    return boxes.ShowLastLine(std::string(window_texts::kExtractRefused), MessageIcon::kError);
  }
  AddLine(list, window_texts::Extracted(reader.entries().size(), folder));
  SelectLast(list);
}

// Lists the checked package's entries; then offers to extract them.
void ListAndOffer(const std::string& package_path, WindowReportList& list, MessageBoxes& boxes,
                  const ChooseFolder& choose_folder) {
  const PackageReader reader(package_path);
  AddLine(list, window_texts::PackageContents(package_path));
  std::uint64_t total = 0;
  for (const PackageEntry& entry : reader.entries()) {
    AddLine(list, SizeColumn(entry.size) + "  " + entry.name);
    total += entry.size;
  }
  AddLine(list, window_texts::PackageTotal(reader.entries().size(), total));
  SelectLast(list);
  if (reader.entries().empty()) return;
  const std::string question(window_texts::kExtractQuestion);
  if (boxes.Show(question, MessageIcon::kQuestion, MessageButtons::kYesNo) != MessageAnswer::kYes) {
    return;
  }
  const std::string folder = choose_folder(mdlMain::ParentFolder(package_path));
  if (!folder.empty()) Extract(reader, folder, list, boxes);
}

}  // namespace

void ShowPackage(const std::string& package_path, WindowReportList& list, MessageBoxes& boxes,
                 const ChooseFolder& choose_folder) {
  list.Clear();
  std::string failure;
  try {
    ListAndOffer(package_path, list, boxes, choose_folder);
  } catch (const Error& error) {
    failure = error.what();
  } catch (const std::bad_alloc&) {
    failure = std::string(platform::kOutOfMemory);
  }
  list.HideWriteProgress();
  if (failure.empty()) return;
  const std::string line = std::string(texts::kErrorPrefix) + failure;
  AddLine(list, line);
  SelectLast(list);
  boxes.ShowLastLine(line, MessageIcon::kError);
}

}  // namespace zrk::app

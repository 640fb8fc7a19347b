// What a window's report shows beyond the build's own lines.
#include "app/window_report.h"

#include <filesystem>

#include "app/window_texts.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/native_path.h"
#include "support/escape.h"

namespace zrk::app {

bool ProgressPace::Due(Clock::time_point now) {
  if (!started_) started_ = now;
  if (now - *started_ < kDelay || (shown_ && now - *shown_ < kPace)) return false;
  shown_ = now;
  return true;
}

std::uint64_t Megabytes(std::uint64_t bytes) {
  constexpr std::uint64_t kMegabyte = 1024 * 1024;
  return (bytes + kMegabyte / 2) / kMegabyte;
}

std::string WhereNamed(const NameOrigin& origin) {
  if (origin.kind == NameOrigin::Kind::kProjectFile) {
    return std::string(window_texts::kNamedAsProject);
  }
  return window_texts::NamedInIni(origin.file, origin.section, origin.key);
}

WindowBuildReport::~WindowBuildReport() {
  if (warnings_.valid()) warnings_.wait();
}

void WindowBuildReport::Clear() {
  list_.Clear();
  list_.HideWriteProgress();
  progress_shown_ = false;
  entries_ = 0;
  pace_ = {};
}

void WindowBuildReport::AddLine(const std::string& line) {
  if (std::exchange(progress_shown_, false)) list_.HideWriteProgress();
  list_.AddLine(Printable(line));
}

void WindowBuildReport::ShowProgress(const std::string& entry, std::uint64_t written,
                                     std::uint64_t total) {
  list_.ShowProgress(entry, written, total);
  if (!pace_.Due()) return;
  progress_shown_ = true;
  list_.ShowWriteProgress(window_texts::WritingPackage(Megabytes(written), Megabytes(total)),
                          Printable(entry), written, total);
}

void WindowBuildReport::FileListCollected(const ListedFiles& files) {
  list_.FileListCollected(files);
  // The build hands the names on and drops the list: the window keeps its own for the notes.
  listed_ = files;
  entries_ = listed_.names().size();
  // Looked for on the other core while this one tests the files, as zrk check looks.
  warnings_ = std::async(std::launch::async | std::launch::deferred, FindSkinWarnings,
                         project_path_, std::cref(listed_.names()), WarningScope::kEveryFile);
}

void WindowBuildReport::FileTested(std::size_t index, const std::string& name, bool found) {
  list_.FileTested(index, name, found);
  if (!found && index < listed_.names().size()) {
    list_.NoteLastLine(Printable(WhereNamed(listed_.OriginOf(index))));
  }
  if (index + 1 == listed_.names().size()) AddWarnings();
}

void WindowBuildReport::PreviewAdded(const std::string& name, const NameOrigin& origin) {
  list_.PreviewAdded(name, origin);
  ++entries_;
}

void WindowBuildReport::AddWarnings() {
  if (!warnings_.valid()) return;
  using namespace std::chrono_literals;
  while (warnings_.wait_for(50ms) == std::future_status::timeout) list_.StayResponsive();
  const std::vector<SkinWarning> warnings = warnings_.get();
  for (const SkinWarning& warning : warnings) {
    AddLine(std::string(window_texts::kWarningPrefix) + FormatWarning(warning));
  }
  if (!warnings.empty()) SelectLast();
}

void WindowBuildReport::BuildEnded(BuildOutcome outcome, const std::string& error_line) {
  list_.HideWriteProgress();
  if (outcome == BuildOutcome::kWritten) {
    const std::string package =
        mdlCdlg::SharedDialog().FileName() + std::string(texts::kPackageExtension);
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(platform::PathFromUtf8(package), ec);
    AddLine(window_texts::PackageWritten(package, entries_, ec ? 0 : size));
    SelectLast();
  }
  list_.BuildEnded(outcome, error_line);
}

}  // namespace zrk::app

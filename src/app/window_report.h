// What a window's report shows beyond the build's own lines: the skin's warnings, where each
// missing file was named, how far a long write has come, and the package written.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/build_driver.h"
#include "assembly/file_list.h"
#include "assembly/skin_warnings.h"

namespace zrk::app {

/// A window's report list: the build's Report, and what the window shows beside its lines.
class WindowReportList : public Report {
 public:
  /// Attaches note to the line added last: shown under the whole line while the pointer rests
  /// on it.
  virtual void NoteLastLine(const std::string& note) = 0;
  /// Shows figures (how far the write has come), the entry being written ("" for none) and a bar
  /// of written out of total bytes over the window's bottom row, until HideWriteProgress.
  virtual void ShowWriteProgress(const std::string& figures, const std::string& entry,
                                 std::uint64_t written, std::uint64_t total) = 0;
  virtual void HideWriteProgress() = 0;
  /// Lets the window repaint while the build waits for work done on another thread.
  virtual void StayResponsive() = 0;
};

/// When a write shows its progress: not in its first second, then at a human rate.
class ProgressPace {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kDelay = std::chrono::seconds(1);
  static constexpr auto kPace = std::chrono::milliseconds(100);

  /// Whether progress told at now is to be shown; the first call starts the write's clock.
  bool Due(Clock::time_point now = Clock::now());

 private:
  std::optional<Clock::time_point> started_, shown_;
};

/// Whole megabytes, rounded to the nearest.
std::uint64_t Megabytes(std::uint64_t bytes);

/// What a window says of where the listed file was named: the INI file, section and key.
std::string WhereNamed(const NameOrigin& origin);

/// The Report a window gives a build: the build's lines go to list as they come; the skin's
/// warnings, worked out on another thread while the files are tested, follow the last file's
/// line, one "предупреждение: " line each; a missing file's line gets a note of where it was
/// named; a write longer than a second shows its progress until the next line; and a build that
/// wrote its package ends on a line naming the package (its save name in the shared dialog), its
/// files and size. Lines are shown escaped (Printable), so that each stays one line.
class WindowBuildReport : public Report {
 public:
  /// A report of the build of the project at project_path on list.
  WindowBuildReport(WindowReportList& list, std::string project_path)
      : list_(list), project_path_(std::move(project_path)) {}
  /// Waits for the warnings, should the build have ended before they were wanted.
  ~WindowBuildReport() override;
  WindowBuildReport(const WindowBuildReport&) = delete;
  WindowBuildReport& operator=(const WindowBuildReport&) = delete;

  void Clear() override;
  /// A line after a write's progress says that the write is over: the progress goes.
  void AddLine(const std::string& line) override;
  std::int16_t LineCount() const override { return list_.LineCount(); }
  void SetSelectedIndex(std::int16_t index) override { list_.SetSelectedIndex(index); }
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) override;
  void FileListCollected(const ListedFiles& files) override;
  void FileTested(std::size_t index, const std::string& name, bool found) override;
  void PreviewAdded(const std::string& name, const NameOrigin& origin) override;
  void BuildEnded(BuildOutcome outcome, const std::string& error_line) override;

 private:
  void AddWarnings();
  void SelectLast() { list_.SetSelectedIndex(static_cast<std::int16_t>(list_.LineCount() - 1)); }

  WindowReportList& list_;
  std::string project_path_;
  ListedFiles listed_;
  std::size_t entries_ = 0;  // the files the package holds: the list and the preview picture
  ProgressPace pace_;
  bool progress_shown_ = false;
  std::future<std::vector<SkinWarning>> warnings_;  // last: joined before listed_ goes
};

}  // namespace zrk::app

// The build's report and message boxes on a terminal.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "assembly/build_driver.h"

namespace zrk::cli {

/// Prints each report line to out as the build adds it (none when quiet), and, when progress
/// goes to a terminal, how far a write that lasts more than a second has come, on one line that
/// is erased again.
class ConsoleReport : public Report {
 public:
  /// progress is the terminal for the progress line, or null for none.
  ConsoleReport(std::ostream& out, bool quiet, std::ostream* progress);
  ~ConsoleReport() override { EraseProgress(); }

  void Clear() override;
  void AddLine(const std::string& line) override;
  std::int16_t LineCount() const override;
  void SetSelectedIndex(std::int16_t) override {}
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) override;
  void FileListCollected(const std::vector<std::string>& files) override {
    if (on_collected_) on_collected_(files);
  }

  /// Runs action once, just before the line that follows the next lines lines (or at Finish):
  /// for what must be said before the build's verdict but may be worked out meanwhile.
  void BeforeLine(std::size_t lines, std::function<void()> action) {
    lines_to_wait_ = lines;
    before_line_ = std::move(action);
  }

  /// Runs what BeforeLine still holds.
  void Finish() {
    if (before_line_) std::exchange(before_line_, nullptr)();
  }

  /// Has collected called with the file list when the build has collected it.
  void OnFileListCollected(std::function<void(const std::vector<std::string>&)> collected) {
    on_collected_ = std::move(collected);
  }

  /// The last line printed to out; empty when quiet.
  const std::string& last_printed() const { return last_printed_; }
  bool quiet() const { return quiet_; }

  /// Whether the build has added the preview picture to the package's entries.
  bool preview_found() const { return preview_found_; }

  /// Keeps every line added from now on in lines too, printed or not.
  void KeepLines(std::vector<std::string>* lines) { kept_ = lines; }

 private:
  void EraseProgress();

  std::ostream& out_;
  bool out_is_terminal_;
  bool quiet_;
  std::ostream* progress_;
  std::size_t lines_ = 0;
  std::string last_printed_;
  std::vector<std::string>* kept_ = nullptr;
  bool preview_found_ = false;
  std::function<void(const std::vector<std::string>&)> on_collected_;
  std::function<void()> before_line_;
  std::size_t lines_to_wait_ = 0;
  std::chrono::steady_clock::time_point write_started_{}, progress_shown_{};
  bool progress_on_screen_ = false;
};

/// Answers the build's questions without a window. Box texts go to err, except where the report
/// has just printed the same line, and, when the report is quiet, all but errors. The cancel
/// question is answered "Yes"; the overwrite question "Yes" with force, else by the user when stdin
/// is a terminal, and "No" otherwise.
class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::ostream& err, bool force, const ConsoleReport& report)
      : err_(err), force_(force), report_(report) {}
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  MessageAnswer Ask(Question question, const std::string& text) override;

 private:
  std::ostream& err_;
  bool force_;
  const ConsoleReport& report_;
};

}  // namespace zrk::cli

// The build's report and message boxes on a terminal.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "assembly/build_driver.h"
#include "cli/skin_check.h"

namespace zrk::cli {

/// Prints each report line to out as the build adds it (none when quiet), and, when progress
/// goes to a terminal, how far a write that lasts more than a second has come, on one line that
/// is erased again. Keeps in findings what the build's events tell: the list, which files were
/// found, the preview, the error line.
class ConsoleReport : public Report {
 public:
  /// progress is the terminal for the progress line, or null for none.
  ConsoleReport(std::ostream& out, bool quiet, std::ostream* progress, SkinFindings& findings);
  ~ConsoleReport() override { EraseProgress(); }

  void Clear() override;
  void AddLine(const std::string& line) override;
  std::int16_t LineCount() const override;
  void SetSelectedIndex(std::int16_t) override {}
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) override;
  void FileListCollected(const ListedFiles& files) override;
  void FileTested(std::size_t index, const std::string& name, bool found) override;
  void PreviewAdded(const std::string& name, const NameOrigin& /*origin*/) override {
    findings_.preview = name;
  }
  void BuildEnded(BuildOutcome outcome, const std::string& error_line) override;
  void FileWritten(std::size_t index, const SourceSeen& seen) override {
    if (on_written_) on_written_(index, seen);
  }

  /// Has written called for each entry written into the package, with what was seen of its file.
  void OnFileWritten(std::function<void(std::size_t, const SourceSeen&)> written) {
    on_written_ = std::move(written);
  }

  /// Has collected called when the build has collected the file list (in findings by then).
  void OnFileListCollected(std::function<void()> collected) {
    on_collected_ = std::move(collected);
  }

  /// Runs action once, when the last file of the list has been tested, just before the build's
  /// next line, or when the build ends before that: for what must be said before the build's
  /// verdict but may be worked out meanwhile.
  void AfterFilesTested(std::function<void()> action) { after_tested_ = std::move(action); }

  /// Called before a box is shown: a box after the last test is the build's verdict, and what
  /// AfterFilesTested has to say comes first.
  void BeforeBox() {
    if (all_tested_) RunAfterFilesTested();
  }

  bool quiet() const { return quiet_; }

 private:
  void EraseProgress();
  void RunAfterFilesTested();

  std::ostream& out_;
  bool out_is_terminal_;
  bool quiet_;
  std::ostream* progress_;
  SkinFindings& findings_;
  std::size_t lines_ = 0;
  std::function<void()> on_collected_;
  std::function<void()> after_tested_;
  std::function<void(std::size_t, const SourceSeen&)> on_written_;
  bool all_tested_ = false;
  std::chrono::steady_clock::time_point write_started_{}, progress_shown_{};
  bool progress_on_screen_ = false;
};

/// Answers the build's questions without a window. Box texts go to err, except the one that ends
/// a build where the report has printed its line, and, when the report is quiet, all but errors.
/// The cancel question is answered "Yes"; the overwrite question "Yes" with force, else by the user
/// when stdin is a terminal, and "No" otherwise.
class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::ostream& err, bool force, ConsoleReport& report)
      : err_(err), force_(force), report_(report) {}
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  MessageAnswer Ask(Question question, const std::string& text) override;
  void ShowLastLine(const std::string& text, MessageIcon icon) override;

 private:
  std::ostream& err_;
  bool force_;
  ConsoleReport& report_;
};

}  // namespace zrk::cli

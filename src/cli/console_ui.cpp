// The build's report and message boxes on a terminal.
#include "cli/console_ui.h"

#include <iostream>
#include <string>

#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "platform/native_path.h"
#include "support/escape.h"

namespace zrk::cli {
namespace {

using Clock = std::chrono::steady_clock;

// A write shorter than this shows no progress; a longer one is redrawn at this pace.
constexpr auto kProgressDelay = std::chrono::seconds(1);
constexpr auto kProgressPace = std::chrono::milliseconds(100);

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + 512 * 1024) / (1024 * 1024)) + cli_texts::kMegabytes;
}

}  // namespace

ConsoleReport::ConsoleReport(std::ostream& out, bool quiet, std::ostream* progress,
                             SkinFindings& findings)
    : out_(out),
      out_is_terminal_(&out == &std::cout && IsTerminal(Stream::kOutput)),
      quiet_(quiet),
      progress_(progress),
      findings_(findings) {}

void ConsoleReport::Clear() {
  lines_ = 0;
  findings_.listed = {};
  findings_.found.clear();
  findings_.tested = 0;
  findings_.preview.clear();
  findings_.error_line.clear();
}

void ConsoleReport::AddLine(const std::string& line) {
  if (all_tested_) RunAfterFilesTested();
  ++lines_;
  if (quiet_) return;
  EraseProgress();
  // A terminal shows each line as it comes; a file or pipe gets the report in large writes
  // instead of one per file.
  out_ << Printable(line) << '\n';
  if (out_is_terminal_) out_.flush();
}

std::int16_t ConsoleReport::LineCount() const {
  return ClampedLineCount(static_cast<std::int64_t>(lines_));
}

void ConsoleReport::ShowProgress(const std::string& entry, std::uint64_t written,
                                 std::uint64_t total) {
  if (progress_ == nullptr) return;
  const Clock::time_point now = Clock::now();
  if (write_started_ == Clock::time_point{}) write_started_ = now;
  if (now - write_started_ < kProgressDelay || now - progress_shown_ < kProgressPace) return;
  progress_shown_ = now;
  out_.flush();
  *progress_ << "\r\033[K"
             << Printable(cli_texts::Progress(Megabytes(written), Megabytes(total), entry))
             << std::flush;
  progress_on_screen_ = true;
}

void ConsoleReport::FileListCollected(const ListedFiles& files) {
  findings_.listed = files;
  findings_.found.assign(files.names().size(), false);
  if (on_collected_) on_collected_();
}

void ConsoleReport::FileTested(std::size_t index, const std::string& /*name*/, bool found) {
  if (index >= findings_.found.size()) return;
  findings_.found[index] = found;
  findings_.tested = index + 1;
  all_tested_ = index + 1 == findings_.found.size();
}

void ConsoleReport::BuildEnded(BuildOutcome /*outcome*/, const std::string& error_line) {
  findings_.error_line = error_line;
  RunAfterFilesTested();
}

void ConsoleReport::RunAfterFilesTested() {
  all_tested_ = false;
  if (after_tested_) std::exchange(after_tested_, nullptr)();
}

void ConsoleReport::EraseProgress() {
  if (!progress_on_screen_) return;
  *progress_ << "\r\033[K" << std::flush;
  progress_on_screen_ = false;
}

MessageAnswer ConsoleMessageBoxes::Show(const std::string& text, MessageIcon icon,
                                        MessageButtons /*buttons*/) {
  report_.BeforeBox();
  std::cout.flush();  // the report so far comes first, also when both go to one file
  // Only boxes with "OK" come here: the build asks its questions through Ask.
  if (!report_.quiet() || icon == MessageIcon::kError) {
    err_ << Printable(text) << '\n' << std::flush;
  }
  return MessageAnswer::kOk;
}

void ConsoleMessageBoxes::ShowLastLine(const std::string& text, MessageIcon icon) {
  report_.BeforeBox();
  std::cout.flush();
  // The report has printed the line, unless it is quiet; then only an error is said.
  if (report_.quiet() && icon == MessageIcon::kError) err_ << Printable(text) << '\n' << std::flush;
}

MessageAnswer ConsoleMessageBoxes::Ask(Question question, const std::string& text) {
  report_.BeforeBox();
  std::cout.flush();  // the report so far comes first
  // The save name was refused (no terminal, or a name zrk was not given): nothing to go back to.
  if (question == Question::kCancelBuild) return MessageAnswer::kYes;
  if (force_) return MessageAnswer::kYes;
  if (!IsTerminal(Stream::kInput)) return MessageAnswer::kNo;
  err_ << Printable(text) << cli_texts::kYesOrNo << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  const std::size_t start = answer.find_first_not_of(" \t\r");
  const std::size_t end = answer.find_last_not_of(" \t\r");
  answer = start == std::string::npos ? std::string() : answer.substr(start, end - start + 1);
  const std::string folded = platform::FoldCase(answer);
  for (const std::string_view yes : cli_texts::kYesAnswers) {
    if (folded == yes) return MessageAnswer::kYes;
  }
  return MessageAnswer::kNo;
}

}  // namespace zrk::cli

// The build's report and message boxes on a terminal.
#include "cli/console_ui.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "assembly/texts.h"

namespace zrk::cli {

void ConsoleReport::Clear() { lines_ = 0; }

void ConsoleReport::AddLine(const std::string& line) {
  // A terminal shows each line as it comes (the stream is line-buffered there); a file or pipe
  // gets the report in large writes instead of one per file.
  out_ << line << '\n';
  ++lines_;
}

std::int16_t ConsoleReport::LineCount() const {
  return ClampedLineCount(static_cast<std::int64_t>(lines_));
}

MessageAnswer ConsoleMessageBoxes::Show(const std::string& text, MessageIcon,
                                        MessageButtons buttons) {
  std::cout.flush();  // the report so far comes first, also when both go to one file
  if (buttons == MessageButtons::kOk) {
    err_ << text << '\n' << std::flush;
    return MessageAnswer::kOk;
  }
  // The only questions are the cancel question, asked once the save name is refused, and the
  // overwrite question.
  if (text == texts::kCancelQuestion) return MessageAnswer::kYes;
  if (force_) return MessageAnswer::kYes;
  err_ << text << " [y/N] " << std::flush;
  if (!::isatty(STDIN_FILENO)) {
    err_ << "\n";
    return MessageAnswer::kNo;
  }
  std::string answer;
  std::getline(std::cin, answer);
  const bool yes = answer == "y" || answer == "Y" || answer == "yes" || answer == "д" ||
                   answer == "да" || answer == "Д";
  return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace zrk::cli

// The build's report and message boxes on a terminal.
#pragma once

#include <iosfwd>
#include <vector>

#include "assembly/build_driver.h"

namespace zrk::cli {

/// Prints each report line to out as soon as the build adds it.
class ConsoleReport : public Report {
 public:
  explicit ConsoleReport(std::ostream& out) : out_(out) {}
  void Clear() override;
  void AddLine(const std::string& line) override;
  std::int16_t LineCount() const override;
  void SetSelectedIndex(std::int16_t) override {}

 private:
  std::ostream& out_;
  std::size_t lines_ = 0;
};

/// Answers the build's questions without a window: texts go to err; the cancel question is
/// answered "Yes"; the overwrite question "Yes" with force, by the user when stdin is a
/// terminal, and "No" otherwise.
class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::ostream& err, bool force) : err_(err), force_(force) {}
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;

 private:
  std::ostream& err_;
  bool force_;
};

}  // namespace zrk::cli

// What zrk check and zrk build say about a skin beyond the report.
#include "cli/skin_check.h"

#include <iostream>

#include "cli/cli_texts.h"
#include "cli/escape.h"

namespace zrk::cli {
namespace {

std::string_view Verdict(BuildOutcome outcome) {
  switch (outcome) {
    case BuildOutcome::kWritten:
      return "written";
    case BuildOutcome::kChecked:
      return "ok";
    case BuildOutcome::kFilesMissing:
      return "missing";
    case BuildOutcome::kCancelled:
    case BuildOutcome::kNotReplaced:
      return "not-written";
    case BuildOutcome::kFailed:
      return "failed";
  }
  return "failed";
}

}  // namespace

void PrintWarnings(const std::vector<SkinWarning>& warnings, std::ostream& err) {
  for (const SkinWarning& warning : warnings) {
    err << cli_texts::kWarningPrefix << Printable(FormatWarning(warning)) << '\n';
  }
}

void PrintUnused(const std::vector<UnusedFile>& unused, std::ostream& out) {
  std::uint64_t total = 0;
  for (const UnusedFile& file : unused) {
    out << Printable(cli_texts::UnusedFile(file.name, file.size)) << '\n';
    total += file.size;
  }
  out << cli_texts::UnusedTotal(unused.size(), total) << '\n';
}

void PrintCheckJson(const SkinFindings& findings, BuildOutcome outcome,
                    const std::vector<UnusedFile>* unused, std::ostream& out) {
  out << "{\n  \"verdict\": " << JsonString(std::string(Verdict(outcome)));
  if (outcome == BuildOutcome::kFailed && !findings.error_line.empty()) {
    out << ",\n  \"error\": " << JsonString(findings.error_line);
  }
  out << ",\n  \"files\": [";
  for (std::size_t i = 0; i < findings.files.size(); ++i) {
    const bool found = i < findings.found.size() && findings.found[i];
    out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(findings.files[i])
        << ", \"found\": " << (found ? "true" : "false") << "}";
  }
  out << (findings.files.empty() ? "]" : "\n  ]") << ",\n  \"warnings\": [";
  for (std::size_t i = 0; i < findings.warnings.size(); ++i) {
    const SkinWarning& warning = findings.warnings[i];
    out << (i == 0 ? "\n" : ",\n") << "    {\"file\": " << JsonString(warning.file)
        << ", \"section\": " << JsonString(warning.section)
        << ", \"key\": " << JsonString(warning.key) << ", \"text\": " << JsonString(warning.text)
        << "}";
  }
  out << (findings.warnings.empty() ? "]" : "\n  ]");
  if (unused != nullptr) {
    out << ",\n  \"unused\": [";
    for (std::size_t i = 0; i < unused->size(); ++i) {
      out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString((*unused)[i].name)
          << ", \"size\": " << (*unused)[i].size << "}";
    }
    out << (unused->empty() ? "]" : "\n  ]");
  }
  out << "\n}\n";
}

}  // namespace zrk::cli

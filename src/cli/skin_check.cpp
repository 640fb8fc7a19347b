// What zrk check and zrk build say about a skin beyond the report.
#include "cli/skin_check.h"

#include <iostream>

#include "cli/cli_texts.h"
#include "support/escape.h"

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

// Where a name was named, as a missing file's line says it: "mods\btn.zrm [STANDARD] Mask".
std::string NamedIn(const NameOrigin& origin) {
  switch (origin.kind) {
    case NameOrigin::Kind::kProjectFile:
      return cli_texts::kNamedByProject;
    case NameOrigin::Kind::kPreview:
      return cli_texts::kNamedAsPreview;
    case NameOrigin::Kind::kIniValue:
      break;
  }
  return origin.file + " [" + origin.section + "] " + origin.key;
}

// One file of the JSON list: its name, where it was named and whether it was found.
std::string FileJson(const std::string& name, const NameOrigin& origin, bool found) {
  std::string json = "{\"name\": " + JsonString(name) +
                     ", \"found\": " + (found ? "true" : "false") + ", \"origin\": {\"kind\": ";
  switch (origin.kind) {
    case NameOrigin::Kind::kProjectFile:
      return json + "\"project\"}}";
    case NameOrigin::Kind::kPreview:
      return json + "\"preview\"}}";
    case NameOrigin::Kind::kIniValue:
      break;
  }
  return json + "\"ini\", \"file\": " + JsonString(origin.file) +
         ", \"section\": " + JsonString(origin.section) + ", \"key\": " + JsonString(origin.key) +
         "}}";
}

}  // namespace

// Both print in one write: stderr flushes at every output, and a skin may give thousands of lines.

void PrintMissing(const SkinFindings& findings, std::ostream& err) {
  const std::vector<std::string>& names = findings.listed.names();
  std::string lines;
  for (std::size_t i = 0; i < findings.tested && i < names.size(); ++i) {
    if (findings.found[i]) continue;
    lines += Printable(cli_texts::MissingFile(names[i], NamedIn(findings.listed.OriginOf(i))));
    lines += '\n';
  }
  err << lines;
}

void PrintWarnings(const std::vector<SkinWarning>& warnings, std::ostream& err) {
  std::string lines;
  for (const SkinWarning& warning : warnings) {
    lines += cli_texts::kWarningPrefix + Printable(FormatWarning(warning)) + '\n';
  }
  err << lines;
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
  const std::vector<std::string>& names = findings.listed.names();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool found = i < findings.tested && findings.found[i];
    out << (i == 0 ? "\n    " : ",\n    ")
        << FileJson(names[i], findings.listed.OriginOf(i), found);
  }
  if (!findings.preview.empty()) {
    const NameOrigin preview{NameOrigin::Kind::kPreview, "", "", ""};
    out << (names.empty() ? "\n    " : ",\n    ") << FileJson(findings.preview, preview, true);
  }
  out << (names.empty() && findings.preview.empty() ? "]" : "\n  ]") << ",\n  \"warnings\": [";
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

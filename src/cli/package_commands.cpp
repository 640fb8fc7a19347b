// zrk list and zrk extract: looking into a package.
#include <filesystem>
#include <iostream>
#include <set>
#include <vector>

#include "assembly/package_extract.h"
#include "assembly/package_reader.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;

// The name on one line of plain output: control characters, which could start a line of their
// own or drive the terminal, are shown as \n, \t, \xHH; a backslash stays as it is.
std::string PlainName(const std::string& name) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// Prints what extraction tells, names escaped; remembers whether anything but files already
// there stopped it.
class ConsoleExtractReport : public ExtractReport {
 public:
  explicit ConsoleExtractReport(std::string folder) : folder_(std::move(folder)) {}

  void Refused(const PackageEntry& entry, ExtractProblem problem,
               const std::string& message) override {
    if (problem != ExtractProblem::kExisting) {
      failed_ = true;
      Say(PlainName(message));
      return;
    }
    Say(PlainName(cli_texts::AlreadyInFolder(entry.name, folder_)));
  }
  void Repeated(const PackageEntry&, const std::string& message) override {
    Say(PlainName(message));
  }

  bool failed() const { return failed_; }

 private:
  std::string folder_;
  bool failed_ = false;
};

// Opens the folder extraction writes into; where it is missing, its nearest folder that is there,
// with the names of the folders to make beneath it, so that a refused package makes nothing.
ExtractTarget OpenTarget(platform::FileSystem& files, const std::string& folder) {
  ExtractTarget target;
  target.name = folder;
  fs::path there = platform::PathFromUtf8(folder);
  std::error_code ec;
  while (!there.empty() && fs::symlink_status(there, ec).type() == fs::file_type::not_found) {
    const fs::path name = there.filename();
    if (name == "..") break;  // the open below says what is missing
    if (!name.empty() && name != ".") {
      target.missing.insert(target.missing.begin(), platform::Utf8FromPath(name));
    }
    there = there.parent_path();
  }
  const std::string open = there.empty() ? "." : platform::Utf8FromPath(there);
  target.folder = files.OpenFolder(open, ec);
  if (ec) throw Error(cli_texts::FolderNotOpened(open, platform::ErrorText(ec)));
  return target;
}

// The package's names that names spell as zrk list prints them; throws for one it lacks.
std::set<std::string> EntriesNamed(const PackageReader& reader, const std::string& package,
                                   const std::vector<std::string>& names) {
  std::set<std::string> taken;
  for (const std::string& name : names) {
    bool found = false;
    for (const PackageEntry& entry : reader.entries()) {
      if (PlainName(entry.name) != name) continue;
      taken.insert(entry.name);
      found = true;
    }
    if (!found) throw Error(cli_texts::NoSuchEntry(name, package));
  }
  return taken;
}

}  // namespace

std::string EntryNameShown(const std::string& name) { return PlainName(name); }

int RunList(const std::string& package, bool json) {
  // Validated whole first, then read again entry by entry, so that memory stays the same
  // whatever the number of entries and nothing is printed of a broken package.
  const PackageReader reader(package, PackageReader::Index::kValidateOnly);
  bool first = true;
  if (json) std::cout << "[";
  reader.ForEachEntry([&](const PackageEntry& entry) {
    if (json) {
      std::cout << (first ? "\n" : ",\n") << "  {\"name\": " << JsonString(entry.name)
                << ", \"size\": " << entry.size << "}";
    } else {
      std::cout << entry.size << '\t' << PlainName(entry.name) << '\n';
    }
    first = false;
  });
  if (json) std::cout << "\n]\n";
  return kExitOk;
}

int RunExtract(const std::string& package, const std::string& folder, bool force,
               const std::vector<std::string>& names) {
  try {
    const PackageReader reader(package);
    std::set<std::string> only = EntriesNamed(reader, package, names);
    platform::FileSystem& files = reader.file_system();
    ExtractTarget target = OpenTarget(files, folder);
    const platform::ScopedFile open_target(files, target.folder);
    ConsoleExtractReport report(folder);
    if (ExtractPackage(reader, target, {.replace_existing = force, .only = std::move(only)},
                       report))
      return kExitOk;
    return report.failed() ? kExitFailed : kExitNotWritten;
  } catch (const Error& failure) {
    // The message names entries of the package: escaped, as everywhere else here.
    Say(PlainName(failure.what()));
    return kExitFailed;
  }
}

}  // namespace zrk::cli

// zrk list and zrk extract: looking into a package.
#include <filesystem>
#include <iostream>

#include "assembly/package_extract.h"
#include "assembly/package_reader.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/escape.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;

// Prints what extraction tells (Say escapes the names); remembers whether anything but files
// already there stopped it.
class ConsoleExtractReport : public ExtractReport {
 public:
  explicit ConsoleExtractReport(std::string folder) : folder_(std::move(folder)) {}

  void Refused(const PackageEntry& entry, ExtractProblem problem,
               const std::string& message) override {
    if (problem != ExtractProblem::kExisting) {
      failed_ = true;
      Say(message);
      return;
    }
    Say(cli_texts::AlreadyInFolder(entry.name, folder_));
  }
  void Repeated(const PackageEntry&, const std::string& message) override { Say(message); }

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

}  // namespace

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
      std::cout << entry.size << '\t' << Printable(entry.name) << '\n';
    }
    first = false;
  });
  if (json) std::cout << "\n]\n";
  return kExitOk;
}

int RunExtract(const std::string& package, const std::string& folder, bool force) {
  const PackageReader reader(package);
  platform::FileSystem& files = reader.file_system();
  ExtractTarget target = OpenTarget(files, folder);
  const platform::ScopedFile open_target(files, target.folder);
  ConsoleExtractReport report(folder);
  if (ExtractPackage(reader, target, {.replace_existing = force}, report)) return kExitOk;
  return report.failed() ? kExitFailed : kExitNotWritten;
}

}  // namespace zrk::cli

// zrk list and zrk extract: looking into a package.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/package_extract.h"
#include "assembly/package_reader.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/scratch_file.h"
#include "support/escape.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;

// Up to this much of a listing is held in memory; the rest of a longer one in a scratch file.
constexpr std::size_t kHeldInMemory = 1024 * 1024;

// Output held back until all of it may be printed: in memory up to kHeldInMemory bytes, past that
// in a scratch file, so that memory stays the same however long it grows. Throws zrk::Error when
// the scratch file fails.
class HeldOutput {
 public:
  HeldOutput() = default;
  ~HeldOutput() {
    if (file_ != nullptr) std::fclose(file_);
  }
  HeldOutput(const HeldOutput&) = delete;
  HeldOutput& operator=(const HeldOutput&) = delete;

  void Append(std::string_view text) {
    if (file_ == nullptr && memory_.size() + text.size() <= kHeldInMemory) {
      memory_ += text;
      return;
    }
    if (file_ == nullptr) Spill();
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail();
  }

  void PrintTo(std::ostream& out) {
    if (file_ == nullptr) {
      out << memory_;
      return;
    }
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) Fail();
    std::vector<char> buffer(64 * 1024);
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file_)) {
      out.write(buffer.data(), static_cast<std::streamsize>(n));
    }
    if (std::ferror(file_)) Fail();
  }

 private:
  void Spill() {
    std::error_code ec;
    file_ = platform::OpenScratchFile(ec);
    if (file_ == nullptr) throw Error(cli_texts::ListingNotHeld(platform::ErrorText(ec)));
    const std::string held = std::exchange(memory_, {});
    Append(held);
  }
  [[noreturn]] void Fail() {
    const std::error_code ec(errno, std::generic_category());
    throw Error(cli_texts::ListingNotHeld(platform::ErrorText(ec)));
  }

  std::string memory_;
  std::FILE* file_ = nullptr;
};

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

// The package's names that names spell as zrk list prints them; throws for one it lacks.
std::set<std::string> EntriesNamed(const PackageReader& reader, const std::string& package,
                                   const std::vector<std::string>& names) {
  std::set<std::string> taken;
  for (const std::string& name : names) {
    bool found = false;
    for (const PackageEntry& entry : reader.entries()) {
      if (Printable(entry.name) != name) continue;
      taken.insert(entry.name);
      found = true;
    }
    if (!found) throw Error(cli_texts::NoSuchEntry(name, package));
  }
  return taken;
}

// size in the largest unit of 1024 it reaches, one decimal below 10: "512 Б", "1,5 КБ", "12 МБ".
std::string ReadableSize(std::uint64_t size) {
  std::size_t unit = 0;
  std::uint64_t scale = 1;
  while (unit + 1 < std::size(cli_texts::kSizeUnits) && size >= scale * 1024) {
    ++unit;
    scale *= 1024;
  }
  if (unit == 0) return std::to_string(size) + cli_texts::kSizeUnits[0];
  // In tenths, rounded to the nearest; from 10 up in wholes, and 1024 of a unit is the next one.
  const std::uint64_t tenths = (size * 10 + scale / 2) / scale;
  if (tenths < 100) {
    return std::to_string(tenths / 10) + cli_texts::kDecimalComma + std::to_string(tenths % 10) +
           cli_texts::kSizeUnits[unit];
  }
  const std::uint64_t wholes = (size + scale / 2) / scale;
  if (wholes >= 1024 && unit + 1 < std::size(cli_texts::kSizeUnits)) {
    return "1" + std::string(1, cli_texts::kDecimalComma) + "0" + cli_texts::kSizeUnits[unit + 1];
  }
  return std::to_string(wholes) + cli_texts::kSizeUnits[unit];
}

}  // namespace

int RunList(const ListRequest& request) {
  // The JSON's sizes stay numbers, and its list an array that scripts read as it is.
  if (request.json && (request.readable || request.total)) {
    throw UsageError(
        cli_texts::OptionsExclude("--json", request.readable ? "--human-readable" : "--total"));
  }
  // Read once, entry by entry, and held back until the whole package has been found sound: so
  // nothing is printed of a broken package, a package changed meanwhile is not read twice, and
  // memory stays the same whatever the number of entries.
  const PackageReader reader(request.package, PackageReader::Index::kNone);
  HeldOutput listing;
  std::size_t entries = 0;
  std::uint64_t total = 0;
  const auto size_text = [&request](std::uint64_t size) {
    return request.readable ? ReadableSize(size) : std::to_string(size);
  };
  if (request.json) listing.Append("[");
  reader.ForEachEntry([&](const PackageEntry& entry) {
    if (request.json) {
      listing.Append(std::string(entries == 0 ? "\n" : ",\n") + "  {\"name\": " +
                     JsonString(entry.name) + ", \"size\": " + std::to_string(entry.size) + "}");
    } else {
      listing.Append(size_text(entry.size) + '\t' + Printable(entry.name) + '\n');
    }
    ++entries;
    total += entry.size;
  });
  if (request.json) listing.Append("\n]\n");
  if (request.total) listing.Append(size_text(total) + '\t' + cli_texts::ListTotal(entries) + '\n');
  listing.PrintTo(std::cout);
  return kExitOk;
}

int RunExtract(const std::string& package, const std::string& folder, bool force,
               const std::vector<std::string>& names) {
  const PackageReader reader(package);
  std::set<std::string> only = EntriesNamed(reader, package, names);
  platform::FileSystem& files = reader.file_system();
  ExtractTarget target = OpenTarget(files, folder);
  const platform::ScopedFile open_target(files, target.folder);
  ConsoleExtractReport report(folder);
  if (ExtractPackage(reader, target, {.replace_existing = force, .only = std::move(only)},
                     report)) {
    return kExitOk;
  }
  return report.failed() ? kExitFailed : kExitNotWritten;
}

}  // namespace zrk::cli

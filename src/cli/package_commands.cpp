// zrk list and zrk extract: looking into a package.
#include <filesystem>
#include <iostream>
#include <set>

#include "assembly/extract_path.h"
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
      std::cout << entry.size << '\t' << PlainName(entry.name) << '\n';
    }
    first = false;
  });
  if (json) std::cout << "\n]\n";
  return kExitOk;
}

int RunExtract(const std::string& package, const std::string& folder, bool force) {
  const PackageReader reader(package);
  // Every name is checked, and every file that would be replaced found, before anything is
  // written: a package either extracts whole or not at all.
  int unsafe = 0;
  for (const PackageEntry& entry : reader.entries()) {
    try {
      ExtractionPath(folder, entry.name);
    } catch (const Error& refusal) {
      Say(refusal.what());
      ++unsafe;
    }
  }
  if (unsafe != 0) return kExitFailed;
  for (const PackageEntry& entry : reader.entries()) {
    const fs::path path = platform::PathFromUtf8(ExtractionPath(folder, entry.name));
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) continue;
    platform::NativeFileSystem native;
    const platform::FileInfo there = native.Stat(platform::Utf8FromPath(path), ec);
    if (!ec && there.SameFileAs(reader.file_info())) {
      throw Error(cli_texts::WouldReplaceThePackage(entry.name, folder));
    }
    if (!force) {
      Say(cli_texts::AlreadyInFolder(entry.name, folder));
      return kExitNotWritten;
    }
  }

  std::error_code error;
  fs::create_directories(platform::PathFromUtf8(folder), error);
  if (error) {
    throw Error(cli_texts::FolderNotCreated(folder, platform::ErrorText(error)));
  }
  std::set<std::string> written;
  int failures = 0;
  for (const PackageEntry& entry : reader.entries()) {
    // A name that comes again replaces what this extraction wrote under it a moment ago.
    const bool again = written.count(ExtractionPath(folder, entry.name)) != 0;
    if (again) {
      Say(cli_texts::EntryAgain(entry.name));
    }
    try {
      written.insert(ExtractEntry(reader, entry, folder, force || again));
    } catch (const Error& failure) {
      // Name every entry that could not be written and go on with the others.
      Say(failure.what());
      ++failures;
    }
  }
  return failures == 0 ? kExitOk : kExitFailed;
}

}  // namespace zrk::cli

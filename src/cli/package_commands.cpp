// zrk list and zrk extract: looking into a package.
#include <filesystem>
#include <iostream>
#include <set>

#include "assembly/extract_path.h"
#include "assembly/package_reader.h"
#include "cli/commands.h"
#include "platform/error.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

// The text as a JSON string literal.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace

int RunList(const std::string& package, bool json) {
  std::vector<PackageEntry> entries;
  try {
    entries = ReadPackageIndex(package);
  } catch (const Error& error) {
    std::cerr << "zrk: " << error.what() << '\n';
    return kExitFailed;
  }
  if (json) {
    std::cout << "[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
      std::cout << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(entries[i].name)
                << ", \"size\": " << entries[i].size << "}";
    }
    std::cout << "\n]\n";
    return kExitOk;
  }
  for (const PackageEntry& entry : entries) {
    std::cout << entry.size << '\t' << entry.name << '\n';
  }
  return kExitOk;
}

int RunExtract(const std::string& package, const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(platform::PathFromUtf8(folder), error);
  if (error) {
    std::cerr << "zrk: cannot create the folder '" << folder << "': " << error.message() << '\n';
    return kExitFailed;
  }
  try {
    const PackageReader reader(package);
    std::set<std::string> written;
    int failures = 0;
    for (const PackageEntry& entry : reader.entries()) {
      try {
        const std::string path = ExtractEntry(reader, entry, folder);
        if (!written.insert(path).second) {
          std::cerr << "zrk: '" << entry.name << "' appears again in the package; the later "
                    << "entry replaces the earlier one\n";
        }
      } catch (const Error& failure) {
        // Name every entry that could not be written and go on with the others.
        std::cerr << "zrk: " << failure.what() << '\n';
        ++failures;
      }
    }
    return failures == 0 ? kExitOk : kExitFailed;
  } catch (const Error& failure) {
    std::cerr << "zrk: " << failure.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace zrk::cli

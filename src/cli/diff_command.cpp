// zrk diff: which entries two packages do not share, and which differ in their bytes.
#include <array>
#include <deque>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "assembly/package_reader.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "support/escape.h"

namespace zrk::cli {
namespace {

// How an entry of one package stands to the other.
enum class Change { kOnlyInFirst, kOnlyInSecond, kDiffers };

struct Difference {
  Change change;
  std::string name;
};

// A package open for reading its entries' data, a chunk at a time.
class OpenPackage {
 public:
  explicit OpenPackage(const std::string& path)
      : path_(path), reader_(path), file_(reader_.file_system(), Open()) {}

  const std::vector<PackageEntry>& entries() const { return reader_.entries(); }

  // Reads up to buffer's size of entry's data from offset; throws naming the package.
  std::span<const char> Read(const PackageEntry& entry, std::uint64_t offset,
                             std::span<char> buffer) {
    const std::uint64_t left = entry.size - offset;
    if (left < buffer.size()) buffer = buffer.first(static_cast<std::size_t>(left));
    std::error_code ec;
    const std::size_t got =
        reader_.file_system().ReadAt(file_.get(), entry.data_offset + offset, buffer, ec);
    if (ec || got != buffer.size()) {
      if (!ec) ec = std::make_error_code(std::errc::io_error);
      throw Error(cli_texts::PackageUnread(path_, platform::ErrorText(ec)));
    }
    return buffer;
  }

 private:
  platform::FileHandle Open() {
    std::error_code ec;
    const platform::FileHandle file = reader_.file_system().OpenForReading(path_, ec);
    if (ec) throw Error(cli_texts::PackageUnread(path_, platform::ErrorText(ec)));
    return file;
  }

  std::string path_;
  PackageReader reader_;
  platform::ScopedFile file_;
};

// Whether two entries hold the same bytes, read in chunks of a fixed size.
bool SameData(OpenPackage& a, const PackageEntry& x, OpenPackage& b, const PackageEntry& y) {
  if (x.size != y.size) return false;
  static std::array<char, 1 << 16> first, second;
  for (std::uint64_t offset = 0; offset < x.size; offset += first.size()) {
    const std::span<const char> p = a.Read(x, offset, first);
    const std::span<const char> q = b.Read(y, offset, second);
    if (!std::equal(p.begin(), p.end(), q.begin(), q.end())) return false;
  }
  return true;
}

// The differences, the first package's entries in its order, then those only in the second.
// A name that comes more than once pairs its occurrences in order.
std::vector<Difference> Compare(OpenPackage& a, OpenPackage& b) {
  std::map<std::string, std::deque<std::size_t>> in_second;
  for (std::size_t i = 0; i < b.entries().size(); ++i) in_second[b.entries()[i].name].push_back(i);
  std::vector<bool> paired(b.entries().size());
  std::vector<Difference> differences;
  for (const PackageEntry& entry : a.entries()) {
    const auto it = in_second.find(entry.name);
    if (it == in_second.end() || it->second.empty()) {
      differences.push_back({Change::kOnlyInFirst, entry.name});
      continue;
    }
    const std::size_t j = it->second.front();
    it->second.pop_front();
    paired[j] = true;
    if (!SameData(a, entry, b, b.entries()[j])) {
      differences.push_back({Change::kDiffers, entry.name});
    }
  }
  for (std::size_t j = 0; j < b.entries().size(); ++j) {
    if (!paired[j]) differences.push_back({Change::kOnlyInSecond, b.entries()[j].name});
  }
  return differences;
}

void Print(const std::vector<Difference>& differences, bool json) {
  static constexpr const char* kSigns[] = {"- ", "+ ", "~ "};
  static constexpr const char* kJsonNames[] = {"only_in_first", "only_in_second", "differs"};
  if (!json) {
    for (const Difference& d : differences) {
      std::cout << kSigns[static_cast<int>(d.change)] << Printable(d.name) << '\n';
    }
    return;
  }
  std::cout << "[";
  for (std::size_t i = 0; i < differences.size(); ++i) {
    const Difference& d = differences[i];
    std::cout << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(d.name)
              << ", \"change\": \"" << kJsonNames[static_cast<int>(d.change)] << "\"}";
  }
  std::cout << (differences.empty() ? "]\n" : "\n]\n");
}

}  // namespace

int RunDiff(const std::string& first, const std::string& second, bool json) {
  try {
    OpenPackage a(first);
    OpenPackage b(second);
    const std::vector<Difference> differences = Compare(a, b);
    Print(differences, json);
    return differences.empty() ? kExitOk : kExitFilesMissing;
  } catch (const Error& failure) {
    Say(failure.what());
    return kExitFailed;
  }
}

}  // namespace zrk::cli

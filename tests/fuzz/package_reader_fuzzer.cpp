// libFuzzer target: the package reader and extraction paths on arbitrary package bytes, held in
// memory behind the file-system seam.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assembly/extract_path.h"
#include "assembly/package_format.h"
#include "assembly/package_reader.h"
#include "fuzz_check.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace {

using zrk::platform::FileHandle;
using zrk::platform::FileInfo;

constexpr FileHandle kPackage = 3;
constexpr FileHandle kSink = 4;

// One package file in memory, and a sink that collects what is copied out of it.
class MemoryFileSystem : public zrk::platform::FileSystem {
 public:
  explicit MemoryFileSystem(std::string_view bytes) : bytes_(bytes) {}

  std::string sink;

  FileInfo Stat(const std::string&, std::error_code& ec) override { return Info(ec); }
  FileInfo StatHandle(FileHandle, std::error_code& ec) override { return Info(ec); }
  FileHandle OpenForReading(const std::string&, std::error_code& ec) override {
    ec.clear();
    return kPackage;
  }
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override {
    FUZZ_CHECK(file == kPackage);
    ec.clear();
    if (offset >= bytes_.size()) return 0;
    return bytes_.copy(buffer.data(), buffer.size(), offset);
  }
  FileHandle CreateTemporary(const std::string&, std::string&, std::error_code& ec) override {
    ec = Unsupported();
    return zrk::platform::kNoFile;
  }
  void Write(FileHandle file, std::span<const char> data, std::error_code& ec) override {
    FUZZ_CHECK(file == kSink);
    sink.append(data.data(), data.size());
    ec.clear();
  }
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override {
    FUZZ_CHECK(from == kPackage && to == kSink);
    ec.clear();
    if (offset >= bytes_.size()) return 0;
    const std::string_view part = bytes_.substr(offset, count);
    sink.append(part);
    return part.size();
  }
  void Sync(FileHandle, std::error_code& ec) override { ec.clear(); }
  void Close(FileHandle file, std::error_code& ec) override {
    FUZZ_CHECK(file == kPackage);
    ec.clear();
  }
  void Publish(FileHandle, const std::string&, const std::string&, bool,
               std::error_code& ec) override {
    ec = Unsupported();
  }
  void Remove(const std::string&, std::error_code& ec) override { ec = Unsupported(); }

 private:
  static std::error_code Unsupported() { return {ENOSYS, std::system_category()}; }
  FileInfo Info(std::error_code& ec) const {
    ec.clear();
    return {true, bytes_.size()};
  }

  std::string_view bytes_;
};

// An accepted name either is refused for extraction or becomes plain components, which stay
// below the target folder.
void CheckExtractionPath(const std::string& name) {
  try {
    const std::vector<std::string> components = zrk::EntryPathComponents(name);
    FUZZ_CHECK(!components.empty());
    for (const std::string& component : components) {
      FUZZ_CHECK(!component.empty() && component != "." && component != "..");
      FUZZ_CHECK(component.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos);
    }
  } catch (const zrk::Error&) {
    return;  // refused: nothing is extracted
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemoryFileSystem fs(bytes);
  try {
    const zrk::PackageReader reader("fuzz.zrk", fs);
    // An accepted package is the magic and entries that follow each other up to its last byte.
    std::uint64_t expected_header = zrk::package::kMagic.size();
    FUZZ_CHECK(!reader.entries().empty());
    for (const zrk::PackageEntry& entry : reader.entries()) {
      FUZZ_CHECK(entry.header_offset == expected_header);
      FUZZ_CHECK(entry.data_offset > entry.header_offset);
      FUZZ_CHECK(entry.size <= zrk::package::kMaxEntrySize);
      expected_header = entry.data_offset + entry.size;
      FUZZ_CHECK(expected_header <= size);

      // Parsing is strict: writing the entry's header again gives back the very same bytes.
      const std::optional<std::string> name_bytes = zrk::platform::Utf8ToCp1251(entry.name);
      FUZZ_CHECK(name_bytes.has_value());
      std::string header;
      zrk::package::AppendEntryHeader(header, *name_bytes, entry.size);
      FUZZ_CHECK(entry.data_offset - entry.header_offset == header.size());
      FUZZ_CHECK(bytes.substr(entry.header_offset, header.size()) == header);

      fs.sink.clear();
      reader.CopyData(entry, kSink);
      FUZZ_CHECK(fs.sink == bytes.substr(entry.data_offset, entry.size));
      CheckExtractionPath(entry.name);
    }
    FUZZ_CHECK(expected_header == size);
  } catch (const zrk::Error& error) {
    FUZZ_CHECK(std::string_view(error.what()).find("fuzz.zrk") != std::string_view::npos);
  }
  return 0;
}

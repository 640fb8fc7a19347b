// Strict reading of a package: the format code checks the bytes, this file fetches them.
#include "assembly/package_reader.h"

#include <algorithm>
#include <cerrno>

#include "assembly/package_format.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/error_text.h"

namespace zrk {
namespace {

using platform::ErrorText;

// Bytes fetched at a time while walking the headers: several small entries come in one read.
constexpr std::size_t kWindowSize = 64 * 1024;
static_assert(kWindowSize >= package::kMaxHeaderLength);

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

Error Corrupt(const std::string& path, std::uint64_t offset, const std::string& what) {
  return Error("пакет " + Quoted(path) + " повреждён: смещение " + std::to_string(offset) + ": " +
               what);
}
Error CannotOpen(const std::string& path, const std::error_code& ec) {
  return Error("не удалось открыть пакет " + Quoted(path) + ": " + ErrorText(ec));
}
Error CannotRead(const std::string& path, const std::string& reason) {
  return Error("не удалось прочитать пакет " + Quoted(path) + ": " + reason);
}
Error CannotExtract(const std::string& name, const std::string& path, const std::string& reason) {
  return Error("не удалось извлечь файл " + Quoted(name) + " из пакета " + Quoted(path) + ": " +
               reason);
}
platform::FileHandle OpenPackage(platform::FileSystem& fs, const std::string& path) {
  std::error_code ec;
  const platform::FileHandle file = fs.OpenForReading(path, ec);
  if (ec) throw CannotOpen(path, ec);
  return file;
}

const char kChanged[] = "файл изменился во время чтения";

}  // namespace

PackageReader::PackageReader(const std::string& path, Index index)
    : PackageReader(path, native_, index) {}

PackageReader::PackageReader(const std::string& path, platform::FileSystem& fs, Index index)
    : fs_(fs), path_(path), file_(fs, OpenPackage(fs, path)) {
  std::error_code ec;
  const platform::FileInfo info = fs_.StatHandle(file_.get(), ec);
  if (ec) throw CannotOpen(path_, ec);
  if (!info.regular) throw CannotRead(path_, "это не обычный файл");
  file_size_ = info.size;
  file_info_ = info;
  if (index == Index::kKeep) {
    Walk([this](PackageEntry&& entry) { entries_.push_back(std::move(entry)); });
  }
}

PackageReader::~PackageReader() = default;

void PackageReader::Walk(const std::function<void(PackageEntry&&)>& visit) const {
  std::vector<char> window(kWindowSize);
  std::uint64_t window_start = 0;
  std::size_t window_length = 0;
  // Makes the window hold the file from offset on, as far as the header parser may look.
  const auto fetch = [&](std::uint64_t offset) -> std::string_view {
    const std::uint64_t wanted_end = std::min(file_size_, offset + package::kMaxHeaderLength);
    if (offset < window_start || wanted_end > window_start + window_length) {
      const std::size_t length = std::min<std::uint64_t>(kWindowSize, file_size_ - offset);
      std::error_code ec;
      const std::size_t got =
          fs_.ReadAt(file_.get(), offset, std::span<char>(window.data(), length), ec);
      if (ec) throw CannotRead(path_, ErrorText(ec));
      if (got < length) throw CannotRead(path_, kChanged);
      window_start = offset;
      window_length = length;
    }
    const std::size_t skip = static_cast<std::size_t>(offset - window_start);
    return std::string_view(window.data() + skip, window_length - skip);
  };

  if (const auto problem = package::CheckMagic(fetch(0).substr(0, package::kMagic.size()))) {
    throw Corrupt(path_, problem->offset, problem->what);
  }
  std::uint64_t offset = package::kMagic.size();
  if (offset == file_size_) throw Corrupt(path_, offset, "в пакете нет ни одного файла");

  while (offset < file_size_) {
    const std::string_view bytes = fetch(offset);
    const bool at_end = offset + bytes.size() == file_size_;
    const auto parsed = package::ParseEntryHeader(bytes, at_end);
    if (const auto* problem = std::get_if<package::FormatProblem>(&parsed)) {
      throw Corrupt(path_, offset + problem->offset, problem->what);
    }
    const auto& header = std::get<package::EntryHeader>(parsed);
    PackageEntry entry;
    entry.name = platform::Cp1251ToUtf8(header.name);
    entry.size = header.size;
    entry.header_offset = offset;
    entry.data_offset = offset + header.length;
    const std::uint64_t left = file_size_ - entry.data_offset;
    if (entry.size > left) {
      throw Corrupt(path_, entry.data_offset,
                    "данные файла " + Quoted(entry.name) + " обрываются: нужно " +
                        std::to_string(entry.size) + " байт, до конца файла " +
                        std::to_string(left));
    }
    offset = entry.data_offset + entry.size;
    visit(std::move(entry));
  }
  // Rewritten meanwhile with another length: what was read need not be one package.
  std::error_code ec;
  const platform::FileInfo now = fs_.StatHandle(file_.get(), ec);
  if (ec) throw CannotRead(path_, ErrorText(ec));
  if (now.size != file_size_) throw CannotRead(path_, kChanged);
}

void PackageReader::ForEachEntry(const std::function<void(const PackageEntry&)>& visit) const {
  Walk([&visit](PackageEntry&& entry) { visit(entry); });
}

void PackageReader::CopyData(const PackageEntry& entry, platform::FileHandle out) const {
  std::error_code ec;
  const std::uint64_t got = fs_.CopyAt(file_.get(), entry.data_offset, out, entry.size, ec);
  if (ec) throw CannotExtract(entry.name, path_, ErrorText(ec));
  if (got < entry.size) throw CannotExtract(entry.name, path_, kChanged);
}

std::vector<PackageEntry> ReadPackageIndex(const std::string& path) {
  PackageReader reader(path);
  return reader.entries();
}

}  // namespace zrk

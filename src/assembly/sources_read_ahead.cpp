// Reading the sources ahead: the writer's thread then mostly copies bytes already read, and takes
// its share of the opening and reading only when the helper lags.
#include "assembly/sources_read_ahead.h"

#include <algorithm>
#include <utility>

#include "platform/native_path.h"

namespace zrk {
namespace {

// How far ahead of the writer sources are found while their bytes are in memory, and once they
// come from the device: then many requests in flight let the device serve them together.
constexpr std::size_t kAheadInMemory = 32;
constexpr std::size_t kAheadFromDevice = 256;
// How much of each source the system is asked to read into memory ahead of its turn.
constexpr std::uint64_t kStartReadingBytes = 256 * 1024;
// The sources are taken to come from the device once this many reads, and one in
// kReadsPerWait, had to wait: a read of bytes in memory may be refused now and then too (a page
// being read ahead), but a skin on the device refuses one read after another.
constexpr std::size_t kWaitsFromDevice = 4;
constexpr std::size_t kReadsPerWait = 32;

bool OutOfHandles(const std::error_code& ec) {
  // Comparing with a portable error costs a call through the category: none for no error.
  return ec &&
         (ec == std::errc::too_many_files_open || ec == std::errc::too_many_files_open_in_system);
}

// Opens source as spelled, and only when that names nothing, as matched by letter case, whose
// path by_letter_case then gets: the common case costs one open and no other look-up.
platform::FileHandle OpenSource(const std::string& source, platform::FileSystem& fs,
                                std::string& by_letter_case, std::error_code& ec) {
  const std::string spelled = platform::NativeSpelling(source);
  const platform::FileHandle file = fs.OpenForReading(spelled, ec);
  if (!ec || (ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)) {
    return file;
  }
  std::string resolved = platform::ResolveNativePath(source);
  if (resolved == spelled) return file;
  const platform::FileHandle matched = fs.OpenForReading(resolved, ec);
  if (!ec) by_letter_case = std::move(resolved);
  return matched;
}

}  // namespace

SourcesReadAhead::SourcesReadAhead(const std::vector<std::string>& sources,
                                   std::uint64_t read_up_to, platform::FileSystem& fs,
                                   const std::string& skin_folder)
    : sources_(sources), read_up_to_(read_up_to), fs_(fs), ring_(kAheadFromDevice) {
  ahead_.emplace(sources.size(), kAheadInMemory, skin_folder,
                 [this](std::size_t index) { Find(index, ring_[index % ring_.size()], false); });
}

SourcesReadAhead::~SourcesReadAhead() {
  ahead_.reset();  // the helper stops first: then nothing else opens files
  CloseAll();
}

void SourcesReadAhead::Find(std::size_t index, ReadSource& source, bool in_turn) {
  source = {};
  // Once the handles ran out, files held open ahead would keep the one in turn from opening: the
  // rest are opened in their turn only.
  if (!in_turn && out_of_handles_.load(std::memory_order_relaxed)) {
    source.open_error = std::make_error_code(std::errc::too_many_files_open);
    return;
  }
  source.file = OpenSource(sources_[index], fs_, source.by_letter_case, source.open_error);
  if (OutOfHandles(source.open_error)) out_of_handles_.store(true, std::memory_order_relaxed);
  if (source.open_error) return;
  source.info = fs_.StatHandle(source.file, source.open_error);
  if (source.open_error || !source.info.regular) return;
  if (from_device_.load(std::memory_order_relaxed)) {
    fs_.StartReading(source.file, std::min(source.info.size, kStartReadingBytes));
  } else if (source.info.size <= read_up_to_) {
    ReadWhole(source);
  }
}

void SourcesReadAhead::ReadWhole(ReadSource& source) {
  const std::size_t space = static_cast<std::size_t>(source.info.size) + 1;
  source.bytes.reset(new char[space]);
  source.bytes_read = Read(source.file, {source.bytes.get(), space}, source.read_error);
  if (source.read_error) return;
  source.read = true;
  std::error_code ignored;  // a file only read from loses nothing should closing it fail
  fs_.Close(std::exchange(source.file, platform::kNoFile), ignored);
}

std::size_t SourcesReadAhead::Read(platform::FileHandle file, std::span<char> space,
                                   std::error_code& ec) {
  std::size_t got = fs_.ReadCachedAt(file, 0, space, ec);
  const bool waited = ec && ec == std::errc::operation_would_block;
  Counted(waited);
  if (waited) ec.clear();
  // Short of memory is not short of file: what is left is read, waiting, to find the file's end.
  if (!ec && got + 1 < space.size()) got += fs_.ReadAt(file, got, space.subspan(got), ec);
  return got;
}

void SourcesReadAhead::Counted(bool waited) {
  const std::size_t reads = reads_.fetch_add(1, std::memory_order_relaxed) + 1;
  if (!waited || from_device_.load(std::memory_order_relaxed)) return;
  const std::size_t waits = waits_.fetch_add(1, std::memory_order_relaxed) + 1;
  if (waits < kWaitsFromDevice || waits * kReadsPerWait < reads) return;
  from_device_.store(true, std::memory_order_relaxed);
}

ReadSource SourcesReadAhead::Take(std::size_t index) {
  if (!widened_ && from_device_.load(std::memory_order_relaxed)) {
    widened_ = true;
    // Files held open ahead must leave the system's limit room for the build's own files.
    ahead_->Widen(std::clamp<std::size_t>(platform::OpenFilesAllowed() / 4, 1, kAheadFromDevice));
  }
  ahead_->WaitFor(index);
  ReadSource& source = ring_[index % ring_.size()];
  // Files held open ahead may have used up the handles the system allows: the file is looked at
  // again in its turn, when the ones before it are closed, as it would have been without them.
  if (OutOfHandles(source.open_error)) Find(index, source, true);
  return std::exchange(source, {});
}

void SourcesReadAhead::CloseAll() {
  for (ReadSource& source : ring_) {
    if (source.file == platform::kNoFile) continue;
    std::error_code ignored;
    fs_.Close(source.file, ignored);
    source.file = platform::kNoFile;
  }
}

}  // namespace zrk

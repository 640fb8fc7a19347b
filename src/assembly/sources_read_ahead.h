// SourcesReadAhead: the sources of a package opened, measured and read on a second thread while
// the writer copies the ones before them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "assembly/prepared_in_order.h"
#include "platform/file_system.h"

namespace zrk {

/// One source as found ahead of its turn.
struct ReadSource {
  /// Open unless the source could not be opened or was read and closed already; the taker's.
  platform::FileHandle file = platform::kNoFile;
  /// The native path the file was opened by when its name matched it only by letter case.
  std::string by_letter_case;
  std::error_code open_error;  ///< Why it could not be opened or measured.
  platform::FileInfo info;
  /// Whether bytes holds the file: a small regular file is read whole, and one byte more
  /// asked for (getting it means the file grew). Otherwise the taker reads it.
  bool read = false;
  std::unique_ptr<char[]> bytes;  // not cleared first: only what was read is used
  std::size_t bytes_read = 0;
  std::error_code read_error;
};

/// Opens each of sources (skin paths) as spelled, and only when that names nothing as matched by
/// letter case, measures it and reads it whole when it is a regular file of at most
/// read_up_to bytes; a helper thread does so ahead of Take, and Take's own thread when the helper
/// lags. Once reads have to wait for the device, the sources ahead are not read but only asked
/// into memory, many at a time; their taker reads them, with Read.
class SourcesReadAhead {
 public:
  SourcesReadAhead(const std::vector<std::string>& sources, std::uint64_t read_up_to,
                   platform::FileSystem& fs, const std::string& skin_folder);
  /// Closes what was opened and not taken.
  ~SourcesReadAhead();
  SourcesReadAhead(const SourcesReadAhead&) = delete;
  SourcesReadAhead& operator=(const SourcesReadAhead&) = delete;

  /// The source at index, as it was found; index comes in increasing order. Throws what looking
  /// at it threw.
  ReadSource Take(std::size_t index);

  /// Reads a source Take gave unread into space, from the start: what ReadAt would give.
  std::size_t Read(platform::FileHandle file, std::span<char> space, std::error_code& ec);

 private:
  // in_turn: the source is the one Take wants now, not one ahead of it.
  void Find(std::size_t index, ReadSource& source, bool in_turn);
  void ReadWhole(ReadSource& source);
  void Counted(bool waited);
  void CloseAll();

  const std::vector<std::string>& sources_;
  const std::uint64_t read_up_to_;
  platform::FileSystem& fs_;
  std::vector<ReadSource> ring_;  // item i in ring_[i % size], from Find until Take
  std::atomic<std::size_t> reads_{0}, waits_{0};
  std::atomic<bool> from_device_{false};
  std::atomic<bool> out_of_handles_{false};  // once set, nothing more is opened ahead
  bool widened_ = false;  // whether the helper was let run further ahead for the device
  std::optional<PreparedInOrder> ahead_;  // last: its helper uses everything above
};

}  // namespace zrk

// WritePackage: writes a skin's files into one package file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/native_path.h"

namespace zrk {

/// Throws the zrk::Error WritePackage would for entry's name: no Windows-1251 form, a character a
/// package cannot hold ("*", ">", NUL), or too long.
void CheckEntryName(const std::string& entry);

/// Throws the zrk::Error WritePackage would for a source with these facts: not a regular file,
/// unreadable, or too large for a package.
void CheckSource(const std::string& entry, const platform::SourceFacts& facts);

/// Throws the zrk::Error WritePackage would for what is at package_path, symbolic links there
/// followed: a folder, a device, pipe or socket, or links that go round in a circle. A regular
/// file, a link to one, or nothing passes.
void CheckDestination(const std::string& package_path);

/// Told, after each entry and during large ones, which entry is being written and how many bytes
/// of the package are written so far.
using WriteProgress = std::function<void(const std::string& entry, std::uint64_t package_bytes)>;

/// What the writer saw of one entry's source as it opened and read it: enough for the checks
/// that would otherwise open every file of the skin a second time.
struct SourceSeen {
  /// The file's first bytes: kSeenStartBytes of them, or the whole of a shorter file.
  std::string_view start;
  /// The native path the file was opened by when its name matched it only by letter case; ""
  /// when the name matched as spelled.
  std::string_view by_letter_case;
};
inline constexpr std::size_t kSeenStartBytes = 32;

/// Told, once an entry's bytes are in the package, the entry's index in the list and what was
/// seen of its source. What seen points to lasts only for the call.
using SourceSeenCall = std::function<void(std::size_t index, const SourceSeen& seen)>;

/// How WritePackage treats the destination and reports its progress.
struct WriteOptions {
  /// Whether the user agreed to replace a file at the package path. Without it, a file that
  /// appears there during the write is kept and DestinationTaken thrown.
  bool replace_existing = false;
  WriteProgress progress;
  SourceSeenCall seen;
};

/// A file appeared at the package path while the package was written, and there was no agreement
/// to replace it: it is kept, and nothing was written.
class DestinationTaken : public Error {
 public:
  using Error::Error;
};

/// Writes the package at package_path (a native path; a symbolic link there is written through
/// to the file it names): the magic, then for each entry of file_list, in order, its header and
/// the bytes of the file at the project folder of project_path followed by the entry. A package
/// that replaces a file keeps that file's permission bits. Throws zrk::Error naming the entry or
/// the package when a name cannot go into a package, a source is missing, too large, changes or
/// cannot be read, the package would replace one of its own sources (the project file included)
/// or anything but a regular file (see CheckDestination), or it cannot be written; a file already
/// at package_path is then left as it was.
void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list, const WriteOptions& options = {});

/// WritePackage doing its file operations through fs, so that tests can make them fail.
void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list, platform::FileSystem& fs,
                  const WriteOptions& options = {});

}  // namespace zrk

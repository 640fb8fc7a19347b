// Writes a package through a temporary file that replaces the destination only when complete.
#include "assembly/package_writer.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>
#include <utility>

#include "assembly/package_format.h"
#include "assembly/sources_read_ahead.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/native_path.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

using platform::ErrorText;
using platform::FileHandle;
using platform::FileSystem;
using platform::ScopedFile;

// Headers and small files are gathered in this buffer so that a skin of many small files costs
// few writes; it is the writer's only buffer, whatever the sizes of the files.
constexpr std::size_t kBufferSize = 256 * 1024;
// Files up to this size are read into the buffer; larger ones go through the kernel's copy.
constexpr std::size_t kSmallFile = 64 * 1024;
static_assert(kSmallFile + 1 <= kBufferSize);
// A large file is copied in steps of this size, with a word to progress after each.
constexpr std::uint64_t kProgressStep = 16 * 1024 * 1024;
// The device is asked to start writing after every this many bytes of small files.
constexpr std::uint64_t kWritebackStep = 8 * 1024 * 1024;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

Error NoCp1251Form(const std::string& entry) {
  return Error("имя файла " + Quoted(entry) + " нельзя записать в кодировке Windows-1251");
}
Error ForbiddenChar(const std::string& entry, char c) {
  const std::string shown = c == '\0' ? std::string("\\0") : std::string(1, c);
  return Error("имя файла " + Quoted(entry) + " содержит недопустимый символ '" + shown + "'");
}
Error NameTooLong(const std::string& entry) {
  return Error("имя файла " + Quoted(entry) + " длиннее " +
               std::to_string(package::kMaxNameLength) + " байт");
}
Error CannotOpen(const std::string& entry, const std::error_code& ec) {
  return Error("не удалось открыть файл " + Quoted(entry) + ": " + ErrorText(ec));
}
Error NotAFile(const std::string& entry) {
  return Error("не удалось открыть файл " + Quoted(entry) + ": это не обычный файл");
}
Error TooLarge(const std::string& entry, std::uint64_t size) {
  return Error("файл " + Quoted(entry) + " слишком велик для пакета: " + std::to_string(size) +
               " байт, допустимо не больше " + std::to_string(package::kMaxEntrySize));
}
Error CannotRead(const std::string& entry, const std::string& reason) {
  return Error("не удалось прочитать файл " + Quoted(entry) + ": " + reason);
}
Error Shrank(const std::string& entry, std::uint32_t size) {
  return CannotRead(entry, "файл стал короче " + std::to_string(size) + " байт во время записи");
}
Error Grew(const std::string& entry, std::uint32_t size) {
  return CannotRead(entry, "файл стал длиннее " + std::to_string(size) + " байт во время записи");
}
Error CannotCopy(const std::string& entry, const std::string& package_path,
                 const std::error_code& ec) {
  return Error("не удалось скопировать файл " + Quoted(entry) + " в пакет " + Quoted(package_path) +
               ": " + ErrorText(ec));
}
Error CannotCreate(const std::string& package_path, const std::error_code& ec) {
  return Error("не удалось создать пакет " + Quoted(package_path) + ": " + ErrorText(ec));
}
Error CannotWrite(const std::string& package_path, const std::error_code& ec) {
  return Error("не удалось записать пакет " + Quoted(package_path) + ": " + ErrorText(ec));
}
Error CannotReplace(const std::string& package_path, const std::error_code& ec) {
  return Error("не удалось сохранить пакет " + Quoted(package_path) + ": " + ErrorText(ec));
}
Error IsASource(const std::string& package_path, const std::string& entry) {
  return Error("не удалось сохранить пакет " + Quoted(package_path) + ": это файл " +
               Quoted(entry) + " самого скина, он не будет заменён");
}
Error NotRegularDestination(const std::string& package_path) {
  return Error("не удалось сохранить пакет " + Quoted(package_path) + ": это не обычный файл");
}
Error LinksGoRound(const std::string& package_path) {
  return Error("не удалось сохранить пакет " + Quoted(package_path) +
               ": символические ссылки идут по кругу или их слишком много");
}
DestinationTaken Appeared(const std::string& package_path) {
  return DestinationTaken("не удалось сохранить пакет " + Quoted(package_path) +
                          ": такой файл появился во время сборки и не был заменён");
}

// A kernel copy fails on either file; these errors can only come from the package's side.
bool IsOutputError(const std::error_code& ec) {
#ifdef EDQUOT
  if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
    if (ec.value() == EDQUOT) return true;
  }
#endif
  return ec == std::errc::no_space_on_device || ec == std::errc::file_too_large ||
         ec == std::errc::read_only_file_system;
}

// One list entry whose name has been checked before anything is written. The file itself is
// looked at once, when it is opened for copying.
struct PlannedEntry {
  const std::string& entry;
  std::string name_bytes;
};

// The entry's name as the package holds it, or the error that keeps it out.
std::string NameBytes(const std::string& entry) {
  std::optional<std::string> name_bytes = platform::Utf8ToCp1251(entry);
  if (!name_bytes) throw NoCp1251Form(entry);
  for (const char c : *name_bytes) {
    if (package::IsForbiddenNameByte(c)) throw ForbiddenChar(entry, c);
  }
  if (name_bytes->size() > package::kMaxNameLength) throw NameTooLong(entry);
  return std::move(*name_bytes);
}

std::vector<PlannedEntry> PlanEntries(const std::vector<std::string>& file_list) {
  std::vector<PlannedEntry> planned;
  planned.reserve(file_list.size());
  for (const std::string& entry : file_list) planned.push_back({entry, NameBytes(entry)});
  return planned;
}

// Each entry's source: a skin path, the project folder and the entry.
std::vector<std::string> SourcePaths(const std::string& project_path,
                                     const std::vector<std::string>& file_list) {
  const std::string folder = mdlMain::ProjectFolder(project_path);
  std::vector<std::string> sources;
  sources.reserve(file_list.size());
  for (const std::string& entry : file_list) sources.push_back(folder + entry);
  return sources;
}

// Puts the bytes of a small source into space (its size + 1 bytes): those read ahead, or read
// now. Returns how many the file gave.
std::size_t SmallSourceBytes(const ReadSource& found, FileHandle file, std::span<char> space,
                             SourcesReadAhead& sources, std::error_code& ec) {
  if (found.read_error) {
    ec = found.read_error;
    return 0;
  }
  if (!found.read) return sources.Read(file, space, ec);
  std::copy_n(found.bytes.get(), found.bytes_read, space.begin());
  return found.bytes_read;
}

// The package being written: a buffer in front of the temporary file.
class PackageOutput {
 public:
  PackageOutput(FileSystem& fs, FileHandle file, const std::string& package_path)
      : fs_(fs), file_(file), package_path_(package_path), buffer_(kBufferSize) {}

  // Space for n more bytes in the buffer, writing out what it holds first when needed.
  std::span<char> Reserve(std::size_t n) {
    if (used_ + n > buffer_.size()) Flush();
    return std::span<char>(buffer_).subspan(used_, n);
  }
  void Commit(std::size_t n) { used_ += n; }

  // Counts n bytes that went to the file around the buffer (a kernel copy after Flush()).
  void Skip(std::uint64_t n) { flushed_ += n; }

  // The bytes of the package so far, whether still in the buffer or already in the file.
  std::uint64_t Written() const { return flushed_ + used_; }

  void AppendHeader(std::string_view name_bytes, std::uint32_t size) {
    header_.clear();  // one string for every header: no allocation per entry
    package::AppendEntryHeader(header_, name_bytes, size);
    Append(header_);
  }

  void Append(std::string_view bytes) {
    std::span<char> space = Reserve(bytes.size());
    std::copy(bytes.begin(), bytes.end(), space.begin());
    Commit(bytes.size());
  }

  void Flush() {
    if (used_ == 0) return;
    std::error_code ec;
    fs_.Write(file_, std::span<const char>(buffer_.data(), used_), ec);
    if (ec) throw CannotWrite(package_path_, ec);
    flushed_ += used_;
    unsynced_ += used_;
    used_ = 0;
    // The device writes while the next files are read; the sync at the end then waits less.
    if (unsynced_ >= kWritebackStep) {
      fs_.StartWriteback(file_);
      unsynced_ = 0;
    }
  }

 private:
  FileSystem& fs_;
  FileHandle file_;
  const std::string& package_path_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t flushed_ = 0;
  std::uint64_t unsynced_ = 0;  // written since the device was last asked to catch up
  std::string header_;
};

// Appends one entry, its header and its bytes, to out. The size in the header is the size the
// open file has; a file that changes while it is copied cannot be written whole.
platform::FileInfo AppendEntry(const PlannedEntry& item, PackageOutput& out, FileHandle package,
                               const std::string& package_path, FileSystem& fs,
                               const WriteOptions& options, std::size_t index,
                               SourcesReadAhead& sources) {
  const WriteProgress& progress = options.progress;
  const ReadSource found = sources.Take(index);
  ScopedFile source(fs, found.file);
  if (found.open_error) throw CannotOpen(item.entry, found.open_error);
  const std::string& by_letter_case = found.by_letter_case;
  const platform::FileInfo& info = found.info;
  std::error_code ec;
  if (!info.regular) throw NotAFile(item.entry);
  if (info.size > package::kMaxEntrySize) throw TooLarge(item.entry, info.size);
  const auto size = static_cast<std::uint32_t>(info.size);

  out.AppendHeader(item.name_bytes, size);

  std::uint64_t copied = 0;
  if (size <= kSmallFile) {
    // One read asks for a byte more than the size: getting it means the file has grown.
    const std::span<char> space = out.Reserve(std::size_t{size} + 1);
    copied = SmallSourceBytes(found, source.get(), space, sources, ec);
    if (ec) throw CannotRead(item.entry, ErrorText(ec));
    if (copied > size) throw Grew(item.entry, size);
    if (copied < size) throw Shrank(item.entry, size);
    if (options.seen) {
      options.seen(index,
                   {std::string_view(space.data(), std::min<std::size_t>(size, kSeenStartBytes)),
                    by_letter_case});
    }
    out.Commit(size);
    return info;
  }

  // The kernel appends at the file's position, so what the buffer holds must go first.
  out.Flush();
  while (copied < size) {
    const std::uint64_t chunk = std::min<std::uint64_t>(size - copied, kProgressStep);
    const std::uint64_t got = fs.CopyAt(source.get(), copied, package, chunk, ec);
    if (ec) {
      throw IsOutputError(ec) ? CannotWrite(package_path, ec)
                              : CannotCopy(item.entry, package_path, ec);
    }
    copied += got;
    if (got < chunk) throw Shrank(item.entry, size);
    fs.StartWriteback(package);
    if (progress) progress(item.entry, out.Written() + copied);
  }
  char extra;
  const std::size_t more = fs.ReadAt(source.get(), size, std::span<char>(&extra, 1), ec);
  if (ec) throw CannotRead(item.entry, ErrorText(ec));
  if (more != 0) throw Grew(item.entry, size);
  out.Skip(size);
  if (options.seen) {
    std::array<char, kSeenStartBytes> start;
    // Only the checks want it: should it fail, they are told nothing of this file.
    const std::size_t got = fs.ReadAt(source.get(), 0, start, ec);
    if (!ec) options.seen(index, {std::string_view(start.data(), got), by_letter_case});
  }
  return info;
}

// Writes every entry to the open temporary file and leaves it complete and synced. Returns which
// files the sources were.
std::vector<platform::FileInfo> WriteEntries(const std::vector<PlannedEntry>& planned,
                                             SourcesReadAhead& opened, FileHandle package,
                                             const std::string& package_path, FileSystem& fs,
                                             const WriteOptions& options) {
  std::vector<platform::FileInfo> sources;
  sources.reserve(planned.size());
  PackageOutput out(fs, package, package_path);
  out.Append(package::kMagic);
  for (std::size_t i = 0; i < planned.size(); ++i) {
    sources.push_back(AppendEntry(planned[i], out, package, package_path, fs, options, i, opened));
    if (options.progress) options.progress(planned[i].entry, out.Written());
  }
  out.Flush();
  std::error_code ec;
  // Synced before it takes the package's name, so that a crash cannot leave an empty file there.
  fs.Sync(package, ec);
  if (ec) throw CannotWrite(package_path, ec);
  return sources;
}

// The regular file at target, the end of package_path's links, or nullopt for none. Throws for
// anything else: a package replaces a package, never a folder, device, pipe or socket.
std::optional<platform::FileInfo> ExistingFile(const std::string& package_path,
                                               const std::string& target, FileSystem& fs) {
  std::error_code ec;
  const platform::FileInfo existing = fs.Stat(target, ec);
  if (ec == std::errc::too_many_symbolic_link_levels) throw LinksGoRound(package_path);
  if (ec) return std::nullopt;  // nothing there, or creating the package tells what is wrong
  if (existing.regular) return existing;
  if (std::filesystem::is_directory(platform::PathFromUtf8(target), ec)) {
    throw CannotReplace(package_path, std::make_error_code(std::errc::is_a_directory));
  }
  throw NotRegularDestination(package_path);
}

// Throws when the file at target is not one a package may replace, or is one of the sources: the
// package must not destroy the skin it is made of, whatever the user agreed to.
void RefuseToReplaceASource(const std::string& package_path, const std::string& target,
                            const std::vector<PlannedEntry>& planned,
                            const std::vector<platform::FileInfo>& sources, FileSystem& fs) {
  const std::optional<platform::FileInfo> existing = ExistingFile(package_path, target, fs);
  if (!existing) return;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (sources[i].regular && sources[i].SameFileAs(*existing))
      throw IsASource(target, planned[i].entry);
  }
}

// Removes the named temporary file of a write that did not reach Publish. The first failure is
// the one to report; a temporary file that cannot be removed either is hidden and harmless.
class RemoveUnlessPublished {
 public:
  RemoveUnlessPublished(FileSystem& fs, const std::string& temporary_path)
      : fs_(fs), temporary_path_(temporary_path) {}
  ~RemoveUnlessPublished() {
    std::error_code ignored;
    if (!temporary_path_.empty()) fs_.Remove(temporary_path_, ignored);
  }
  RemoveUnlessPublished(const RemoveUnlessPublished&) = delete;
  RemoveUnlessPublished& operator=(const RemoveUnlessPublished&) = delete;

 private:
  FileSystem& fs_;
  const std::string& temporary_path_;
};

}  // namespace

void CheckEntryName(const std::string& entry) { NameBytes(entry); }

void CheckSource(const std::string& entry, const platform::SourceFacts& facts) {
  if (!facts.regular) throw NotAFile(entry);
  if (!facts.readable) throw CannotOpen(entry, std::make_error_code(std::errc::permission_denied));
  if (facts.size > package::kMaxEntrySize) throw TooLarge(entry, facts.size);
}

void CheckDestination(const std::string& package_path) {
  platform::NativeFileSystem fs;
  ExistingFile(package_path, platform::FinalTarget(package_path), fs);
}

void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list, const WriteOptions& options) {
  platform::NativeFileSystem fs;
  WritePackage(package_path, project_path, file_list, fs, options);
}

void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list, platform::FileSystem& fs,
                  const WriteOptions& options) {
  if (file_list.empty()) throw Error("список файлов пакета пуст");
  const std::vector<PlannedEntry> planned = PlanEntries(file_list);
  // Through a symbolic link to the file it names: the link stays a link.
  const std::string target = platform::FinalTarget(package_path);

  // What cannot be replaced is said before the work, and again before the package takes its name.
  ExistingFile(package_path, target, fs);
  std::error_code ec;
  std::string temporary_path;
  // Declared before the file, so that the file is closed first: whatever ends the write early, no
  // named temporary file stays behind.
  const RemoveUnlessPublished remove_unless_published(fs, temporary_path);
  ScopedFile package(fs, fs.CreateTemporary(target, temporary_path, ec));
  if (ec) throw CannotCreate(package_path, ec);
  std::vector<platform::FileInfo> sources;
  {
    const std::vector<std::string> paths = SourcePaths(project_path, file_list);
    SourcesReadAhead opened(paths, kSmallFile, fs, mdlMain::ProjectFolder(project_path));
    sources = WriteEntries(planned, opened, package.get(), package_path, fs, options);
  }
  RefuseToReplaceASource(package_path, target, planned, sources, fs);
  // Publish takes the handle and, should it fail, the temporary file with it.
  fs.Publish(package.Release(), std::exchange(temporary_path, {}), target, options.replace_existing,
             ec);
  if (ec == std::errc::file_exists) throw Appeared(package_path);
  if (ec) throw CannotReplace(package_path, ec);
}

}  // namespace zrk

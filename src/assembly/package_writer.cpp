// Writes a package through a temporary file that replaces the destination only when complete.
#include "assembly/package_writer.h"

#include <cerrno>
#include <cstdint>
#include <span>
#include <system_error>

#include "assembly/package_format.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/native_path.h"
#include "support/mdlINI.h"
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
static_assert(kSmallFile + package::kMaxHeaderLength <= kBufferSize);

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

// One list entry, checked and measured before anything is written.
struct PlannedEntry {
  const std::string& entry;
  std::string name_bytes;
  std::string source;
  std::uint32_t size = 0;
};

std::vector<PlannedEntry> PlanEntries(const std::string& project_path,
                                      const std::vector<std::string>& file_list, FileSystem& fs) {
  const std::string folder = mdlINI::WithTrailingBackslash(mdlMain::ParentFolder(project_path));
  std::vector<PlannedEntry> planned;
  planned.reserve(file_list.size());
  for (const std::string& entry : file_list) {
    std::optional<std::string> name_bytes = platform::Utf8ToCp1251(entry);
    if (!name_bytes) throw NoCp1251Form(entry);
    for (const char c : *name_bytes) {
      if (package::IsForbiddenNameByte(c)) throw ForbiddenChar(entry, c);
    }
    if (name_bytes->size() > package::kMaxNameLength) throw NameTooLong(entry);

    std::string source = platform::ResolveNativePath(folder + entry);
    std::error_code ec;
    const platform::FileInfo info = fs.Stat(source, ec);
    if (ec) throw CannotOpen(entry, ec);
    if (!info.regular) throw NotAFile(entry);
    if (info.size > package::kMaxEntrySize) throw TooLarge(entry, info.size);
    planned.push_back(
        {entry, std::move(*name_bytes), std::move(source), static_cast<std::uint32_t>(info.size)});
  }
  return planned;
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
    used_ = 0;
  }

 private:
  FileSystem& fs_;
  FileHandle file_;
  const std::string& package_path_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

void CopySource(const PlannedEntry& item, PackageOutput& out, FileHandle package,
                const std::string& package_path, FileSystem& fs) {
  std::error_code ec;
  ScopedFile source(fs, fs.OpenForReading(item.source, ec));
  if (ec) throw CannotOpen(item.entry, ec);

  if (item.size <= kSmallFile) {
    const std::span<char> space = out.Reserve(item.size);
    const std::size_t got = fs.ReadAt(source.get(), 0, space, ec);
    if (ec) throw CannotRead(item.entry, ErrorText(ec));
    if (got < item.size) throw Shrank(item.entry, item.size);
    out.Commit(item.size);
  } else {
    // The kernel appends at the file's position, so what the buffer holds must go first.
    out.Flush();
    const std::uint64_t got = fs.CopyAt(source.get(), 0, package, item.size, ec);
    if (ec)
      throw IsOutputError(ec) ? CannotWrite(package_path, ec)
                              : CannotCopy(item.entry, package_path, ec);
    if (got < item.size) throw Shrank(item.entry, item.size);
  }

  // The header already holds the size; a file that has grown since cannot be written whole.
  char extra;
  const std::size_t more = fs.ReadAt(source.get(), item.size, std::span<char>(&extra, 1), ec);
  if (ec) throw CannotRead(item.entry, ErrorText(ec));
  if (more != 0) throw Grew(item.entry, item.size);
}

// Writes every entry to the open temporary file and leaves it complete, synced and closed.
void WriteEntries(const std::vector<PlannedEntry>& planned, ScopedFile& package,
                  const std::string& package_path, FileSystem& fs) {
  PackageOutput out(fs, package.get(), package_path);
  out.Append(package::kMagic);
  std::string header;
  for (const PlannedEntry& item : planned) {
    header.clear();
    package::AppendEntryHeader(header, item.name_bytes, item.size);
    out.Append(header);
    CopySource(item, out, package.get(), package_path, fs);
  }
  out.Flush();
  std::error_code ec;
  // Synced before the rename, so that a crash cannot leave an empty file in place of the package.
  fs.Sync(package.get(), ec);
  if (ec) throw CannotWrite(package_path, ec);
  package.Close(ec);
  if (ec) throw CannotWrite(package_path, ec);
}

}  // namespace

void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list) {
  platform::NativeFileSystem fs;
  WritePackage(package_path, project_path, file_list, fs);
}

void WritePackage(const std::string& package_path, const std::string& project_path,
                  const std::vector<std::string>& file_list, platform::FileSystem& fs) {
  if (file_list.empty()) throw Error("список файлов пакета пуст");
  const std::vector<PlannedEntry> planned = PlanEntries(project_path, file_list, fs);

  std::error_code ec;
  std::string temporary_path;
  ScopedFile package(fs, fs.CreateTemporary(package_path, temporary_path, ec));
  if (ec) throw CannotCreate(package_path, ec);
  try {
    WriteEntries(planned, package, package_path, fs);
    fs.Rename(temporary_path, package_path, ec);
    if (ec) throw CannotReplace(package_path, ec);
  } catch (...) {
    std::error_code close_ignored;
    package.Close(close_ignored);
    // The first failure is the one to report; a temporary file that cannot be removed either
    // is hidden and harmless next to it.
    std::error_code remove_ignored;
    fs.Remove(temporary_path, remove_ignored);
    throw;
  }
}

}  // namespace zrk

// The file operations of the package code, behind an interface that tests can wrap.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace zrk::platform {

/// An open file of a FileSystem: a POSIX descriptor here, a HANDLE value on Windows.
using FileHandle = std::intptr_t;

/// The FileHandle value that stands for no file.
inline constexpr FileHandle kNoFile = -1;

/// What the file system says about one file.
struct FileInfo {
  bool regular = false;                ///< A regular file: not a folder, device, pipe or socket.
  std::uint64_t size = 0;              ///< Length in bytes; meaningful for regular files only.
  std::uint64_t device = 0, file = 0;  ///< Together, which file it is, whatever its names.

  bool SameFileAs(const FileInfo& other) const {
    return device == other.device && file == other.file;
  }
};

/// What a name in a folder stands for, a symbolic link not followed.
enum class NameKind { kMissing, kFolder, kFile, kLink, kOther };

/// What the file system says about one name in a folder.
struct NameInfo {
  NameKind kind = NameKind::kMissing;
  FileInfo file;  ///< Which file it is (a link's own), for anything but kMissing.
};

/// One entry of a folder, as FileSystem::ListFolder finds it.
struct FolderEntry {
  std::string name;     ///< Its name in the folder, UTF-8.
  bool folder = false;  ///< A folder itself, not a symbolic link to one.
  FileInfo info;        ///< What it is once links are followed; not regular if they lead nowhere.
};

/// A new file being made beneath a folder by FileSystem::CreateIn. It is written through
/// handle() at its file position and is removed unless Commit() gives it its name.
class NewFile {
 public:
  virtual ~NewFile() = default;

  /// The file, open for writing.
  virtual FileHandle handle() const = 0;

  /// Which file has the new file's name now, without following a symbolic link; nullopt when
  /// there is none.
  virtual std::optional<FileInfo> Existing() const = 0;

  /// Closes the file and gives it its name. A file or symbolic link of that name (never what the
  /// link points to) is replaced only when replace is set; otherwise ec is file_exists and it
  /// stays.
  virtual void Commit(bool replace, std::error_code& ec) = 0;
};

/// The file operations that writing, reading and extracting a package need. Each reports failure
/// through ec (cleared on success) and never throws. NativeFileSystem is the real one; tests derive
/// from it to inject faults.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Looks at the file at path, following symbolic links.
  virtual FileInfo Stat(const std::string& path, std::error_code& ec) = 0;

  /// Looks at an open file.
  virtual FileInfo StatHandle(FileHandle file, std::error_code& ec) = 0;

  /// Opens the file at path for reading, without waiting on a pipe; kNoFile on failure.
  virtual FileHandle OpenForReading(const std::string& path, std::error_code& ec) = 0;

  /// Reads up to buffer.size() bytes of a regular file at offset without moving the file
  /// position. Returns how many were read: fewer only at the end of the file, 0 at or past it.
  virtual std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                             std::error_code& ec) = 0;

  /// ReadAt, but of what the system already holds in memory only: it may stop short where the
  /// rest would come from the device, and fails with operation_would_block, nothing read, when
  /// the first byte would. Where the system cannot tell, it reads as ReadAt.
  virtual std::size_t ReadCachedAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                                   std::error_code& ec) {
    return ReadAt(file, offset, buffer, ec);
  }

  /// Asks the system to start reading the first length bytes of file into memory, without
  /// waiting, so that many files are read from the device at once. Best effort: nothing is
  /// reported.
  virtual void StartReading(FileHandle /*file*/, std::uint64_t /*length*/) {}

  /// Creates a new, empty file for writing in the folder of target_path, with the permission bits
  /// of the file at target_path when there is one. Where the system allows, the file has no name
  /// until Publish gives it one, so that nothing is left behind should the process be killed;
  /// otherwise it gets a hidden name of its own, stored in temporary_path ("" for no name), which
  /// a signal ending the program removes once InstallInterruptCleanup has run. kNoFile on failure.
  virtual FileHandle CreateTemporary(const std::string& target_path, std::string& temporary_path,
                                     std::error_code& ec) = 0;

  /// Appends all of data at the file position of file.
  virtual void Write(FileHandle file, std::span<const char> data, std::error_code& ec) = 0;

  /// Appends count bytes of from, starting at offset, at the file position of to, with the kernel's
  /// copy where the two files allow it. Returns the number of bytes copied, fewer than count only
  /// when from ends first or on failure.
  virtual std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to,
                               std::uint64_t count, std::error_code& ec) = 0;

  /// Asks the system to start writing what file holds to the storage device now, without waiting,
  /// so that a later Sync has less to wait for. Best effort: nothing is reported.
  virtual void StartWriteback(FileHandle /*file*/) {}

  /// Returns once the data written to file are on the storage device.
  virtual void Sync(FileHandle file, std::error_code& ec) = 0;

  /// Closes file. The handle is gone even on failure, which may report data that was not stored.
  virtual void Close(FileHandle file, std::error_code& ec) = 0;

  /// Closes file, a temporary of CreateTemporary whose data are complete and synced, and gives it
  /// the name target_path in one step. A file already at target_path is replaced only when
  /// replace is set; otherwise ec is file_exists and that file stays. On failure the temporary
  /// is gone.
  virtual void Publish(FileHandle file, const std::string& temporary_path,
                       const std::string& target_path, bool replace, std::error_code& ec) = 0;

  /// Removes the file at path.
  virtual void Remove(const std::string& path, std::error_code& ec) = 0;

  // Folders opened once, and folders and files made beneath their handles: what extraction
  // needs. A handle of these is a folder's, closed with Close. Once a folder is open its path is
  // never looked up again, and no name beneath it is followed if it is a symbolic link, so
  // nothing is created or written outside it. A name that is not one plain entry of its folder
  // (empty, ".", "..", a separator, and on Windows a device or a character it refuses) fails
  // with invalid_argument. The defaults fail with function_not_supported, for file systems
  // that tests keep in memory.

  /// Opens the folder at path (a symbolic link there is followed: it is the caller's choice);
  /// not_a_directory when it is no folder. kNoFile on failure.
  virtual FileHandle OpenFolder(const std::string& path, std::error_code& ec);

  /// What is called name in folder, a symbolic link not followed; kMissing when nothing is.
  virtual NameInfo LookBeneath(FileHandle folder, const std::string& name, std::error_code& ec);

  /// Fails when the file system of folder could not hold a file or folder called name beneath
  /// it: filename_too_long for a name longer than it allows, the system's invalid-name error
  /// (invalid_argument on POSIX) for one that is not plain.
  virtual void CheckName(FileHandle folder, const std::string& name, std::error_code& ec);

  /// Opens the folder called name in folder, first making it where it is missing and make is
  /// set; made tells whether this call made it. A symbolic link there fails (on POSIX with
  /// not_a_directory or too_many_symbolic_link_levels), as does anything but a folder.
  virtual FileHandle OpenBeneath(FileHandle folder, const std::string& name, bool make, bool& made,
                                 std::error_code& ec);

  /// Starts a new file called name in folder, which may be closed afterwards. The data go to a
  /// temporary file until NewFile::Commit. nullptr on failure.
  virtual std::unique_ptr<NewFile> CreateIn(FileHandle folder, const std::string& name,
                                            std::error_code& ec);

  /// Removes the file (or, with is_folder, the empty folder) called name in folder; a symbolic
  /// link is removed itself.
  virtual void RemoveBeneath(FileHandle folder, const std::string& name, bool is_folder,
                             std::error_code& ec);

  /// Opens folder, then each of sub_folders below it (making the missing ones), and starts a
  /// new file named file_name in the last one, through the calls above; every name is checked
  /// before anything is made. nullptr on failure.
  std::unique_ptr<NewFile> CreateBeneath(const std::string& folder,
                                         const std::vector<std::string>& sub_folders,
                                         const std::string& file_name, std::error_code& ec);

  // Looking into a skin's folder.

  /// The entries of the folder at path, without "." and "..", in no particular order. A folder
  /// that may not be read gives std::errc::permission_denied. A file system that holds no
  /// folders (a test's files in memory) lists none: function_not_supported.
  virtual std::vector<FolderEntry> ListFolder(const std::string& /*path*/, std::error_code& ec) {
    ec = std::make_error_code(std::errc::function_not_supported);
    return {};
  }
};

/// How many files this process may hold open at once: the system's limit, or a large number
/// where there is none to speak of.
std::size_t OpenFilesAllowed();

/// The operating system's files. CopyAt uses copy_file_range, then sendfile, then a fixed buffer,
/// whichever the two files allow; nothing is ever read whole into memory.
class NativeFileSystem : public FileSystem {
 public:
  FileInfo Stat(const std::string& path, std::error_code& ec) override;
  FileInfo StatHandle(FileHandle file, std::error_code& ec) override;
  FileHandle OpenForReading(const std::string& path, std::error_code& ec) override;
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override;
#ifndef _WIN32
  std::size_t ReadCachedAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                           std::error_code& ec) override;
  void StartReading(FileHandle file, std::uint64_t length) override;
#endif
  FileHandle CreateTemporary(const std::string& target_path, std::string& temporary_path,
                             std::error_code& ec) override;
  void Publish(FileHandle file, const std::string& temporary_path, const std::string& target_path,
               bool replace, std::error_code& ec) override;
  void Write(FileHandle file, std::span<const char> data, std::error_code& ec) override;
  std::uint64_t CopyAt(FileHandle from, std::uint64_t offset, FileHandle to, std::uint64_t count,
                       std::error_code& ec) override;
  void StartWriteback(FileHandle file) override;
  void Sync(FileHandle file, std::error_code& ec) override;
  void Close(FileHandle file, std::error_code& ec) override;
  void Remove(const std::string& path, std::error_code& ec) override;

  FileHandle OpenFolder(const std::string& path, std::error_code& ec) override;
  NameInfo LookBeneath(FileHandle folder, const std::string& name, std::error_code& ec) override;
  void CheckName(FileHandle folder, const std::string& name, std::error_code& ec) override;
  FileHandle OpenBeneath(FileHandle folder, const std::string& name, bool make, bool& made,
                         std::error_code& ec) override;
  std::unique_ptr<NewFile> CreateIn(FileHandle folder, const std::string& name,
                                    std::error_code& ec) override;
  void RemoveBeneath(FileHandle folder, const std::string& name, bool is_folder,
                     std::error_code& ec) override;

  // Looking into a skin's folder.
  std::vector<FolderEntry> ListFolder(const std::string& path, std::error_code& ec) override;
};

/// Owns a handle of a FileSystem and closes it when it goes out of scope, ignoring a failure
/// there; call Close() where a failure to close matters.
class ScopedFile {
 public:
  /// Takes over file, which may be kNoFile.
  ScopedFile(FileSystem& fs, FileHandle file) : fs_(fs), file_(file) {}
  ~ScopedFile();
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  /// The handle; kNoFile once closed.
  FileHandle get() const { return file_; }

  /// Hands the handle over to the caller, who closes it.
  FileHandle Release() { return std::exchange(file_, kNoFile); }

  /// Closes the handle now and reports how that went.
  void Close(std::error_code& ec);

 private:
  FileSystem& fs_;
  FileHandle file_;
};

/// Up to max_bytes from the start of the regular file at path, read through fs. nullopt when the
/// file cannot be looked at, opened or read (ec tells why), and when path names anything but a
/// regular file (ec clear): a folder, device or pipe holds no bytes of a skin.
std::optional<std::string> ReadFileStart(FileSystem& fs, const std::string& path,
                                         std::size_t max_bytes, std::error_code& ec);

/// The file a path names once symbolic links at its end are followed (relative links from the
/// link's folder), so that writing "through" a link changes its target and keeps the link. The
/// path itself when it is no link, or when the links go round in a circle.
std::string FinalTarget(const std::string& path);

}  // namespace zrk::platform

// The parts of the file-system seam that are the same on every platform.
#include "platform/file_system.h"

#include <algorithm>

#include "platform/native_new_file.h"

namespace zrk::platform {

ScopedFile::~ScopedFile() {
  std::error_code ignored;
  if (file_ != kNoFile) fs_.Close(file_, ignored);
}

void ScopedFile::Close(std::error_code& ec) {
  ec.clear();
  if (file_ == kNoFile) return;
  const FileHandle file = file_;
  file_ = kNoFile;
  fs_.Close(file, ec);
}

namespace {

std::error_code Unsupported() { return std::make_error_code(std::errc::function_not_supported); }

}  // namespace

FileHandle FileSystem::OpenFolder(const std::string&, std::error_code& ec) {
  ec = Unsupported();
  return kNoFile;
}

NameInfo FileSystem::LookBeneath(FileHandle, const std::string&, std::error_code& ec) {
  ec = Unsupported();
  return {};
}

void FileSystem::CheckName(FileHandle, const std::string&, std::error_code& ec) {
  ec = Unsupported();
}

FileHandle FileSystem::OpenBeneath(FileHandle, const std::string&, bool, bool& made,
                                   std::error_code& ec) {
  made = false;
  ec = Unsupported();
  return kNoFile;
}

std::unique_ptr<NewFile> FileSystem::CreateIn(FileHandle, const std::string&, std::error_code& ec) {
  ec = Unsupported();
  return nullptr;
}

void FileSystem::RemoveBeneath(FileHandle, const std::string&, bool, std::error_code& ec) {
  ec = Unsupported();
}

std::unique_ptr<NewFile> FileSystem::CreateBeneath(const std::string& folder,
                                                   const std::vector<std::string>& sub_folders,
                                                   const std::string& file_name,
                                                   std::error_code& ec) {
  if (!IsPlainFileName(file_name) ||
      !std::all_of(sub_folders.begin(), sub_folders.end(), IsPlainFileName)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return nullptr;
  }
  FileHandle current = OpenFolder(folder, ec);
  if (ec) return nullptr;
  std::error_code ignored;
  for (const std::string& name : sub_folders) {
    bool made = false;
    const FileHandle next = OpenBeneath(current, name, true, made, ec);
    Close(current, ignored);
    if (ec) return nullptr;
    current = next;
  }
  std::unique_ptr<NewFile> file = CreateIn(current, file_name, ec);
  Close(current, ignored);
  return file;
}

std::optional<std::string> ReadFileStart(FileSystem& fs, const std::string& path,
                                         std::size_t max_bytes, std::error_code& ec) {
  // Looked at before it is opened: opening a device may already do something.
  const FileInfo named = fs.Stat(path, ec);
  if (ec || !named.regular) return std::nullopt;
  ScopedFile file(fs, fs.OpenForReading(path, ec));
  if (ec) return std::nullopt;
  const FileInfo info = fs.StatHandle(file.get(), ec);
  if (ec || !info.regular) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(info.size, max_bytes)), '\0');
  bytes.resize(fs.ReadAt(file.get(), 0, bytes, ec));
  if (ec) return std::nullopt;
  return bytes;
}

}  // namespace zrk::platform

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

std::unique_ptr<NewFile> NativeFileSystem::CreateBeneath(
    const std::string& folder, const std::vector<std::string>& sub_folders,
    const std::string& file_name, std::error_code& ec) {
  if (!IsPlainFileName(file_name) ||
      !std::all_of(sub_folders.begin(), sub_folders.end(), IsPlainFileName)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return nullptr;
  }
  auto file = std::make_unique<NativeNewFile>(folder, sub_folders, file_name, ec);
  if (ec) return nullptr;
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

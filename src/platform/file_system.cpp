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

}  // namespace zrk::platform

// The parts of the file-system seam that are the same on every platform.
#include "platform/file_system.h"

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

}  // namespace zrk::platform

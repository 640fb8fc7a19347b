// The operating system's NewFile, made by NativeFileSystem::CreateIn; implemented in each
// platform's file_system_folders_<platform>.cpp and used nowhere else.
#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace zrk::platform {

/// Whether name stays one entry of its folder on this system; NativeNewFile takes no other.
bool IsPlainFileName(const std::string& name);

class NativeNewFile final : public NewFile {
 public:
  /// Starts the file file_name, a plain name, in folder, an open folder of NativeFileSystem.
  NativeNewFile(FileHandle folder, std::string file_name, std::error_code& ec);
  ~NativeNewFile() override;
  NativeNewFile(const NativeNewFile&) = delete;
  NativeNewFile& operator=(const NativeNewFile&) = delete;

  FileHandle handle() const override { return file_; }
  std::optional<FileInfo> Existing() const override;
  void Commit(bool replace, std::error_code& ec) override;

 private:
  // POSIX works below a descriptor of its own of the folder the file is made in, with names in
  // it; Windows keeps full paths, taken from the folder's handle (folder_ stays unused there).
  int folder_ = -1;
  FileHandle file_ = kNoFile;
  std::string temporary_name_;  // "" once committed, or for a file without a name
  std::string file_name_;
};

}  // namespace zrk::platform

// Benchmark driver: writes one package from a project path and a file list, as a build would.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "assembly/package_writer.h"
#include "platform/error.h"
#include "platform/file_io.h"

namespace {

// The native file system minus the final fdatasync, to tell the copy's cost from the disk's.
class UnsyncedFileSystem : public zrk::platform::NativeFileSystem {
 public:
  void Sync(zrk::platform::FileHandle, std::error_code& ec) override { ec.clear(); }
};

}  // namespace

int main(int argc, char** argv) {
  const bool no_sync = argc == 5 && std::string(argv[1]) == "--no-sync";
  if (argc != 4 && !no_sync) {
    std::fprintf(stderr, "usage: %s [--no-sync] PACKAGE PROJECT LIST\n  LIST: one entry a line\n",
                 argv[0]);
    return 2;
  }
  if (no_sync) ++argv;
  std::ifstream list_file(argv[3]);
  if (!list_file) {
    std::fprintf(stderr, "cannot read %s\n", argv[3]);
    return 2;
  }
  std::vector<std::string> list;
  for (std::string line; std::getline(list_file, line);) {
    if (!line.empty()) list.push_back(line);
  }
  try {
    UnsyncedFileSystem unsynced;
    zrk::platform::NativeFileSystem native;
    zrk::platform::FileSystem& fs = no_sync ? unsynced : native;
    zrk::WritePackage(argv[1], argv[2], list, fs);
  } catch (const zrk::Error& e) {
    std::fprintf(stderr, "Ошибка... %s\n", e.what());
    return 1;
  }
  return 0;
}

// libFuzzer target: CollectFileList over a fuzzed project file and module files on disk.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "assembly/file_list.h"
#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;

// The input is the project file, then the module files, separated by this line.
constexpr std::string_view kSeparator = "\n--8<--\n";

// Where the parts after the project file go, relative to the project folder. A project names
// them in any letter case; "dir.zrm" is a folder where a module file is expected.
const char* const kModuleFiles[] = {"m.zrm", "sub/Мод.zrm", "sub/m.zrm"};

// A folder of its own for the whole run, in the temporary folder (scripts/fuzz.sh points TMPDIR
// at one in memory, as each rewrite of a file on a disk waits for the disk). Removed at a normal
// exit; libFuzzer ends a timed run without one.
const fs::path& SkinFolder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "zrk-fuzz-XXXXXX").string();
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    fs::create_directories(fs::path(pattern) / "sub");
    fs::create_directories(fs::path(pattern) / "dir.zrm");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(SkinFolder(), ignored);
    });
    return fs::path(pattern);
  }();
  return folder;
}

void WriteWhole(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // ".." would let a module name reach files outside the skin folder; those prove nothing here
  // and could be large or slow to read.
  if (input.find("..") != std::string_view::npos) return -1;

  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = input.find(kSeparator, start);
    parts.push_back(input.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + kSeparator.size();
  }
  // Every file is written on every run, so that no run depends on the one before it.
  const fs::path& folder = SkinFolder();
  WriteWhole(folder / "config.zrp", parts[0]);
  for (std::size_t i = 0; i < std::size(kModuleFiles); ++i) {
    WriteWhole(folder / kModuleFiles[i], i + 1 < parts.size() ? parts[i + 1] : "");
  }

  const std::vector<std::string> list = zrk::CollectFileList((folder / "config.zrp").string());
  FUZZ_CHECK(!list.empty() && list.front() == "config.zrp");
  std::unordered_set<std::string_view> seen;
  for (const std::string& name : list) {
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(seen.insert(name).second);
  }
  return 0;
}

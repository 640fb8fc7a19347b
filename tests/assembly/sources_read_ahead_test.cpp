// Tests of the sources read ahead of the writer, through WritePackage: a skin long enough for the
// helper thread, read from memory and as from the device, and a fault deep in its list.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "assembly/package_writer.h"
#include "test_util.h"

namespace zrk {
namespace {

namespace fs = std::filesystem;
using platform::FileHandle;

constexpr std::size_t kSources = 400;
constexpr std::size_t kByCase = 250;  // the source whose name matches the disk only by letter case

std::string EntryName(std::size_t i) { return "Images\\f" + std::to_string(i) + ".bmp"; }

// Source i: mostly under 3 KiB, the first one empty, every 40th over the 64 KiB that the kernel
// copies (up to about 70 KiB), and the sizes on either side of that limit.
std::string SourceBytes(std::size_t i) {
  std::size_t size = i * 37 % 3000;
  if (i % 40 == 11) size = 64 * 1024 + i * 13;
  if (i == 100 || i == 101) size = 64 * 1024 + (i - 100);
  std::mt19937 random(static_cast<unsigned>(i));
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// How many files the process has open; -1 where that cannot be counted.
long OpenDescriptors() {
#ifdef __linux__
  std::error_code ec;
  long n = 0;
  for (fs::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) ++n;
  return ec ? -1 : n;
#else
  return -1;
#endif
}

// The native file operations, called from the writer's two threads: as for a skin on the device
// (every read of memory only refused), and with one source removed as it is opened or unreadable.
class SkinFileSystem : public platform::NativeFileSystem {
 public:
  bool from_device = false;
  std::string removed, unreadable;  // ends of source paths; "" for none
  std::atomic<std::size_t> start_reading{0};

  FileHandle OpenForReading(const std::string& path, std::error_code& ec) override {
    std::error_code ignored;
    if (!removed.empty() && path.ends_with(removed)) fs::remove(path, ignored);
    const FileHandle file = NativeFileSystem::OpenForReading(path, ec);
    if (!ec && !unreadable.empty() && path.ends_with(unreadable)) {
      const std::lock_guard<std::mutex> lock(mutex_);
      unreadable_file_ = file;
    }
    return file;
  }
  std::size_t ReadAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                     std::error_code& ec) override {
    return Unreadable(file, ec) ? 0 : NativeFileSystem::ReadAt(file, offset, buffer, ec);
  }
  std::size_t ReadCachedAt(FileHandle file, std::uint64_t offset, std::span<char> buffer,
                           std::error_code& ec) override {
    if (Unreadable(file, ec)) return 0;
    if (!from_device) return NativeFileSystem::ReadCachedAt(file, offset, buffer, ec);
    ec = std::make_error_code(std::errc::operation_would_block);
    return 0;
  }
  void StartReading(FileHandle file, std::uint64_t length) override {
    start_reading.fetch_add(1);
    NativeFileSystem::StartReading(file, length);
  }
  void Close(FileHandle file, std::error_code& ec) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (file == unreadable_file_) unreadable_file_ = platform::kNoFile;
    }
    NativeFileSystem::Close(file, ec);
  }

 private:
  bool Unreadable(FileHandle file, std::error_code& ec) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (file == platform::kNoFile || file != unreadable_file_) return false;
    ec = {EIO, std::system_category()};
    return true;
  }
  std::mutex mutex_;
  FileHandle unreadable_file_ = platform::kNoFile;
};

// A skin of kSources files in skin/ and an old package in out/.
class SourcesReadAheadTest : public ::testing::Test {
 protected:
  SourcesReadAheadTest() {
    expected_ = testing::kPackageMagic;
    for (std::size_t i = 0; i < kSources; ++i) {
      const std::string bytes = SourceBytes(i);
      list_.push_back(EntryName(i));
      expected_ += testing::PackageEntryBytes(list_.back(), bytes);
      starts_.push_back(bytes.substr(0, kSeenStartBytes));
      const std::string on_disk = "skin/Images/" + std::string(i == kByCase ? "F" : "f") +
                                  std::to_string(i) + (i == kByCase ? ".BMP" : ".bmp");
      testing::WriteFile(dir_.path() / on_disk, bytes);
    }
    testing::WriteFile(dir_.path() / "out/skin.zrk", "old package");
  }

  void Write(platform::FileSystem& fs, const SourceSeenCall& seen = {}) {
    WritePackage(dir_.folder() + "out/skin.zrk", dir_.folder() + "skin/config.zrp", list_, fs,
                 {.replace_existing = true, .progress = {}, .seen = seen});
  }

  // Writes the package through fs: every entry byte for byte, each told to the seen call once,
  // in order, with its start and, for the one matched by letter case only, its path.
  void WritesEveryEntry(platform::FileSystem& fs) {
    const long descriptors = OpenDescriptors();
    std::vector<std::size_t> indexes, by_case;
    std::vector<std::string> starts;
    Write(fs, [&](std::size_t index, const SourceSeen& seen) {
      indexes.push_back(index);
      starts.emplace_back(seen.start);
      if (!seen.by_letter_case.empty()) by_case.push_back(index);
    });
    EXPECT_TRUE(expected_ == testing::ReadFile(dir_.path() / "out/skin.zrk"));  // no dump
    std::vector<std::size_t> in_order(kSources);
    for (std::size_t i = 0; i < kSources; ++i) in_order[i] = i;
    EXPECT_EQ(in_order, indexes);
    EXPECT_TRUE(starts_ == starts);
#ifndef _WIN32
    EXPECT_EQ(std::vector<std::size_t>{kByCase}, by_case);
#endif
    EXPECT_EQ(descriptors, OpenDescriptors());
  }

  testing::TempDir dir_;
  std::vector<std::string> list_, starts_;
  std::string expected_;
};

TEST_F(SourcesReadAheadTest, ReadFromMemoryGivesEveryEntry) {
  platform::NativeFileSystem native;
  WritesEveryEntry(native);
}

// A skin whose bytes are not in memory: once reads keep being refused, the sources ahead are
// asked from the device instead, and the writer reads them itself.
TEST_F(SourcesReadAheadTest, ReadFromTheDeviceGivesEveryEntry) {
  SkinFileSystem device;
  device.from_device = true;
  WritesEveryEntry(device);
  EXPECT_LT(kSources * 9 / 10, device.start_reading.load());
}

// One source, deep in the list, that fails: removed as it is opened, or unreadable.
struct DeepFault {
  const char* name;
  bool from_device;
  bool removed;  // otherwise unreadable
  std::string message;
};

class SourcesReadAheadFault : public SourcesReadAheadTest,
                              public ::testing::WithParamInterface<DeepFault> {};

constexpr char kMissing[] =
    "не удалось открыть файл 'Images\\f300.bmp': нет такого файла или папки";
constexpr char kUnreadable[] = "не удалось прочитать файл 'Images\\f300.bmp': ошибка ввода-вывода";
INSTANTIATE_TEST_SUITE_P(
    , SourcesReadAheadFault,
    ::testing::Values(DeepFault{"removed", false, true, kMissing},
                      DeepFault{"removed, from the device", true, true, kMissing},
                      DeepFault{"unreadable", false, false, kUnreadable},
                      DeepFault{"unreadable, from the device", true, false, kUnreadable}),
    testing::NameOfRow<DeepFault>);

// The error names the entry; the files opened ahead of it are closed and out/ is as it was.
TEST_P(SourcesReadAheadFault, NamesTheEntryAndLeavesNothingOpen) {
  ZRK_SKIP_ON_WINDOWS("takes POSIX error numbers and removes a file the writer may hold open");
  const DeepFault& fault = GetParam();
  SkinFileSystem faulty;
  faulty.from_device = fault.from_device;
  (fault.removed ? faulty.removed : faulty.unreadable) = "/f300.bmp";
  const std::vector<std::string> before = testing::Tree(dir_.path() / "out");
  const long descriptors = OpenDescriptors();

  EXPECT_EQ(fault.message, testing::ErrorOf([&] { Write(faulty); }));
  EXPECT_EQ(before, testing::Tree(dir_.path() / "out"));
  EXPECT_EQ(descriptors, OpenDescriptors());
}

}  // namespace
}  // namespace zrk

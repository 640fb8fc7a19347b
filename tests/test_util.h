// Test support shared by every test executable: a fresh temporary folder, file helpers and the
// package layout.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

/// Skips the test on Windows, saying why, where it tests a POSIX behaviour or cannot make its data
/// there; it then shows as skipped rather than vanishing from the results.
#ifdef _WIN32
#define ZRK_SKIP_ON_WINDOWS(reason) GTEST_SKIP() << (reason)
#else
#define ZRK_SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif

namespace zrk::testing {

/// A fresh, empty folder for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The folder as a string ending in "/", ready to have a relative name appended.
  std::string folder() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

/// Writes bytes to path (relative names are taken inside dir), creating parent folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

/// Reads the whole file at path; fails the test when it cannot.
std::string ReadFile(const std::filesystem::path& path);

/// Test fixture with a fresh temporary folder and a shorthand to write files into it.
class TempDirTest : public ::testing::Test {
 protected:
  /// Writes bytes to dir/relative ("/" separators) and returns the full path.
  std::string Write(const std::string& relative, std::string_view bytes) {
    const auto full = dir_.path() / relative;
    WriteFile(full, bytes);
    return full.string();
  }
  TempDir dir_;
};

/// Windows-1251 bytes of UTF-8 text; fails the test when the text has no such form.
std::string Cp1251(std::string_view utf8);

/// INI text: lines joined with CRLF, as Windows-1251 bytes.
std::string Ini(std::initializer_list<std::string_view> lines);

/// What is below dir, sorted, to compare whole: "path: bytes" for a file of up to 64 bytes,
/// "path: N bytes" for a larger one, "path -> target" for a symbolic link (never followed; an
/// absolute target relative to dir), "path/" for an empty folder, "path (pipe)" for a pipe and
/// "path (special)" for another file that is not a regular one; "/" separates folders.
std::vector<std::string> Tree(const std::filesystem::path& dir);

/// The message of the zrk::Error that f throws, or "" when it throws none.
template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return {};
}

/// The signature a package starts with.
inline constexpr std::string_view kPackageMagic = "ZRK4000029";

/// One package entry as the format lays it out: header with the name's bytes, then the data.
std::string PackageEntryBytes(std::string_view name_bytes, std::string_view data);

/// A table row's name as a test's name: every run of characters other than ASCII letters and
/// digits becomes one "_" ("source of 2^31 bytes" gives "source_of_2_31_bytes").
std::string TestName(std::string_view text);

/// The name of a table's row, for INSTANTIATE_TEST_SUITE_P: rows are structs with a `name`. CTest
/// then lists each row, a failure names it, and `ctest -R` runs it alone.
template <typename Row>
std::string NameOfRow(const ::testing::TestParamInfo<Row>& info) {
  return TestName(info.param.name);
}

/// Whether text contains part; for EXPECT_TRUE on output, with the output streamed as context.
inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace zrk::testing

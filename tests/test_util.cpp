// Shared fixtures of the core's tests.
#include "test_util.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/cp1251.h"

namespace zrk::testing {

TempDir::TempDir() {
  // create_directory is false for a name already taken, by a parallel test say: then another.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    auto name = std::filesystem::temp_directory_path() / ("zrk-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(name)) path_ = std::move(name);
  }
  if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string Cp1251(std::string_view utf8) {
  const auto bytes = platform::Utf8ToCp1251(utf8);
  if (!bytes) ADD_FAILURE() << "no Windows-1251 form: " << utf8;
  return bytes.value_or("");
}

std::string Ini(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) text.append(line).append("\r\n");
  return Cp1251(text);
}

std::vector<std::string> Tree(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> items;
  for (const fs::directory_entry& item : fs::recursive_directory_iterator(dir)) {
    std::string line = item.path().lexically_relative(dir).generic_string();
    if (item.is_symlink()) {
      const fs::path target = fs::read_symlink(item);
      line += " -> " + (target.is_absolute() ? target.lexically_relative(dir) : target).string();
    } else if (item.is_directory()) {
      if (!fs::is_empty(item.path())) continue;
      line += "/";
    } else if (!item.is_regular_file()) {
      line += item.is_fifo() ? " (pipe)" : " (special)";
    } else {
      line += ": " + (item.file_size() <= 64 ? ReadFile(item.path())
                                             : std::to_string(item.file_size()) + " bytes");
    }
    items.push_back(std::move(line));
  }
  std::sort(items.begin(), items.end());
  return items;
}

std::string PackageEntryBytes(std::string_view name_bytes, std::string_view data) {
  return "<new_file=" + std::string(name_bytes) + "*" + std::to_string(data.size()) + ">" +
         std::string(data);
}

std::string TestName(std::string_view text) {
  std::string name;
  for (const char c : text) {
    const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (word) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  if (!name.empty() && name.back() == '_') name.pop_back();
  return name;
}

}  // namespace zrk::testing

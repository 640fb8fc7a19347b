// Building and strictly parsing the magic and entry headers of a package.
#include "assembly/package_format.h"

namespace zrk::package {
namespace {

constexpr char kNameEnd = '*';
constexpr char kSizeEnd = '>';
constexpr std::size_t kMaxSizeDigits = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

FormatProblem Problem(std::size_t offset, std::string what) {
  return FormatProblem{offset, std::move(what)};
}

FormatProblem Truncated(std::size_t offset) {
  return Problem(offset, "заголовок обрывается в конце файла");
}

}  // namespace

bool IsForbiddenNameByte(char byte) { return byte == kNameEnd || byte == kSizeEnd || byte == '\0'; }

void AppendEntryHeader(std::string& out, std::string_view name_bytes, std::uint32_t size) {
  out += kHeaderStart;
  out += name_bytes;
  out += kNameEnd;
  out += std::to_string(size);
  out += kSizeEnd;
}

std::optional<FormatProblem> CheckMagic(std::string_view bytes) {
  for (std::size_t i = 0; i < kMagic.size(); ++i) {
    if (i == bytes.size()) return Problem(i, "файл короче сигнатуры ZRK4000029");
    if (bytes[i] != kMagic[i]) return Problem(i, "нет сигнатуры ZRK4000029");
  }
  return std::nullopt;
}

std::variant<EntryHeader, FormatProblem> ParseEntryHeader(std::string_view bytes, bool at_end) {
  // Past kMaxHeaderLength nothing is looked at, so a window of that size always suffices.
  if (!at_end && bytes.size() > kMaxHeaderLength) bytes = bytes.substr(0, kMaxHeaderLength);

  for (std::size_t i = 0; i < kHeaderStart.size(); ++i) {
    if (i == bytes.size()) return Truncated(i);
    if (bytes[i] != kHeaderStart[i]) return Problem(i, "ожидался заголовок \"<new_file=\"");
  }

  const std::size_t name_start = kHeaderStart.size();
  std::size_t pos = name_start;
  while (true) {
    if (pos == bytes.size()) return Truncated(pos);
    if (bytes[pos] == kNameEnd) break;
    if (IsForbiddenNameByte(bytes[pos])) return Problem(pos, "недопустимый символ в имени файла");
    if (pos - name_start == kMaxNameLength) {
      return Problem(name_start, "имя файла длиннее " + std::to_string(kMaxNameLength) + " байт");
    }
    ++pos;
  }
  EntryHeader header;
  header.name = bytes.substr(name_start, pos - name_start);

  const std::size_t size_start = ++pos;
  std::uint64_t size = 0;
  while (true) {
    if (pos == bytes.size()) return Truncated(pos);
    const char c = bytes[pos];
    if (c == kSizeEnd) break;
    if (!IsDigit(c)) return Problem(pos, "недопустимый символ в размере файла");
    // Said before the length: "00000000001" is refused for its zero, not as a large size.
    if (pos == size_start + 1 && bytes[size_start] == '0') {
      return Problem(size_start, "размер файла начинается с нуля");
    }
    if (pos - size_start == kMaxSizeDigits) {
      return Problem(size_start, "размер файла больше " + std::to_string(kMaxEntrySize));
    }
    size = size * 10 + static_cast<std::uint64_t>(c - '0');
    ++pos;
  }
  if (pos == size_start) return Problem(size_start, "размер файла не указан");
  if (size > kMaxEntrySize) {
    return Problem(size_start, "размер файла больше " + std::to_string(kMaxEntrySize));
  }
  header.size = static_cast<std::uint32_t>(size);
  header.length = pos + 1;
  return header;
}

}  // namespace zrk::package

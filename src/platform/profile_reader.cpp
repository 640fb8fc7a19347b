// The INI profile reader: a one-pass, byte-at-a-time parser that feeds a visitor, and the lookups
// of a Profile built from what it visits.
#include "platform/profile_reader.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>
#include <unordered_set>

#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/native_path.h"

namespace zrk::platform {
namespace {

// Bytes read from a file at a time; a line may span any number of reads.
constexpr std::size_t kReadChunk = 64 * 1024;

// A value is cut after shaping, and shaping may drop one leading quote: that many bytes of the
// trimmed value are enough to shape and cut it.
constexpr std::size_t kValueBytesKept = kMaxProfileValue + 1;

// No limit: a name or value kept whole.
constexpr std::size_t kWhole = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The caller's names lose spaces only: "Picture800\t" does not find "Picture800".
std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Every Windows-1251 byte folded as FoldCase folds its character: the reader matches names by
// the program's one letter-case rule. Bytes whose folded character has no byte of its own stay.
std::array<char, 256> MakeLowerTable() {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::optional<std::string> lower = Utf8ToCp1251(FoldCase(Cp1251ToUtf8(byte)));
    table[b] = lower && lower->size() == 1 ? lower->front() : byte.front();
  }
  return table;
}

void FoldInPlace(std::string& bytes) {
  static const std::array<char, 256> kLower = MakeLowerTable();
  for (char& c : bytes) c = kLower[static_cast<unsigned char>(c)];
}

bool IsHighSurrogate(std::string_view bytes, std::size_t at) {
  const auto high_byte = static_cast<unsigned char>(bytes[at + 1]);
  return high_byte >= 0xD8 && high_byte <= 0xDB;
}

// Reads Windows-1251 bytes in pieces of any size. Every CR and every LF ends a line, so no state
// needs to look ahead and a line may be split between pieces anywhere. Bounded, it keeps only what
// lookups need, so that a line of any length costs bounded memory: names of kMaxProfileName bytes
// at most (a longer one is not visited, nor are the entries under such a header) and the first
// kValueBytesKept bytes of a value.
class Parser {
 public:
  Parser(ProfileVisitor& visitor, bool bounded)
      : visitor_(visitor),
        name_limit_(bounded ? kMaxProfileName : kWhole),
        value_limit_(bounded ? kValueBytesKept : kWhole) {}

  void Feed(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
      const char c = bytes[i];
      if (IsLineEnd(c)) {
        EndLine();
        ++i;
        continue;
      }
      switch (state_) {
        case State::kLineStart:
          if (IsBlank(c)) {
            ++i;
          } else if (c == '[') {
            state_ = State::kHeader;
            ++i;
          } else if (c == ';' || !in_section_) {
            // A comment; or an entry before the first header, which can never be read.
            state_ = State::kSkipLine;
          } else {
            state_ = State::kKey;  // this byte is the key's first, or its "="
          }
          break;
        case State::kKey: {
          const std::size_t end = Find(bytes, i, '=');
          AppendName(bytes.substr(i, end - i));
          i = end;
          if (i < bytes.size() && bytes[i] == '=') {
            state_ = State::kValue;
            ++i;
          }
          break;
        }
        case State::kHeader: {
          const std::size_t end = Find(bytes, i, ']');
          AppendName(bytes.substr(i, end - i));
          i = end;
          if (i < bytes.size() && bytes[i] == ']') {
            EndHeader();
            state_ = State::kSkipLine;  // text after the first "]" is thrown away
            ++i;
          }
          break;
        }
        case State::kValue: {
          const std::size_t end = Find(bytes, i, '\n');
          AddValueBytes(bytes.substr(i, end - i));
          i = end;
          break;
        }
        case State::kSkipLine:
          i = Find(bytes, i, '\n');
          break;
      }
    }
  }

  // Ends the last line, which needs no line end.
  void Finish() { EndLine(); }

 private:
  enum class State { kLineStart, kSkipLine, kHeader, kKey, kValue };

  // The position of the first stop byte or line end at or after from, or the end of bytes.
  static std::size_t Find(std::string_view bytes, std::size_t from, char stop) {
    while (from < bytes.size() && bytes[from] != stop && !IsLineEnd(bytes[from])) ++from;
    return from;
  }

  // Takes more bytes of a header or key name, none of them a line end. Blanks at the name's ends
  // are dropped as they come, and a name longer than the limit is only remembered as too long.
  void AppendName(std::string_view bytes) {
    for (const char c : bytes) {
      if (name_too_long_) return;
      if (IsBlank(c)) {
        // Blanks past the limit need not be kept: more name after them makes it too long.
        if (!name_.empty() && name_.size() + name_blanks_.size() <= name_limit_) {
          name_blanks_ += c;
        }
        continue;
      }
      name_ += name_blanks_;
      name_blanks_.clear();
      name_ += c;
      name_too_long_ = name_.size() > name_limit_;
    }
  }

  // Takes more bytes of the value, none of them a line end.
  void AddValueBytes(std::string_view bytes) {
    if (value_length_ == 0) {
      while (!bytes.empty() && IsBlank(bytes.front())) bytes.remove_prefix(1);  // leading blanks
    }
    std::size_t last = bytes.size();
    while (last > 0 && IsBlank(bytes[last - 1])) --last;
    if (last > 0) {
      value_end_ = value_length_ + last;
      value_last_ = bytes[last - 1];
    }
    if (value_.size() < value_limit_) value_.append(bytes.substr(0, value_limit_ - value_.size()));
    value_length_ += bytes.size();
  }

  void EndHeader() {
    in_section_ = !name_too_long_;  // a section no lookup can name
    if (!in_section_) return;
    section_ = std::move(name_);
    section_first_ = sections_seen_.insert(FoldCaseCp1251(section_)).second;
    keys_seen_.clear();
    visitor_.Section(section_, section_first_);
  }

  void EndEntry() {
    if (name_too_long_) return;
    const bool first = section_first_ && keys_seen_.insert(FoldCaseCp1251(name_)).second;
    const std::string_view value = state_ == State::kValue ? ShapedValue() : std::string_view();
    visitor_.Entry({section_, name_, value, first});
  }

  // The value trimmed of blanks (value_end_ bytes, of which value_ holds the first ones), with
  // one pair of matching quotes dropped; as much of it as value_ holds.
  std::string_view ShapedValue() const {
    std::size_t begin = 0;
    std::size_t end = value_end_;
    const char first = value_end_ > 0 ? value_[0] : '\0';
    if (value_end_ >= 2 && (first == '"' || first == '\'') && value_last_ == first) {
      begin = 1;
      end = value_end_ - 1;
    }
    return std::string_view(value_).substr(begin, end - begin);
  }

  void EndLine() {
    if (state_ == State::kHeader) EndHeader();  // a missing "]": the name runs to the line end
    if (state_ == State::kKey || state_ == State::kValue) EndEntry();
    state_ = State::kLineStart;
    name_.clear();
    name_blanks_.clear();
    name_too_long_ = false;
    value_.clear();
    value_length_ = 0;
    value_end_ = 0;
    value_last_ = '\0';
  }

  ProfileVisitor& visitor_;
  const std::size_t name_limit_;
  const std::size_t value_limit_;
  State state_ = State::kLineStart;
  bool in_section_ = false;                        // a header came, and its name is not too long
  std::string section_;                            // the name of that header
  bool section_first_ = false;                     // no header before it had its name
  std::unordered_set<std::string> sections_seen_;  // folded names of the headers so far
  std::unordered_set<std::string> keys_seen_;      // folded keys of the section, if it is first
  std::string name_;         // header or key name of the line, without blanks at its ends
  std::string name_blanks_;  // blanks read after the name, kept only if more name follows
  bool name_too_long_ = false;
  std::string value_;  // the value from its first non-blank byte, at most value_limit_ bytes
  std::size_t value_length_ = 0;  // bytes of the value after its leading blanks
  std::size_t value_end_ = 0;     // its length without trailing blanks
  char value_last_ = '\0';        // its last non-blank byte
};

}  // namespace

// Keeps what lookups find: the first entry of each key in the first section of each name, its
// value cut as the reader cuts it.
class Profile::Builder : public ProfileVisitor {
 public:
  void Section(std::string_view name, bool first) override {
    current_ = first ? &profile_.sections_[FoldCaseCp1251(name)] : nullptr;
  }

  void Entry(const ProfileEntry& entry) override {
    if (current_ == nullptr || !entry.first) return;
    current_->emplace(FoldCaseCp1251(entry.key), entry.value.substr(0, kMaxProfileValue));
  }

  Profile Take() { return std::move(profile_); }

 private:
  Profile profile_;
  Entries* current_ = nullptr;  // where entries go; null in a repeated section
};

void ParseProfile(std::string_view text, ProfileVisitor& visitor) {
  Parser parser(visitor, false);
  parser.Feed(text);
  parser.Finish();
}

Profile Profile::Parse(std::string_view file_bytes) {
  Builder builder;
  Parser parser(builder, true);
  if (file_bytes.starts_with("\xFF\xFE")) {
    parser.Feed(Utf16LeToCp1251(file_bytes.substr(2)));
  } else {
    parser.Feed(file_bytes);
  }
  parser.Finish();
  return builder.Take();
}

Profile Profile::Load(const std::string& native_path) {
  // Only regular files: a folder cannot be read, and a FIFO or a device might block or never end.
  // A file that cannot be opened reads as empty, as the system's reader has it.
  std::error_code error;
  if (!std::filesystem::is_regular_file(native_path, error)) return Profile();
  std::ifstream in(native_path, std::ios::binary);
  if (!in) return Profile();

  try {
    Builder builder;
    Parser parser(builder, true);
    std::string chunk(kReadChunk, '\0');
    std::string utf16;  // UTF-16LE bytes read but not yet converted
    bool first_read = true;
    bool is_utf16 = false;
    while (true) {
      in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      if (in.bad()) throw Error("не удалось прочитать файл '" + native_path + "': ошибка чтения");
      std::string_view piece(chunk.data(), static_cast<std::size_t>(in.gcount()));
      if (first_read) {
        first_read = false;
        is_utf16 = piece.starts_with("\xFF\xFE");
        if (is_utf16) piece.remove_prefix(2);
      }
      if (!is_utf16) {
        parser.Feed(piece);
      } else {
        // End each converted piece after a unit that is not a high surrogate, so that no pair
        // is cut: the pieces then convert exactly as the whole file would.
        utf16 += piece;
        std::size_t split = utf16.size() & ~std::size_t{1};
        while (split >= 2 && IsHighSurrogate(utf16, split - 2)) split -= 2;
        parser.Feed(Utf16LeToCp1251(std::string_view(utf16).substr(0, split)));
        utf16.erase(0, split);
      }
      if (!in) break;  // end of file
    }
    if (is_utf16) parser.Feed(Utf16LeToCp1251(utf16));
    parser.Finish();
    return builder.Take();
  } catch (const std::bad_alloc&) {
    // Half a file would silently drop the files it names from the package.
    throw Error("не удалось прочитать файл '" + native_path + "': " + std::string(kOutOfMemory));
  }
}

std::string Profile::Value(std::string_view section, std::string_view key) const {
  return Find(section, key).value_or("");
}

std::optional<std::string> Profile::Find(std::string_view section, std::string_view key) const {
  if (section.size() > kMaxProfileName || key.size() > kMaxProfileName) {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    if (section.size() > kMaxProfileName || key.size() > kMaxProfileName) return std::nullopt;
  }
  const auto found_section = sections_.find(ProfileLookupName(section));
  if (found_section == sections_.end()) return std::nullopt;
  const auto found_key = found_section->second.find(ProfileLookupName(key));
  if (found_key == found_section->second.end()) return std::nullopt;
  return found_key->second;
}

std::string FoldCaseCp1251(std::string_view bytes) {
  std::string folded(bytes);
  FoldInPlace(folded);
  return folded;
}

std::string ProfileLookupName(std::string_view name) { return FoldCaseCp1251(TrimSpaces(name)); }

}  // namespace zrk::platform

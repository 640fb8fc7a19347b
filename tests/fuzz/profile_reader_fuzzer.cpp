// libFuzzer target: the INI profile reader on arbitrary file bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/cp1251.h"
#include "platform/profile_reader.h"

namespace {

using zrk::platform::kMaxProfileValue;
using zrk::platform::Profile;

// The lookups a build makes, plus names with blanks and letter case the reader must ignore.
constexpr std::string_view kLookups[][2] = {
    {"MODULES", "BackGround"},
    {"DIRECTIVES", "SizeList"},
    {"STANDARD", "Picture"},
    {"EFFECTS", "Frames"},
    {" effects ", "FRAMES "},
    {"\xD0\xE0\xE7\xEC\xE5\xF0", "k"},
    {"", ""},
};

// The entry that the grammar visits as the first of its names is what a lookup of them finds.
class LookupsAgree : public zrk::platform::ProfileVisitor {
 public:
  explicit LookupsAgree(const Profile& profile) : profile_(profile) {}
  void Entry(const zrk::platform::ProfileEntry& entry) override {
    using zrk::platform::kMaxProfileName;
    if (!entry.first || entry.section.size() > kMaxProfileName ||
        entry.key.size() > kMaxProfileName) {
      return;
    }
    const std::string value(entry.value.substr(0, kMaxProfileValue));
    FUZZ_CHECK(profile_.Find(entry.section, entry.key) == value);
  }

 private:
  const Profile& profile_;
};

void CheckValue(const std::string& value) {
  FUZZ_CHECK(value.size() <= kMaxProfileValue);
  // A value never spans lines.
  FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Profile profile = Profile::Parse(bytes);
  for (const auto& lookup : kLookups) CheckValue(profile.Value(lookup[0], lookup[1]));
  LookupsAgree agree(profile);
  const bool utf16 = bytes.starts_with("\xFF\xFE");
  zrk::platform::ParseProfile(utf16 ? zrk::platform::Utf16LeToCp1251(bytes.substr(2)) : bytes,
                              agree);

  // Names taken from the input itself: the first line's text before and after its first "=".
  const std::string_view first_line = bytes.substr(0, bytes.find_first_of("\r\n"));
  const std::size_t equals = first_line.find('=');
  if (equals != std::string_view::npos) {
    CheckValue(profile.Value(first_line.substr(0, equals), first_line.substr(equals + 1)));
  }

  // CR and LF each end a line and empty lines are skipped, so CR LF read as LF alone gives the
  // same answers (in ANSI files; a UTF-16 file's units would shift).
  if (!bytes.starts_with("\xFF\xFE")) {
    std::string unix_bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
        unix_bytes += bytes[i];
      }
    }
    const Profile unix_profile = Profile::Parse(unix_bytes);
    for (const auto& lookup : kLookups) {
      FUZZ_CHECK(unix_profile.Value(lookup[0], lookup[1]) == profile.Value(lookup[0], lookup[1]));
    }
    if (equals != std::string_view::npos) {
      const std::string_view section = first_line.substr(0, equals);
      const std::string_view key = first_line.substr(equals + 1);
      FUZZ_CHECK(unix_profile.Value(section, key) == profile.Value(section, key));
    }
  }
  // Folding letter case keeps the length and is idempotent.
  const std::string folded = zrk::platform::FoldCaseCp1251(bytes);
  FUZZ_CHECK(folded.size() == bytes.size());
  FUZZ_CHECK(zrk::platform::FoldCaseCp1251(folded) == folded);
  return 0;
}

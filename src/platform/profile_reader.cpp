// The INI profile reader. (Being written.)
#include "platform/profile_reader.h"

namespace zrk::platform {

Profile Profile::Parse(std::string_view) { return Profile(); }
Profile Profile::Load(const std::string&) { return Profile(); }
std::string Profile::Value(std::string_view, std::string_view) const { return {}; }
std::string FoldCaseCp1251(std::string_view bytes) { return std::string(bytes); }

}  // namespace zrk::platform

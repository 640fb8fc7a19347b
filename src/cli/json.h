// JSON text for zrk's --json output.
#pragma once

#include <string>

namespace zrk::cli {

/// text (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

}  // namespace zrk::cli

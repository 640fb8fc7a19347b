// How the programs show text that came from files, packages and the disk: escaped for a terminal
// or a window's report line, or as JSON strings.
#pragma once

#include <string>
#include <string_view>

namespace zrk {

/// text as zrk and the windows' reports show it on one line: what could start a line of its own or
/// drive a terminal is shown escaped: "\n", "\t", "\xHH" for the other C0 controls and DEL,
/// "\u0080" to "\u009f" for the C1 controls, and "\xHH" for each byte that is not part of UTF-8
/// text. A backslash stays as it is: names use it as their separator.
std::string Printable(std::string_view text);

/// text as a JSON string literal, quotes included. Each byte that is not part of UTF-8 text
/// becomes U+FFFD ("\ufffd"); control characters, DEL and the C1 controls are "\u" escapes; so
/// the document is valid JSON, and harmless on a terminal, whatever bytes a name holds.
std::string JsonString(std::string_view text);

}  // namespace zrk

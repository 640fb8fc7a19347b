// zrk's help laid out and its usage errors worded in Russian, over CLI11's.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

namespace zrk::cli {

/// CLI11's help with its columns lined up by characters rather than bytes: the placeholders are
/// Cyrillic, two bytes a letter.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* option, bool is_positional) const override;
};

/// The command of zrk nearest to word, letter case aside: one typing slip away (two for a command
/// of five letters or more), where a letter left out, added, changed or swapped with its
/// neighbour is one. "" when none is that near; of two as near, the first of the list.
std::string NearestCommand(std::string_view word);

/// The usage error CLI11 found, said in the program's language; first_argument is what was typed
/// first, where the command should stand.
std::string UsageMessage(const CLI::ParseError& error, const std::string& first_argument);

}  // namespace zrk::cli

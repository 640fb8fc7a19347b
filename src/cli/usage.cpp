// zrk's help laid out and its usage errors worded in Russian.
#include "cli/usage.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "dialogs/dialog_record.h"

namespace zrk::cli {
namespace {

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The typing slips between a and b, letter case aside: letters left out, added, changed, or two
// neighbours swapped (each swapped pair counted once).
std::size_t Slips(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t changed = Folded(a[i - 1]) == Folded(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + changed});
      if (i > 1 && j > 1 && Folded(a[i - 1]) == Folded(b[j - 2]) &&
          Folded(a[i - 2]) == Folded(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The option CLI11 names first in its message: "--output: At Most ...", "ПРОЕКТ is required".
std::string FirstWord(const std::string& what, char end) { return what.substr(0, what.find(end)); }

std::string UnknownCommandMessage(const std::string& word) {
  const std::string meant = NearestCommand(word);
  return cli_texts::UnknownCommand(word) +
         (meant.empty() ? std::string(cli_texts::kCommandChoice) : cli_texts::MeantCommand(meant));
}

}  // namespace

std::string HelpFormatter::make_option(const CLI::Option* option, bool is_positional) const {
  const std::string name =
      "  " + make_option_name(option, is_positional) + make_option_opts(option);
  const std::size_t width = get_column_width();
  const std::string indent(width, ' ');
  std::string line = name;
  const std::size_t chars = CountCharacters(name);
  line += chars >= width ? "\n" + indent : std::string(width - chars, ' ');
  for (const char c : make_option_desc(option)) {
    line += c;
    if (c == '\n') line += indent;
  }
  return line + "\n";
}

std::string NearestCommand(std::string_view word) {
  std::string nearest;
  std::size_t fewest = 3;
  for (const std::string_view command : kCommandNames) {
    const std::size_t slips = Slips(word, command);
    const std::size_t allowed = command.size() >= 5 ? 2 : 1;
    if (slips <= allowed && slips < fewest) {
      nearest = command;
      fewest = slips;
    }
  }
  return nearest;
}

std::string UsageMessage(const CLI::ParseError& error, const std::string& first_argument) {
  const std::string what = error.what();
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (what.find("subcommand") != std::string::npos) {
      // CLI11 takes an unknown word for a missing command.
      return first_argument.empty() || first_argument.front() == '-'
                 ? std::string(cli_texts::kNoCommand) + cli_texts::kCommandChoice
                 : UnknownCommandMessage(first_argument);
    }
    return cli_texts::MissingArgument(FirstWord(what, ' '));
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    // CLI11 was handed the arguments last first: name them in the order they were typed.
    const std::size_t colon = what.find(": ");
    std::vector<std::string> extras;
    std::istringstream words(colon == std::string::npos ? "" : what.substr(colon + 2));
    for (std::string word; words >> word;) extras.insert(extras.begin(), word);
    std::string text = cli_texts::kExtraArguments;
    for (const std::string& word : extras) text += " " + word;
    return text;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    // An option of one value given twice is "At Most 1 ... received 2"; one given none, the rest.
    const std::string option = FirstWord(what, ':');
    return what.find("At Most") != std::string::npos ? cli_texts::RepeatedOption(option)
                                                     : cli_texts::NoValue(option);
  }
  return cli_texts::kBadArguments;
}

}  // namespace zrk::cli

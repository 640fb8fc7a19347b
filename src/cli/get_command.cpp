// zrk get: one INI value, exactly as a build reads it.
#include <iostream>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/native_path.h"
#include "support/escape.h"
#include "support/mdlINI.h"

namespace zrk::cli {

int RunGet(const std::string& file, const std::string& section, const std::string& key) {
  // The reader cannot tell a missing section or key from an empty value, and neither can a
  // build; a file that cannot be read at all is said, and is what the exit code tells.
  std::cout << Printable(mdlINI::ReadIniValue(file, section, key)) << '\n';
  const platform::SourceFacts facts = platform::InspectFile(file);
  if (facts.presence == platform::Presence::kPresent && facts.regular && facts.readable) {
    return kExitOk;
  }
  const bool exists = facts.presence == platform::Presence::kPresent ||
                      facts.presence == platform::Presence::kUnopenable;
  Say(cli_texts::IniFileUnread(file, exists));
  return kExitFilesMissing;
}

}  // namespace zrk::cli

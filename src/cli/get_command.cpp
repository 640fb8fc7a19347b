// zrk get: one INI value, exactly as a build reads it.
#include <iostream>

#include "cli/commands.h"
#include "platform/native_path.h"
#include "support/mdlINI.h"

namespace zrk::cli {

int RunGet(const std::string& file, const std::string& section, const std::string& key) {
  if (platform::ProbeFile(file) != platform::Presence::kPresent) {
    std::cerr << "zrk: warning: cannot read '" << file << "'; every value reads as empty\n";
  }
  // The reader cannot tell a missing file, section or key from an empty value, and neither can
  // a build, so neither does this command.
  std::cout << mdlINI::ReadIniValue(file, section, key) << '\n';
  return kExitOk;
}

}  // namespace zrk::cli

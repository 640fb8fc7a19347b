// The command line and the console of zrk on POSIX systems, where both are already UTF-8.
#include "cli/command_line.h"

namespace zrk::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

void UseUtf8Console() {}

}  // namespace zrk::cli

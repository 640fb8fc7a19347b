// The command line and the console of zrk on POSIX systems, where both are already UTF-8.
#include <unistd.h>

#include "cli/command_line.h"

namespace zrk::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

void UseUtf8Console() {}

bool IsTerminal(Stream stream) {
  switch (stream) {
    case Stream::kInput:
      return ::isatty(STDIN_FILENO) != 0;
    case Stream::kOutput:
      return ::isatty(STDOUT_FILENO) != 0;
    case Stream::kError:
      return ::isatty(STDERR_FILENO) != 0;
  }
  return false;
}

}  // namespace zrk::cli

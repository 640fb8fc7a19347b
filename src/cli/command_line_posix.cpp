// The command line and the console of zrk on POSIX systems, where both are already UTF-8.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "cli/command_line.h"

namespace zrk::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

void UseUtf8Console() {}

void GuardClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is this one; opened for reading only, it refuses every write.
    const int opened = ::open("/dev/null", O_RDONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
}

bool WriteStandardOutput(std::string_view bytes, std::error_code& ec) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      ec.assign(errno, std::generic_category());
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

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

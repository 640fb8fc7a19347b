// The command line and the console of zrk on Windows, whose argv and console use other code
// pages than the UTF-8 of the program.
#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "cli/command_line.h"
#include "platform/text_win32.h"

namespace zrk::cli {
namespace {

UINT previous_output_code_page = 0;

// The console outlives the program: give the shell back the code page it had.
void RestoreConsole() { SetConsoleOutputCP(previous_output_code_page); }

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  int count = 0;
  // argv holds the ANSI code page form, in which a name outside that code page is lost; the
  // UTF-16 command line holds every name as typed.
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 1; i < count; ++i) arguments.push_back(platform::WideToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
  }
  for (int i = 1; i < argc; ++i) arguments.push_back(platform::AnsiToUtf8(argv[i]));
  return arguments;
}

void UseUtf8Console() {
  // 0 when the process has no console, as when a windowed program starts it.
  previous_output_code_page = GetConsoleOutputCP();
  if (previous_output_code_page == 0 || previous_output_code_page == CP_UTF8) return;
  if (SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreConsole);
}

void GuardClosedStandardStreams() {}

bool WriteStandardOutput(std::string_view bytes, std::error_code& ec) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
    const int n = _write(1, bytes.data(), chunk);
    if (n < 0) {
      ec.assign(errno, std::generic_category());
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool IsTerminal(Stream stream) {
  const int fd = stream == Stream::kInput ? 0 : stream == Stream::kOutput ? 1 : 2;
  return _isatty(fd) != 0;
}

}  // namespace zrk::cli

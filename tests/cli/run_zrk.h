// Runs the built zrk as a process, the way a user or a script does, and collects what it printed.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zrk::testing {

/// How to start zrk beyond its arguments.
struct RunOptions {
  std::vector<std::string> env;  // "NAME=value", replacing the test's own NAME
  rlim_t file_size_limit = 0;    // RLIMIT_FSIZE of zrk, with SIGXFSZ ignored; 0 for none
  std::string stdout_path;       // where zrk's standard output goes instead of RunResult::out
};

/// How zrk ended and what it printed.
struct RunResult {
  int exit_code = -1;  // -1 when a signal ended zrk
  int signal = 0;
  std::string out;
  std::string err;
};

/// Runs zrk with args in the folder cwd, stdin from /dev/null, and collects its exit and output.
RunResult RunZrk(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                 const RunOptions& options = {});

}  // namespace zrk::testing

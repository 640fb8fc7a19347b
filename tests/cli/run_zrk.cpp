// Runs the built zrk as a process.
#include "cli/run_zrk.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "test_util.h"

extern char** environ;

namespace zrk::testing {

namespace fs = std::filesystem;

RunResult RunZrk(const std::vector<std::string>& args, const fs::path& cwd,
                 const RunOptions& options) {
  const fs::path out_file = cwd / ".zrk-stdout", err_file = cwd / ".zrk-stderr";
  std::vector<std::string> arg_text = {ZRK_EXE};
  arg_text.insert(arg_text.end(), args.begin(), args.end());
  std::vector<std::string> env_text;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const std::string& set : options.env) {
      replaced = replaced || entry.starts_with(set.substr(0, set.find('=') + 1));
    }
    if (!replaced) env_text.push_back(entry);
  }
  env_text.insert(env_text.end(), options.env.begin(), options.env.end());
  std::vector<char*> argv, envp;
  for (std::string& arg : arg_text) argv.push_back(arg.data());
  for (std::string& entry : env_text) envp.push_back(entry.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    const int in = ::open("/dev/null", O_RDONLY);
    const std::string out_path =
        options.stdout_path.empty() ? out_file.string() : options.stdout_path;
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.file_size_limit != 0) {
      const rlimit limit{options.file_size_limit, options.file_size_limit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec: writes fail with EFBIG
    }
    ::execve(ZRK_EXE, argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  RunResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  if (options.stdout_path.empty()) result.out = ReadFile(out_file);
  result.err = ReadFile(err_file);
  fs::remove(out_file);
  fs::remove(err_file);
  return result;
}

}  // namespace zrk::testing

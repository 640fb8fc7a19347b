// A preload library for the fault tests: changes a source file of a running zrk between the
// moment the build measures it and the moment it copies it.
//
// ZRK_FAULT="<action>:<path suffix>" acts on the second open() of a path that ends in the suffix.
// A build opens each source twice: to test that it exists, then, after measuring its size, to
// copy it. The actions: "vanish" removes the file before that open, "shrink" cuts its last byte
// before it, "grow" appends a byte once the file is open.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

int opens_seen = 0;

bool EndsWith(const char* text, const char* suffix) {
  const std::size_t n = std::strlen(text), m = std::strlen(suffix);
  return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

// The action this open of path calls for, or nullptr; counts the opens of the named file.
const char* ActionFor(const char* path) {
  const char* fault = std::getenv("ZRK_FAULT");
  if (fault == nullptr || path == nullptr) return nullptr;
  const char* colon = std::strchr(fault, ':');
  if (colon == nullptr || !EndsWith(path, colon + 1)) return nullptr;
  if (++opens_seen != 2) return nullptr;
  static char action[16];
  const std::size_t length = static_cast<std::size_t>(colon - fault);
  if (length >= sizeof action) return nullptr;
  std::memcpy(action, fault, length);
  action[length] = '\0';
  return action;
}

int Intercept(const char* name, const char* path, int flags, mode_t mode) {
  static OpenFunction next_open = nullptr;
  if (next_open == nullptr) next_open = reinterpret_cast<OpenFunction>(::dlsym(RTLD_NEXT, name));
  const char* action = ActionFor(path);
  if (action != nullptr) {
    struct stat st;
    if (std::strcmp(action, "vanish") == 0) {
      ::unlink(path);
    } else if (std::strcmp(action, "shrink") == 0 && ::stat(path, &st) == 0 && st.st_size > 0) {
      if (::truncate(path, st.st_size - 1) != 0) std::abort();
    }
  }
  const int fd = next_open(path, flags, mode);
  if (action != nullptr && fd >= 0 && std::strcmp(action, "grow") == 0) {
    const int saved_errno = errno;
    const int out = next_open(path, O_WRONLY | O_APPEND | O_CLOEXEC, 0);
    if (out < 0 || ::write(out, "+", 1) != 1) std::abort();
    ::close(out);
    errno = saved_errno;
  }
  return fd;
}

mode_t ModeArgument(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return Intercept("open", path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return Intercept("open64", path, flags, mode);
}

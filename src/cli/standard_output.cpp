// zrk's standard output: a buffer of its own in front of it, which keeps why a write failed.
#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/command_line.h"

namespace zrk::cli {
namespace {

// A report of tens of thousands of lines goes out in writes of this size.
constexpr std::size_t kBufferSize = 64 * 1024;

// The standard output's buffer. A stream's own buffer tells only that a write failed; the reason,
// in errno, is gone by the time the program looks, so this one keeps it.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() : buffer_(kBufferSize) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

  std::optional<std::error_code> TakeFailure() {
    sync();
    return std::exchange(failure_, std::nullopt);
  }

 protected:
  int_type overflow(int_type c) override {
    if (WriteOut() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return WriteOut(); }

 private:
  // Writes what the buffer holds and empties it; -1 once a write has failed.
  int WriteOut() {
    const std::string_view held(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (failed_) return -1;
    std::error_code ec;
    if (!held.empty() && !WriteStandardOutput(held, ec)) {
      failed_ = true;
      failure_ = ec;
      return -1;
    }
    return 0;
  }

  std::vector<char> buffer_;
  bool failed_ = false;
  std::optional<std::error_code> failure_;
};

// Never destroyed: std::cout is flushed once more as the program ends, after every static object
// made here has gone.
OutputBuffer& Buffer() {
  static OutputBuffer* const buffer = new OutputBuffer();
  return *buffer;
}

}  // namespace

void TakeOverStandardOutput() {
  GuardClosedStandardStreams();
  std::cout.rdbuf(&Buffer());
}

std::optional<std::error_code> TakeOutputFailure() {
  std::cout.flush();
  if (std::optional<std::error_code> failure = Buffer().TakeFailure()) return failure;
  // Nothing of zrk writes through stdio, but a library might have.
  if (std::fflush(stdout) != 0) return std::error_code(errno, std::generic_category());
  return std::nullopt;
}

}  // namespace zrk::cli

// The project's one error type: a failure whose message a user can read.
#pragma once

#include <stdexcept>
#include <string>

namespace zrk {

/// A failure of a file operation or of a user's input, with a message that names the file and the
/// reason. Every layer above the probe helpers throws this type or one derived from it.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zrk

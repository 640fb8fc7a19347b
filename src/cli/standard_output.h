// zrk's standard output: a buffer of its own in front of it, which keeps why a write failed.
#pragma once

#include <optional>
#include <system_error>

namespace zrk::cli {

/// Makes std::cout write to the standard output through a buffer of zrk's own, which keeps the
/// reason of the first write that fails and drops everything after it. Call once, first thing.
void TakeOverStandardOutput();

/// Writes out what std::cout holds. Returns why the standard output could not be written, once:
/// nullopt when everything reached it, or when its failure was returned before.
std::optional<std::error_code> TakeOutputFailure();

}  // namespace zrk::cli

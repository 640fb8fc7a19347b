// A file of the program's own for data too large to hold in memory.
#pragma once

#include <cstdio>
#include <system_error>

namespace zrk::platform {

/// Opens a new, empty file for reading and writing in the system's folder for temporary files
/// ($TMPDIR, else /tmp; on Windows the user's temporary folder). It has no name, or loses it at
/// once, so that nobody else opens it and nothing is left of it once it is closed or the program
/// ends, however it ends. nullptr on failure, with ec telling why.
std::FILE* OpenScratchFile(std::error_code& ec);

}  // namespace zrk::platform

// Where a POSIX look-up of a path starts: the running build's skin folder handle, or the current
// folder. Shared by the path and file layers of POSIX.
#pragma once

#include <string>

namespace zrk::platform {

/// A path split for the *at() calls: the folder handle to start from and the rest of the path.
struct LookupStart {
  int folder;        ///< A folder handle, or AT_FDCWD.
  const char* rest;  ///< Points into the path given; valid as long as it is.
};

/// Below the skin folder of the running build's SkinLookupScope, the folder's handle and the path
/// below it (which saves walking from the root for every file); else AT_FDCWD and the whole path.
LookupStart StartOfLookup(const std::string& native_path);

}  // namespace zrk::platform

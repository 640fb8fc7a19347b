// Leaving no named temporary file behind when a program is interrupted.
#pragma once

namespace zrk::platform {

/// Makes a SIGINT, SIGTERM or SIGHUP remove the named temporary file of a write in progress (see
/// FileSystem::CreateTemporary and CreateIn) and end the process with 128 + the signal number.
/// For programs; nothing on Windows. Implemented beside the temporary files, in
/// file_system_publish_posix.cpp and file_system_win32.cpp.
void InstallInterruptCleanup();

}  // namespace zrk::platform

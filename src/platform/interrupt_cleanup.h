// Leaving no named temporary file behind when a program is interrupted.
#pragma once

namespace zrk::platform {

/// Makes every signal that would end the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE,
/// SIGXCPU, SIGUSR1, the real-time ones...) remove the named temporary file of a write in progress
/// (see FileSystem::CreateTemporary and CreateIn) and end it with 128 + the signal number; only
/// those that tell of a fault of the program itself (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT,
/// SIGTRAP, SIGSYS) and SIGKILL do not. Ignores SIGXFSZ, so that a write past the file size limit
/// fails as a full disk does. A signal already ignored or handled when this runs stays so. For
/// programs; nothing on Windows. Implemented beside the temporary files, in
/// file_system_publish_posix.cpp and file_system_win32.cpp.
void InstallInterruptCleanup();

}  // namespace zrk::platform

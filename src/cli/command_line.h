// The command line and the console of zrk in UTF-8, on every platform.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zrk::cli {

/// The arguments after the program's name, in UTF-8. argc and argv are main's; on Windows they
/// are in the ANSI code page, so the arguments are taken from the system's UTF-16 command line
/// instead, and argv serves only if that cannot be read.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// Makes a console show the UTF-8 bytes that zrk writes to stdout and stderr, until the program
/// ends. Does nothing where a console already takes UTF-8 or there is none.
void UseUtf8Console();

/// Gives each standard stream (stdin, stdout, stderr) that is closed a file that yields and takes
/// nothing, so that no file zrk opens gets its number and a write to it fails instead. Does nothing
/// on Windows, whose files are no numbers of that kind.
void GuardClosedStandardStreams();

/// Writes all of bytes to the standard output; false, with the system's reason in ec, when they
/// could not all be written.
bool WriteStandardOutput(std::string_view bytes, std::error_code& ec);

/// The standard streams, for IsTerminal.
enum class Stream { kInput, kOutput, kError };

/// Whether stream is a terminal (a console on Windows), where a person reads and answers.
bool IsTerminal(Stream stream);

}  // namespace zrk::cli

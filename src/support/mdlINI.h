// mdlINI: reading one value from an INI file, and the trailing-separator helper.
#pragma once

#include <map>
#include <string>

#include "platform/profile_reader.h"

namespace mdlINI {

/// Returns the value of key in section of the INI file at path, as the platform's profile reader
/// gives it (at most 1022 characters); default_value, without trailing spaces, when the file,
/// section or key is missing (an empty value is a value). Never throws. The file's bytes are
/// Windows-1251; the result is UTF-8.
std::string ReadIniValue(std::string path, std::string section, std::string key,
                         std::string default_value = {});

/// Reads values as ReadIniValue does, parsing each file once and serving later reads of it from
/// memory. Lives for one file-list collection; nothing is kept between builds.
class CachedIniReader {
 public:
  /// The same result as ReadIniValue(path, section, key) with an empty default, except that a file
  /// that cannot be read to its end throws zrk::Error naming it instead of reading as empty: a
  /// build must fail rather than leave that file's names out of the package.
  std::string Read(const std::string& path, const std::string& section, const std::string& key);

  /// Whether Read answers from files it parses itself, so that files parsed ahead help it.
  static bool ParsesFiles();
  /// Parses the file at path as Read does on its first read of it, throwing as Read would; safe
  /// to call on any thread.
  static zrk::platform::Profile Parse(const std::string& path);
  /// Serves Read of path from profile, parsed ahead by Parse, unless it has read path already.
  void Keep(const std::string& path, zrk::platform::Profile profile);

 private:
  std::map<std::string, zrk::platform::Profile, std::less<>> profiles_;
};

/// Returns path with one separator at its end, adding "\" only when it does not already end in a
/// separator. An empty path is replaced by the program's own folder first. Never throws.
std::string WithTrailingBackslash(std::string path);

}  // namespace mdlINI

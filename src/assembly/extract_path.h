// Entry names as paths confined to a target folder: what extraction accepts of a name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zrk {

/// The folder names and file name that entry name stands for, split at "\" (and at "/", which
/// separates folders on Linux). Throws zrk::Error naming the entry when the name is empty,
/// absolute, starts with a drive letter, has a ".." component or a NUL byte, or ends in a
/// separator; empty and "." components are dropped ("a\\.\\b" is "a\b").
std::vector<std::string> EntryPathComponents(std::string_view name);

}  // namespace zrk

// mdlMain: the path, file-existence and list helpers of a build.
#pragma once

#include <cstdint>
#include <string>

#include "platform/native_path.h"
#include "support/string_list.h"

namespace mdlMain {

/// Whether the file at path counts as present: only a missing file or a missing folder on its
/// path (and a folder in place of the file) count as absent; a file that exists but cannot be
/// opened counts as present. Doubled "\" after the start are collapsed to one before the test; a
/// leading "\\" (a network path) is kept. Never throws.
bool FileExists(std::string path);

/// FileExists, also telling what the test found of the file (its kind, size and whether it can
/// be read) in facts, for a build that must know it before writing.
bool FileExists(std::string path, zrk::platform::SourceFacts& facts);

/// Splits text at every delimiter: no delimiter gives one piece, an empty text a dimensioned
/// list with no pieces.
zrk::StringList Split(const std::string& text, const std::string& delimiter);

/// The piece of text split at delimiter, counted by index from the start or, with from_end, from
/// the end (index 0 from the end is the last piece). Empty for any index outside the pieces.
/// Never throws.
std::string SplitPart(const std::string& text, const std::string& delimiter, std::int32_t index,
                      bool from_end);

/// The path up to and including its last separator; empty when it has none.
std::string ParentFolder(const std::string& path);

/// The folder of the project file at project_path, ending in a separator: where the skin's names
/// are resolved. A path without a folder gives the program's own folder.
std::string ProjectFolder(const std::string& project_path);

/// The last component of path: the text after its last separator.
std::string FileNamePart(const std::string& path);

/// Whether the list has been dimensioned (it may still have no elements). Never throws.
bool IsArrayDimensioned(const zrk::StringList& list);

}  // namespace mdlMain

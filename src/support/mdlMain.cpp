// mdlMain over the platform's file probe.
#include "support/mdlMain.h"

#include <new>
#include <utility>

#include "platform/native_path.h"
#include "support/mdlINI.h"

namespace mdlMain {
namespace {

// Collapses each "\\" to "\" in one left-to-right pass over non-overlapping pairs, so three in a
// row become two; the first two characters of a network path are left alone.
std::string CollapseDoubledBackslashes(std::string path) {
  // Most names have no doubled backslash after the start: they go through as they are.
  if (path.find("\\\\", 1) == std::string::npos) return path;
  std::string out;
  out.reserve(path.size());
  std::size_t i = 0;
  if (path.rfind("\\\\", 0) == 0) {
    out = "\\\\";
    i = 2;
  }
  while (i < path.size()) {
    out += path[i];
    i += (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ? 2 : 1;
  }
  return out;
}

// Position of the last separator of path, or npos.
std::size_t LastSeparator(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (zrk::platform::IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

}  // namespace

bool FileExists(std::string path) {
  zrk::platform::SourceFacts ignored;
  return FileExists(std::move(path), ignored);
}

bool FileExists(std::string path, zrk::platform::SourceFacts& facts) {
  facts = {};
  // The system sees a name only up to a NUL byte, so it would test another file than the one
  // named; a name with a NUL names no file.
  if (path.find('\0') != std::string::npos) return false;
  try {
    facts = zrk::platform::InspectFile(CollapseDoubledBackslashes(std::move(path)));
  } catch (const std::bad_alloc&) {
    return false;  // errors suspended, as for every probe helper
  }
  using zrk::platform::Presence;
  return facts.presence == Presence::kPresent || facts.presence == Presence::kUnopenable;
}

zrk::StringList Split(const std::string& text, const std::string& delimiter) {
  auto pieces = zrk::StringList::Dimensioned();
  if (text.empty()) return pieces;
  if (delimiter.empty()) {
    pieces.Append(text);
    return pieces;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t found = text.find(delimiter, start);
    if (found == std::string::npos) {
      pieces.Append(text.substr(start));
      return pieces;
    }
    pieces.Append(text.substr(start, found - start));
    start = found + delimiter.size();
  }
}

std::string SplitPart(const std::string& text, const std::string& delimiter, std::int32_t index,
                      bool from_end) {
  try {
    const zrk::StringList pieces = Split(text, delimiter);
    // Signed arithmetic in 64 bits cannot overflow here; a result outside the pieces is empty.
    const std::int64_t piece =
        from_end ? std::int64_t{pieces.UpperBound()} - index : std::int64_t{index};
    if (piece < 0 || piece > pieces.UpperBound()) return {};
    return pieces.items()[static_cast<std::size_t>(piece)];
  } catch (const std::bad_alloc&) {
    return {};  // errors suspended, as for every probe helper
  }
}

std::string ParentFolder(const std::string& path) {
  const std::size_t last = LastSeparator(path);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string ProjectFolder(const std::string& project_path) {
  return mdlINI::WithTrailingBackslash(ParentFolder(project_path));
}

std::string FileNamePart(const std::string& path) {
  const std::size_t last = LastSeparator(path);
  return last == std::string::npos ? path : path.substr(last + 1);
}

bool IsArrayDimensioned(const zrk::StringList& list) { return list.dimensioned(); }

}  // namespace mdlMain

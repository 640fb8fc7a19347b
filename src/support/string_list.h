// The growable string list: undimensioned until its first element, or dimensioned and possibly
// empty.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zrk {

/// A zero-based list of strings that tells "never dimensioned" from "dimensioned with no
/// elements" (as a split of an empty text gives).
class StringList {
 public:
  /// An undimensioned list.
  StringList() = default;

  /// A dimensioned list holding items (possibly none).
  static StringList Dimensioned(std::vector<std::string> items = {}) {
    StringList list;
    list.dimensioned_ = true;
    list.items_ = std::move(items);
    return list;
  }

  /// Grows the list by one element at its end; dimensions it when it was not.
  void Append(std::string item) {
    dimensioned_ = true;
    items_.push_back(std::move(item));
  }

  bool dimensioned() const { return dimensioned_; }
  /// The upper bound: the last index, -1 for a dimensioned list with no elements. Meaningless for
  /// an undimensioned list (ask IsArrayDimensioned first).
  std::int32_t UpperBound() const { return static_cast<std::int32_t>(items_.size()) - 1; }
  const std::vector<std::string>& items() const { return items_; }
  /// Hands the items over, leaving the list with none (still dimensioned as it was).
  std::vector<std::string> TakeItems() { return std::exchange(items_, {}); }

 private:
  bool dimensioned_ = false;
  std::vector<std::string> items_;
};

}  // namespace zrk

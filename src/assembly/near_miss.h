// Names in an INI file that the builder does not read but that are one slip of the pen away from
// a name it does: a misspelt key leaves its file out of the package without a word otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/profile_reader.h"

namespace zrk::skin_checks {

/// The least number of characters inserted, deleted, replaced, or swapped with their neighbour,
/// that turns a into b; any distance above limit is given as limit + 1.
std::size_t NameDistance(std::string_view a, std::string_view b, std::size_t limit);

/// A section the builder reads from a file, with the keys it reads there, spelled as it asks
/// for them (Windows-1251).
struct ReadSection {
  std::string name;
  std::vector<std::string> keys;
};

/// The names the builder reads from a file, ready to hold a file's names against: made once for
/// every module file, once for a project.
class ReadNames {
 public:
  explicit ReadNames(const std::vector<ReadSection>& reads);

  /// The names of a module file.
  static const ReadNames& OfModuleFile();

  /// The names of a project file whose SizeList value (Windows-1251) is size_list.
  static ReadNames OfProjectFile(const std::string& size_list);

 private:
  friend class NearMissFinder;
  struct Known {
    std::string shown;   // as the builder spells it
    std::string folded;  // as the reader matches it
  };
  struct Section {
    Known name;
    std::vector<Known> keys;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> its place in keys
    std::size_t first_slot = 0;  // the place of its first key among all names read
  };
  std::vector<Section> sections_;
  std::size_t slots_ = 0;  // the names read: each section, then the keys of each in turn
};

/// A name in a file that the builder does not read, close to one it reads. Windows-1251 bytes.
struct NearMiss {
  std::string section;        ///< as the file spells it
  std::string key;            ///< as the file spells it; "" when the section's name is the slip
  std::string meant;          ///< the name read that it is close to, as the builder spells it
  std::string meant_section;  ///< the section read: meant itself, or the section of the key
};

/// Visits a file and finds its near misses: headers and keys that the reader does not match with
/// a name read, but that are at most 2 apart from one (NameDistance, letter case folded as the
/// reader folds it) and less than a third of its length. A key is compared with the keys read in
/// its own section only; entries no lookup finds (later sections of a name, later keys) are left
/// alone, and so are names that are near no name read.
class NearMissFinder : public platform::ProfileVisitor {
 public:
  /// Holds the file's names against names, which must outlive the finder.
  explicit NearMissFinder(const ReadNames& names);

  void Section(std::string_view name, bool first) override;
  void Entry(const platform::ProfileEntry& entry) override;

  /// The near misses in file order, leaving out those whose meant name the file holds as well:
  /// the name is then no slip for that one.
  std::vector<NearMiss> Found() const;

 private:
  struct Candidate {
    NearMiss miss;
    std::size_t slot;  // the slot of the name read that it stands for
  };

  const ReadNames& names_;
  std::vector<bool> present_;  // which names read the file has, by their slots
  std::size_t current_ = 0;    // the section read of the header visited last, or their count
  std::vector<Candidate> candidates_;
};

}  // namespace zrk::skin_checks

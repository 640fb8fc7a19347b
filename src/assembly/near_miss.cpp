// Near misses: the distance between two names, the names the builder reads, and the visitor that
// holds a file's names against them.
#include "assembly/near_miss.h"

#include <algorithm>

#include "assembly/file_list.h"

namespace zrk::skin_checks {
namespace {

// A slip is at most this many edits away from the name meant.
constexpr std::size_t kMaxSlip = 2;

// Whether distance edits make a slip of a name of known_length characters: in a short name a few
// edits make another word ("Maks" is a slip of "Mask", "Fund" no slip of "Font").
bool IsSlip(std::size_t distance, std::size_t known_length) {
  return distance >= 1 && distance <= kMaxSlip && 3 * distance < known_length;
}

// The name as a lookup asks for it, spaces at its ends dropped: "Picture800 " of a SizeList item
// "800 " is found as "Picture800" and is spelled so.
std::string Trimmed(std::string_view name) {
  const std::size_t begin = name.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return std::string(name.substr(begin, name.find_last_not_of(' ') + 1 - begin));
}

}  // namespace

std::size_t NameDistance(std::string_view a, std::string_view b, std::size_t limit) {
  const std::size_t too_far = limit + 1;
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return too_far;
  // Three rows of the table of distances between prefixes: the one before last for swaps.
  std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    std::size_t least = row[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
      least = std::min(least, row[j]);
    }
    if (least > limit) return too_far;  // no later row gets nearer
    std::swap(before, last);
    std::swap(last, row);
  }
  return std::min(last[b.size()], too_far);
}

ReadNames::ReadNames(const std::vector<ReadSection>& reads) {
  for (const ReadSection& read : reads) {
    Section& section = sections_.emplace_back();
    section.name = {read.name, platform::ProfileLookupName(read.name)};
    for (const std::string& key : read.keys) {
      std::string folded = platform::ProfileLookupName(key);
      if (!section.index.emplace(folded, section.keys.size()).second) continue;  // a size twice
      section.keys.push_back({Trimmed(key), std::move(folded)});
    }
  }
  slots_ = sections_.size();
  for (Section& section : sections_) {
    section.first_slot = slots_;
    slots_ += section.keys.size();
  }
}

const ReadNames& ReadNames::OfModuleFile() {
  static const ReadNames kNames = [] {
    std::vector<ReadSection> reads;
    for (const IniRead& read : kModuleReads) {
      auto section = std::find_if(reads.begin(), reads.end(),
                                  [&](const ReadSection& s) { return s.name == read.section; });
      if (section == reads.end()) {
        section = reads.insert(reads.end(), ReadSection{std::string(read.section), {}});
      }
      section->keys.emplace_back(read.key);
    }
    return ReadNames(reads);
  }();
  return kNames;
}

ReadNames ReadNames::OfProjectFile(const std::string& size_list) {
  return ReadNames({{std::string(kModulesSection), ProjectModuleKeys(size_list)},
                    {std::string(kSizeListRead.section), {std::string(kSizeListRead.key)}}});
}

namespace {

// The place of the name read that folded is a slip for, among count names that folded_at gives
// by their place: the nearest, then the first. count when there is none.
template <typename FoldedAt>
std::size_t Nearest(std::string_view folded, std::size_t count, FoldedAt folded_at) {
  std::size_t best = count;
  std::size_t best_distance = kMaxSlip + 1;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = folded_at(i);
    const std::size_t distance = NameDistance(folded, name, kMaxSlip);
    if (distance < best_distance && IsSlip(distance, name.size())) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace

NearMissFinder::NearMissFinder(const ReadNames& names)
    : names_(names), present_(names.slots_), current_(names.sections_.size()) {}

void NearMissFinder::Section(std::string_view name, bool first) {
  const auto& sections = names_.sections_;
  current_ = sections.size();
  if (!first) return;  // a later header of a name is never read, and neither is what it holds
  const std::string folded = platform::FoldCaseCp1251(name);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (sections[i].name.folded != folded) continue;
    present_[i] = true;
    current_ = i;
    return;
  }
  const std::size_t meant = Nearest(
      folded, sections.size(), [&](std::size_t i) -> auto& { return sections[i].name.folded; });
  if (meant == sections.size()) return;
  const std::string& shown = sections[meant].name.shown;
  candidates_.push_back({{std::string(name), "", shown, shown}, meant});
}

void NearMissFinder::Entry(const platform::ProfileEntry& entry) {
  if (current_ == names_.sections_.size() || !entry.first) return;
  const ReadNames::Section& section = names_.sections_[current_];
  const std::string folded = platform::FoldCaseCp1251(entry.key);
  if (const auto found = section.index.find(folded); found != section.index.end()) {
    present_[section.first_slot + found->second] = true;
    return;
  }
  const std::size_t meant = Nearest(
      folded, section.keys.size(), [&](std::size_t i) -> auto& { return section.keys[i].folded; });
  if (meant == section.keys.size()) return;
  candidates_.push_back({{std::string(entry.section), std::string(entry.key),
                          section.keys[meant].shown, section.name.shown},
                         section.first_slot + meant});
}

std::vector<NearMiss> NearMissFinder::Found() const {
  std::vector<NearMiss> found;
  for (const Candidate& candidate : candidates_) {
    if (!present_[candidate.slot]) found.push_back(candidate.miss);
  }
  return found;
}

}  // namespace zrk::skin_checks

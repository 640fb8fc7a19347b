// The look before extraction writes: the package's names as one tree, checked against itself
// and, through the target folder's handle, against the disk.
#include "assembly/extract_plan.h"

#include <algorithm>
#include <map>
#include <optional>

#include "assembly/extract_path.h"
#include "platform/error.h"
#include "platform/error_text.h"

namespace zrk {
namespace {

using platform::FileHandle;
using platform::NameKind;

// A name beneath the target as the entries use it: a folder with names in it, or an entry's file.
struct Node {
  std::map<std::string, Node> children;
  std::optional<std::size_t> file;  // the first entry written here, when it is a file
  std::size_t first = 0;            // the first entry whose path goes through or to here
};

struct Finding {
  std::size_t entry;
  ExtractProblem problem;
  std::string message;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The names of path up to count, as a package spells a path.
std::string Shown(const std::vector<std::string>& path, std::size_t count) {
  std::string shown;
  for (std::size_t i = 0; i < count; ++i) shown += (i == 0 ? "" : "\\") + path[i];
  return shown;
}

class Planner {
 public:
  Planner(const PackageReader& reader, const ExtractTarget& target, const ExtractOptions& options)
      : reader_(reader), fs_(reader.file_system()), target_(target), options_(options) {}

  ExtractPlan Plan(ExtractReport& report) {
    CheckMissingTarget();
    const std::vector<PackageEntry>& entries = reader_.entries();
    plan_.paths.resize(entries.size());
    plan_.repeated.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (options_.Takes(entries[i])) AddEntry(i);
    }
    // A missing target holds nothing yet; only the names need a look.
    CheckFolder(target_.missing.empty() ? target_.folder : platform::kNoFile, target_.folder, root_,
                {});
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.entry < b.entry; });
    for (const Finding& finding : findings_) {
      report.Refused(entries[finding.entry], finding.problem, finding.message);
    }
    plan_.refused = !findings_.empty();
    for (std::vector<std::string>& path : plan_.paths) {
      path.insert(path.begin(), target_.missing.begin(), target_.missing.end());
    }
    return std::move(plan_);
  }

 private:
  void CheckMissingTarget() {
    for (const std::string& name : target_.missing) {
      std::error_code ec;
      fs_.CheckName(target_.folder, name, ec);
      if (ec) {
        throw Error("не удалось создать папку " + Quoted(target_.name) + ": " + Quoted(name) +
                    ": " + platform::ErrorText(ec));
      }
    }
  }

  void Refuse(std::size_t entry, ExtractProblem problem, const std::string& reason) {
    findings_.push_back({entry, problem,
                         "файл " + Quoted(reader_.entries()[entry].name) +
                             " нельзя извлечь в папку " + Quoted(target_.name) + ": " + reason});
  }

  // Puts entry i into the tree, refusing it where its name is unsafe or the package's own
  // names need one name to be a file and a folder at once.
  void AddEntry(std::size_t i) {
    std::vector<std::string> path;
    try {
      path = EntryPathComponents(reader_.entries()[i].name);
    } catch (const Error& unsafe) {
      findings_.push_back({i, ExtractProblem::kUnsafeName, unsafe.what()});
      return;
    }
    Node* node = &root_;
    for (std::size_t k = 0; k < path.size(); ++k) {
      const auto [it, added] = node->children.try_emplace(path[k]);
      node = &it->second;
      const bool last = k + 1 == path.size();
      if (added) {
        node->first = i;
        if (last) node->file = i;
      } else if (node->file && !last) {
        return Refuse(i, ExtractProblem::kConflict,
                      Quoted(Shown(path, k + 1)) + " в пакете уже есть как файл, а нужна папка");
      } else if (!node->file && last) {
        return Refuse(i, ExtractProblem::kConflict,
                      Quoted(Shown(path, k + 1)) + " в пакете уже есть как папка (файл " +
                          Quoted(reader_.entries()[node->first].name) + "), а нужен файл");
      } else if (last) {
        plan_.repeated[i] = true;
      }
    }
    plan_.paths[i] = std::move(path);
  }

  // Checks the names of node against folder (kNoFile where it is still to be made); nearest is
  // the nearest folder that is there, whose file system the names must suit.
  void CheckFolder(FileHandle folder, FileHandle nearest, Node& node,
                   const std::vector<std::string>& path) {
    std::vector<std::string> child_path = path;
    child_path.emplace_back();
    for (auto& [name, child] : node.children) {
      child_path.back() = name;
      const std::string shown = Quoted(Shown(child_path, child_path.size()));
      std::error_code ec;
      fs_.CheckName(nearest, name, ec);
      platform::NameInfo there;
      if (!ec && folder != platform::kNoFile) there = fs_.LookBeneath(folder, name, ec);
      if (ec) {
        Refuse(child.first, ExtractProblem::kConflict, shown + ": " + platform::ErrorText(ec));
      } else if (child.file) {
        CheckFile(*child.file, there, shown);
      } else {
        CheckSubFolder(folder, nearest, child, child_path, there, shown);
      }
    }
  }

  void CheckFile(std::size_t entry, const platform::NameInfo& there, const std::string& shown) {
    if (there.kind == NameKind::kMissing) return;
    if (there.kind == NameKind::kFolder) {
      return Refuse(entry, ExtractProblem::kConflict,
                    shown + " в папке уже есть как папка, а нужен файл");
    }
    if (there.kind == NameKind::kFile && there.file.SameFileAs(reader_.file_info())) {
      findings_.push_back({entry, ExtractProblem::kPackageItself,
                           PackageItselfMessage(reader_.entries()[entry], target_.name)});
    } else if (!options_.replace_existing) {
      findings_.push_back({entry, ExtractProblem::kExisting,
                           KeptFileMessage(reader_.entries()[entry], target_.name)});
    }
  }

  void CheckSubFolder(FileHandle folder, FileHandle nearest, Node& node,
                      const std::vector<std::string>& path, const platform::NameInfo& there,
                      const std::string& shown) {
    switch (there.kind) {
      case NameKind::kMissing:
        return CheckFolder(platform::kNoFile, nearest, node, path);
      case NameKind::kLink:
        return Refuse(node.first, ExtractProblem::kConflict,
                      shown + " в папке — символическая ссылка, по ней файлы не извлекаются");
      case NameKind::kFile:
      case NameKind::kOther:
        return Refuse(node.first, ExtractProblem::kConflict,
                      shown + " в папке уже есть как файл, а нужна папка");
      case NameKind::kFolder:
        break;
    }
    std::error_code ec;
    bool made = false;
    platform::ScopedFile sub(fs_, fs_.OpenBeneath(folder, path.back(), false, made, ec));
    if (ec) {
      return Refuse(node.first, ExtractProblem::kConflict, shown + ": " + platform::ErrorText(ec));
    }
    CheckFolder(sub.get(), sub.get(), node, path);
  }

  const PackageReader& reader_;
  platform::FileSystem& fs_;
  const ExtractTarget& target_;
  const ExtractOptions& options_;
  Node root_;
  ExtractPlan plan_;
  std::vector<Finding> findings_;
};

}  // namespace

ExtractPlan PlanExtraction(const PackageReader& reader, const ExtractTarget& target,
                           const ExtractOptions& options, ExtractReport& report) {
  return Planner(reader, target, options).Plan(report);
}

std::string PackageItselfMessage(const PackageEntry& entry, const std::string& target) {
  return "файл " + Quoted(entry.name) + " в папке " + Quoted(target) +
         " не будет записан: это читаемый пакет";
}

std::string KeptFileMessage(const PackageEntry& entry, const std::string& target) {
  return "файл " + Quoted(entry.name) + " уже есть в папке " + Quoted(target) +
         " и не будет заменён";
}

}  // namespace zrk

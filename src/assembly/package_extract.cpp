// Writing a package's entries beneath the target folder's handle, after the look before writing
// found nothing in the way, and taking back what was made when a write fails.
#include "assembly/package_extract.h"

#include <map>

#include "assembly/extract_plan.h"
#include "platform/error.h"
#include "platform/error_text.h"

namespace zrk {
namespace {

using platform::FileHandle;
using platform::kNoFile;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The open folders on the path of the entry being written, from the target down, each opened
// beneath the one before it. Entries in one folder share its handle; a folder is never looked
// up by its path.
class FolderChain {
 public:
  FolderChain(platform::FileSystem& fs, FileHandle root) : fs_(fs), root_(root) {}
  ~FolderChain() { CloseFrom(0); }
  FolderChain(const FolderChain&) = delete;
  FolderChain& operator=(const FolderChain&) = delete;

  // The folder that holds the last name of path, opening the folders on the way that are not
  // open yet, and with make making the missing ones (made is told the path of each). kNoFile,
  // with ec, on failure.
  template <typename Made>
  FileHandle Enter(const std::vector<std::string>& path, bool make, Made&& made,
                   std::error_code& ec) {
    const std::size_t depth = path.size() - 1;
    std::size_t same = 0;
    while (same < names_.size() && same < depth && names_[same] == path[same]) ++same;
    CloseFrom(same);
    while (names_.size() < depth) {
      bool was_made = false;
      const FileHandle next = fs_.OpenBeneath(Current(), path[names_.size()], make, was_made, ec);
      if (was_made) made(std::vector<std::string>(path.begin(), path.begin() + names_.size() + 1));
      if (ec) return kNoFile;
      names_.push_back(path[names_.size()]);
      handles_.push_back(next);
    }
    ec.clear();
    return Current();
  }

 private:
  FileHandle Current() const { return handles_.empty() ? root_ : handles_.back(); }

  void CloseFrom(std::size_t depth) {
    while (handles_.size() > depth) {
      std::error_code ignored;
      fs_.Close(handles_.back(), ignored);
      handles_.pop_back();
      names_.pop_back();
    }
  }

  platform::FileSystem& fs_;
  FileHandle root_;
  std::vector<std::string> names_;
  std::vector<FileHandle> handles_;
};

// Something this extraction made, to take back should a later write fail.
struct Made {
  std::vector<std::string> path;
  bool folder = false;
  platform::FileInfo file;  // which file it is: one put in its place since is left alone
};

class Extraction {
 public:
  Extraction(const PackageReader& reader, const ExtractTarget& target,
             const ExtractOptions& options, ExtractReport& report, const ExtractPlan& plan)
      : reader_(reader),
        fs_(reader.file_system()),
        target_(target),
        options_(options),
        report_(report),
        plan_(plan),
        chain_(fs_, target.folder) {}

  void Run() {
    std::uint64_t total = 0, written = 0;
    for (const PackageEntry& entry : reader_.entries()) {
      if (options_.Takes(entry)) total += entry.size;
    }
    try {
      for (std::size_t i = 0; i < reader_.entries().size(); ++i) {
        if (!options_.Takes(reader_.entries()[i])) continue;
        Write(i);
        written += reader_.entries()[i].size;
        report_.Progress(written, total);
      }
    } catch (const Error& failure) {
      const std::size_t left = TakeBack() + replaced_;
      throw Error(std::string(failure.what()) +
                  (left == 0 ? "; ничего не извлечено"
                             : "; осталось извлечённых файлов: " + std::to_string(left)));
    } catch (...) {
      TakeBack();
      throw;
    }
  }

 private:
  Error Failure(const PackageEntry& entry, const char* what, const std::error_code& ec) const {
    return Error(std::string("не удалось ") + what + " файл " + Quoted(entry.name) + " в папке " +
                 Quoted(target_.name) + ": " + platform::ErrorText(ec));
  }

  void Write(std::size_t i) {
    const PackageEntry& entry = reader_.entries()[i];
    const std::vector<std::string>& path = plan_.paths[i];
    std::error_code ec;
    const auto made_folder = [this](std::vector<std::string> made) {
      made_.push_back({std::move(made), true, {}});
    };
    const FileHandle folder = chain_.Enter(path, true, made_folder, ec);
    if (ec) throw Failure(entry, "создать", ec);
    if (plan_.repeated[i]) {
      report_.Repeated(entry, "файл " + Quoted(entry.name) +
                                  " встречается в пакете ещё раз; последний заменяет предыдущий");
    }
    const std::unique_ptr<platform::NewFile> file = fs_.CreateIn(folder, path.back(), ec);
    if (!file) throw Failure(entry, "создать", ec);
    // What appeared since the look before writing is treated as what was there then.
    const auto ours = made_files_.find(path);
    const std::optional<platform::FileInfo> existing = file->Existing();
    if (existing && existing->SameFileAs(reader_.file_info())) {
      throw Error(PackageItselfMessage(entry, target_.name));
    }
    const bool replace = options_.replace_existing || ours != made_files_.end();
    if (existing && !replace) throw Error(KeptFileMessage(entry, target_.name));
    reader_.CopyData(entry, file->handle());
    const platform::FileInfo info = fs_.StatHandle(file->handle(), ec);
    if (ec) throw Failure(entry, "записать", ec);
    file->Commit(replace, ec);
    if (ec == std::errc::file_exists) throw Error(KeptFileMessage(entry, target_.name));
    if (ec) throw Failure(entry, "записать", ec);
    if (ours != made_files_.end()) {
      if (ours->second != kReplaced) made_[ours->second].file = info;
    } else if (existing) {
      made_files_.emplace(path, kReplaced);
      ++replaced_;
    } else {
      made_files_.emplace(path, made_.size());
      made_.push_back({path, false, info});
    }
  }

  // Removes what this extraction made, the last first, leaving alone any file that is no longer
  // the one it wrote and a folder that holds something else; returns how many of its files stay.
  std::size_t TakeBack() {
    std::size_t left = 0;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      std::error_code ec;
      const FileHandle folder = chain_.Enter(
          it->path, false, [](auto&&) {}, ec);
      if (!ec && !it->folder) {
        const platform::NameInfo there = fs_.LookBeneath(folder, it->path.back(), ec);
        if (!ec && (there.kind != platform::NameKind::kFile || !there.file.SameFileAs(it->file))) {
          ec = std::make_error_code(std::errc::file_exists);
        }
      }
      if (!ec) fs_.RemoveBeneath(folder, it->path.back(), it->folder, ec);
      if (ec && !it->folder) ++left;
    }
    return left;
  }

  const PackageReader& reader_;
  platform::FileSystem& fs_;
  const ExtractTarget& target_;
  const ExtractOptions& options_;
  ExtractReport& report_;
  const ExtractPlan& plan_;
  FolderChain chain_;
  std::vector<Made> made_;
  // Each file this extraction wrote: its index in made_, or kReplaced for one that replaced a
  // file that was there.
  static constexpr std::size_t kReplaced = static_cast<std::size_t>(-1);
  std::map<std::vector<std::string>, std::size_t> made_files_;
  std::size_t replaced_ = 0;
};

}  // namespace

bool ExtractPackage(const PackageReader& reader, const ExtractTarget& target,
                    const ExtractOptions& options, ExtractReport& report) {
  const ExtractPlan plan = PlanExtraction(reader, target, options, report);
  if (plan.refused) return false;
  Extraction(reader, target, options, report, plan).Run();
  return true;
}

}  // namespace zrk

// The build driver: the report lines, message boxes and save loop of one build.
#include "assembly/build_driver.h"

#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "assembly/file_list.h"
#include "assembly/package_format.h"
#include "assembly/package_writer.h"
#include "assembly/prepared_in_order.h"
#include "assembly/texts.h"
#include "dialogs/mdlCdlg.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/native_path.h"
#include "support/mdlMain.h"

namespace zrk {
namespace {

// One build's view of the report, with the two operations the build combines.
class ReportWriter {
 public:
  explicit ReportWriter(Report& report) : report_(report) {}
  void Add(std::string_view line) { report_.AddLine(std::string(line)); }
  void Add(const std::string& line) { report_.AddLine(line); }
  void SelectLast() {
    report_.SetSelectedIndex(static_cast<std::int16_t>(report_.LineCount() - 1));
  }
  void Collected(const ListedFiles& files) { report_.FileListCollected(files); }
  void Tested(std::size_t index, const std::string& name, bool found) {
    report_.FileTested(index, name, found);
  }
  void PreviewAdded(const std::string& name, const NameOrigin& origin) {
    report_.PreviewAdded(name, origin);
  }
  void ShowProgress(const std::string& entry, std::uint64_t written, std::uint64_t total) {
    report_.ShowProgress(entry, written, total);
  }
  void Written(std::size_t index, const SourceSeen& seen) { report_.FileWritten(index, seen); }

 private:
  Report& report_;
};

// How far ahead of the report the files are tested on the second thread.
constexpr std::size_t kTestedAhead = 256;

// Tests every entry at the project folder, one report line each; true when all exist. facts
// gets what each test found. The tests run ahead on a second thread; the lines come in order.
bool VerifyFiles(const std::string& project_folder, const std::vector<std::string>& files,
                 std::vector<platform::SourceFacts>& facts, ReportWriter& report) {
  bool all_found = true;
  facts.resize(files.size());
  std::vector<char> found_at(files.size());
  PreparedInOrder tested(files.size(), kTestedAhead, project_folder, [&](std::size_t i) {
    found_at[i] = mdlMain::FileExists(project_folder + files[i], facts[i]);
  });
  for (std::size_t i = 0; i < files.size(); ++i) {
    tested.WaitFor(i);
    const bool found = found_at[i] != 0;
    report.Add(files[i] + std::string(found ? texts::kFileOk : texts::kFileMissing));
    report.SelectLast();
    report.Tested(i, files[i], found);
    all_found = all_found && found;
  }
  return all_found;
}

// Throws what the writer would refuse of the files: so the user is never asked for a package name
// that cannot be written, and a check gives the build's verdict.
void CheckWritable(const std::vector<std::string>& files,
                   const std::vector<platform::SourceFacts>& facts) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    CheckEntryName(files[i]);
    CheckSource(files[i], facts[i]);
  }
}

// About the size of the package of files: their data and headers.
std::uint64_t PackageSize(const std::vector<std::string>& files,
                          const std::vector<platform::SourceFacts>& facts) {
  std::uint64_t total = package::kMagic.size();
  for (std::size_t i = 0; i < files.size(); ++i) {
    total += facts[i].size + files[i].size() + package::kHeaderStart.size() + 12;
  }
  return total;
}

// The save loop: asks for a name until the user gives a usable one or confirms the cancellation,
// then writes the package. An existing package is replaced by the writer only once the new one is
// complete, so "Yes" to the overwrite question deletes nothing up front.
BuildOutcome SaveStage(const std::string& project_path, const std::vector<std::string>& files,
                       std::uint64_t total, ReportWriter& report, MessageBoxes& boxes,
                       PackageNaming naming) {
  while (true) {
    kelCommonDialog& dialog = mdlCdlg::SharedDialog();
    // The package goes beside the skin unless the user says otherwise.
    dialog.SetInitDir(mdlMain::ParentFolder(project_path));
    dialog.SetOKText(std::string(texts::kSaveOkText));
    dialog.SetFilter(std::string(texts::kPackageFilter));
    dialog.SetFileName("");
    dialog.ShowSave();

    const std::string name = dialog.FileName();
    if (name.empty()) {
      if (boxes.Ask(Question::kCancelBuild, std::string(texts::kCancelQuestion)) ==
          MessageAnswer::kYes) {
        report.Add(texts::kCancelledByUser);
        return BuildOutcome::kCancelled;
      }
      continue;
    }

    const std::string package_path =
        naming == PackageNaming::kAsGiven ? name : name + std::string(texts::kPackageExtension);
    // A folder, device or pipe there is refused, not offered for replacing.
    CheckDestination(package_path);
    WriteOptions options;
    if (PackageExists(package_path, naming)) {
      const std::string question = std::string(texts::kOverwritePrefix) + package_path +
                                   std::string(texts::kOverwriteSuffix);
      if (boxes.Ask(Question::kReplacePackage, question) != MessageAnswer::kYes) {
        continue;
      }
      options.replace_existing = true;
    }
    options.progress = [&report, total](const std::string& entry, std::uint64_t written) {
      report.ShowProgress(entry, written, total);
    };
    options.seen = [&report](std::size_t index, const SourceSeen& seen) {
      report.Written(index, seen);
    };

    WritePackage(package_path, project_path, files, options);
    report.Add(texts::kSucceeded);
    boxes.ShowLastLine(std::string(texts::kSuccessBox), MessageIcon::kInformation);
    return BuildOutcome::kWritten;
  }
}

// The stages of a build, each reported: collect the list, test its files, then, unless only
// checking, ask for the name and write.
BuildOutcome CollectCheckAndSave(const std::string& project_path, ReportWriter& report,
                                 MessageBoxes& boxes, bool check_only, PackageNaming naming) {
  report.Add(texts::kCollectingList);
  std::vector<std::string> files;
  {
    // Where each name was named is told, not kept: the build goes on with the names alone.
    ListedFiles listed = CollectListedFiles(project_path);
    report.Collected(listed);
    files = listed.TakeNames();
  }
  report.Add(texts::kListCollected);
  report.Add(std::string(texts::kCountPrefix) + std::to_string(files.size()) +
             std::string(texts::kCountSuffix));
  report.Add(texts::kCheckingFiles);

  const std::string project_folder = mdlMain::ProjectFolder(project_path);
  std::vector<platform::SourceFacts> facts;
  if (!VerifyFiles(project_folder, files, facts, report)) {
    boxes.Show(std::string(texts::kMissingFilesBox), MessageIcon::kError, MessageButtons::kOk);
    report.Add(texts::kFileNotFoundLine);
    report.SelectLast();
    return BuildOutcome::kFilesMissing;
  }

  // The preview picture is appended without the duplicate test: a module may name it as well.
  platform::SourceFacts preview;
  if (mdlMain::FileExists(project_folder + std::string(texts::kPreviewName), preview)) {
    files.emplace_back(texts::kPreviewName);
    facts.push_back(preview);
    report.Add(texts::kPreviewFound);
    report.PreviewAdded(std::string(texts::kPreviewName), {NameOrigin::Kind::kPreview, "", "", ""});
  }
  CheckWritable(files, facts);
  report.Add(texts::kCheckPassed);
  report.Add(texts::kPreparing);
  report.SelectLast();
  if (check_only) return BuildOutcome::kChecked;

  const BuildOutcome outcome =
      SaveStage(project_path, files, PackageSize(files, facts), report, boxes, naming);
  report.SelectLast();
  return outcome;
}

}  // namespace

bool PackageExists(const std::string& package_path, PackageNaming naming) {
  if (naming == PackageNaming::kAppendExtension) return mdlMain::FileExists(package_path);
  std::error_code ec;
  return std::filesystem::exists(platform::PathFromUtf8(package_path), ec);
}

std::string ChooseProjectFile(MessageBoxes& boxes) {
  kelCommonDialog& dialog = mdlCdlg::SharedDialog();
  dialog.SetOKText(std::string(texts::kOpenOkText));
  dialog.SetFilter(std::string(texts::kProjectFilter));
  dialog.SetFileName("");
  try {
    dialog.ShowOpen();
  } catch (const Error& error) {
    // Say so rather than let the failure escape into the window's message loop.
    boxes.Show(error.what(), MessageIcon::kError, MessageButtons::kOk);
    return {};
  }
  // The next open dialog starts where this project was found.
  const std::string chosen = dialog.FileName();
  if (!chosen.empty()) dialog.SetInitDir(mdlMain::ParentFolder(chosen));
  return chosen;
}

BuildOutcome BuildPackage(const std::string& project_path, Report& report, MessageBoxes& boxes,
                          bool check_only, PackageNaming naming) {
  ReportWriter writer(report);
  // Names whose letter case differs from the disk read each folder once in this build, and the
  // skin's files are looked up from its folder.
  const platform::SkinLookupScope lookups(mdlMain::ProjectFolder(project_path));
  report.Clear();
  std::optional<std::string> failure;
  BuildOutcome outcome = BuildOutcome::kFailed;
  // Only failures of files and memory are reported; any other exception is a fault of the
  // program, not of the skin, and is not dressed as one.
  try {
    outcome = CollectCheckAndSave(project_path, writer, boxes, check_only, naming);
  } catch (const DestinationTaken& error) {
    failure = error.what();
    outcome = BuildOutcome::kNotReplaced;
  } catch (const Error& error) {
    failure = error.what();
  } catch (const std::bad_alloc&) {
    failure = std::string(platform::kOutOfMemory);
  }
  std::string line;
  if (failure) {
    // Whatever failed, the writer has left no partial package; say what and where, then go idle.
    line = std::string(texts::kErrorPrefix) + *failure;
    writer.Add(line);
    writer.SelectLast();
    boxes.ShowLastLine(line, MessageIcon::kError);
  }
  report.BuildEnded(outcome, line);
  return outcome;
}

}  // namespace zrk

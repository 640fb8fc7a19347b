// The build behind the Browse button: collect, verify, ask for the name, write, report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assembly/file_list.h"
#include "assembly/package_writer.h"

namespace zrk {

/// How a build ended.
enum class BuildOutcome {
  kWritten,       // the package was written
  kChecked,       // every file exists; nothing was asked or written (check only)
  kFilesMissing,  // at least one listed file is missing; nothing was written
  kCancelled,     // the user confirmed the cancellation; nothing was written
  kFailed,        // a file operation failed; reported, and nothing was written
  kNotReplaced,   // a file appeared at the package path meanwhile and was kept; nothing written
};

/// The report list a build writes into: the user's only view of what happened.
class Report {
 public:
  virtual ~Report() = default;
  /// Removes every line.
  virtual void Clear() = 0;
  /// Adds a line at the end.
  virtual void AddLine(const std::string& line) = 0;
  /// The number of lines, as the 16-bit signed count of a list box.
  virtual std::int16_t LineCount() const = 0;
  /// Highlights the line at index and scrolls it into view.
  virtual void SetSelectedIndex(std::int16_t index) = 0;
  /// Called now and then while the package is written, work that adds no line: the entry being
  /// copied and the bytes of the package written of about total. A window repaints then and
  /// shows that it is alive; a console may show the figures.
  virtual void ShowProgress(const std::string& /*entry*/, std::uint64_t /*written*/,
                            std::uint64_t /*total*/) {}

  // What happened, told beside the lines so that no front end reads it back out of them.

  /// Told the collected file list, once, before the files are tested, each name with where it
  /// was named: a front end may look at the skin before the build's verdict.
  virtual void FileListCollected(const ListedFiles& /*files*/) {}
  /// Told after the report line of each file's test: its index in the list, its name, and
  /// whether it was found.
  virtual void FileTested(std::size_t /*index*/, const std::string& /*name*/, bool /*found*/) {}
  /// Told after the report line that says the preview picture was added to the package's
  /// entries, behind the tested list.
  virtual void PreviewAdded(const std::string& /*name*/, const NameOrigin& /*origin*/) {}
  /// Told while the package is written, once an entry's bytes are in it: its index in the list
  /// and what was seen of its file (see SourceSeen), so that a front end can look into every file
  /// without opening it again.
  virtual void FileWritten(std::size_t /*index*/, const SourceSeen& /*seen*/) {}
  /// Told once, last, how the build ended, with the "Ошибка... " line the report ended on when it
  /// ended on one ("" otherwise).
  virtual void BuildEnded(BuildOutcome /*outcome*/, const std::string& /*error_line*/) {}
};

/// A report's line count as a list box gives it: a 16-bit signed value, held at 32767 when the
/// report is longer (a negative count, an error of the toolkit, reads as 0).
inline std::int16_t ClampedLineCount(std::int64_t count) {
  return static_cast<std::int16_t>(count < 0 ? 0 : count > INT16_MAX ? INT16_MAX : count);
}

enum class MessageIcon { kError, kQuestion, kInformation };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };
/// The questions a build asks.
enum class Question {
  kCancelBuild,     // the save dialog was closed without a name
  kReplacePackage,  // a file of the package's name is already there
};

/// Modal message boxes captioned with the application title, the first button the default.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  /// Shows text with icon and buttons and returns the button pressed once the box is closed.
  virtual MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
  /// Asks question, worded as text, with "Yes" and "No". A window shows it like any other box; a
  /// console may answer it by its kind.
  virtual MessageAnswer Ask(Question /*question*/, const std::string& text) {
    return Show(text, MessageIcon::kQuestion, MessageButtons::kYesNo);
  }
  /// Shows the box that ends a build, with "OK", whose text the report's last line says too. A
  /// window shows it like any other box; a console that has printed the line need not repeat it.
  virtual void ShowLastLine(const std::string& text, MessageIcon icon) {
    Show(text, icon, MessageButtons::kOk);
  }
};

/// Asks for a project file in the shared dialog object's open dialog ("Выбарть" on its button, the
/// project filter, an empty name) and returns the chosen full path, or "" when the dialog was
/// cancelled. A dialog that cannot be shown at all is reported in an error box and gives "".
std::string ChooseProjectFile(MessageBoxes& boxes);

/// How the name the save dialog returns becomes the package path.
enum class PackageNaming {
  kAppendExtension,  // the name followed by ".zrk", whatever it ends in: the window's dialog
  kAsGiven,          // the name itself: a path typed in full, extension included
};

/// Whether a file is at package_path, as a build with naming looks for one to replace: like any
/// name of the window's dialog, in another letter case too; as given, only exactly so spelled.
bool PackageExists(const std::string& package_path, PackageNaming naming);

/// Runs one whole build of the project file at project_path: clears report, collects and tests
/// the files, asks for the package name through the shared dialog object, writes the package and
/// reports each stage. Never throws: a failed file operation ends the build with an "Ошибка... "
/// line and an error box, and leaves no partial package. With check_only, it stops after the
/// verdict on the files, before any dialog.
BuildOutcome BuildPackage(const std::string& project_path, Report& report, MessageBoxes& boxes,
                          bool check_only = false,
                          PackageNaming naming = PackageNaming::kAppendExtension);

}  // namespace zrk

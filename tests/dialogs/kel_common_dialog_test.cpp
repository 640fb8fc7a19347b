// Tests of kelCommonDialog: the record it hands the platform and what it reads back.
#include "dialogs/kel_common_dialog.h"

#include <gtest/gtest.h>

#include "dialogs/fake_dialog_platform.h"

namespace zrk {
namespace {

using namespace std::string_literals;

// Text of count letters "ж", two bytes each.
std::string Zh(std::size_t count) {
  std::string text;
  while (count-- > 0) text += "ж";
  return text;
}

class KelCommonDialog : public ::testing::Test {
 protected:
  // Shows the save or open dialog; the number of the DialogError it throws, or -1 for none.
  std::int32_t ErrorNumber(bool save) {
    try {
      save ? dialog_.ShowSave() : dialog_.ShowOpen();
    } catch (const DialogError& error) {
      return error.number();
    }
    return -1;
  }
  const DialogRecord& seen() const { return platform_.seen; }
  std::string Names() const { return dialog_.FileName() + " | " + dialog_.FileTitle(); }

  testing::FakeDialogPlatform platform_;
  kelCommonDialog dialog_;
};

// The record's filter is the "|" list with NULs and two more at the end; ParseFilterList reads
// its pairs back up to the empty string, as the platform does.
TEST_F(KelCommonDialog, ConvertsFilterToNulSeparatedList) {
  const struct {
    std::string filter, list, items;
  } cases[] = {
      {"Проекты (*.zrp)|*.zrp", "Проекты (*.zrp)\0*.zrp\0\0"s, "[Проекты (*.zrp)|*.zrp]"},
      {"", "\0\0"s, ""},
      {"A|*.a|B|*.b;*.c", "A\0*.a\0B\0*.b;*.c\0\0"s, "[A|*.a][B|*.b;*.c]"},
  };
  for (const auto& c : cases) {
    dialog_.SetFilter(c.filter);
    dialog_.ShowOpen();
    std::string items;
    for (const FilterItem& item : ParseFilterList(seen().filter)) {
      items += "[" + item.description + "|" + item.pattern + "]";
    }
    EXPECT_EQ(c.list + " " + c.items, seen().filter + " " + items) << c.filter;
  }
}

// The file buffer holds 260 characters counted as code points (a two-byte "ж" counts once), NUL
// filled. A longer name, or a filter of 32,767 characters (its positions are counted in signed
// 16 bits), fails before any dialog.
TEST_F(KelCommonDialog, RefusesTooLongNameOrFilterBeforeAnyDialog) {
  for (const std::size_t letters : {0, 260}) {
    dialog_.SetFileName(Zh(letters));
    dialog_.ShowOpen();
    EXPECT_EQ(Zh(letters) + std::string(260 - letters, '\0'), seen().file) << letters;
  }
  platform_.calls.clear();
  dialog_.SetFileName(Zh(261));
  EXPECT_EQ(kDialogInvalidArgument, ErrorNumber(false));
  dialog_.SetFileName("");
  dialog_.SetFilter(Zh(32767));
  EXPECT_EQ(kDialogOverflow, ErrorNumber(true));
  EXPECT_TRUE(platform_.calls.empty());
}

// The chosen path and bare name come back, and the path is the next dialog's initial name; the
// next record starts afresh, whatever the dialog wrote into this one.
TEST_F(KelCommonDialog, ConfirmedDialogGivesFullPathAndBareName) {
  platform_.answer = [](DialogRecord& record) {
    record.flags |= 0x4;
    StoreInBuffer(record.file, record.max_file, "/home/u/skin/config.zrp");
    StoreInBuffer(record.file_title, record.max_file_title, "config.zrp");
    return 1;
  };
  dialog_.ShowOpen();
  EXPECT_EQ("/home/u/skin/config.zrp | config.zrp", Names());
  dialog_.ShowSave();
  EXPECT_EQ(kOfnExplorer | kOfnEnableHook, seen().flags);
  EXPECT_EQ("/home/u/skin/config.zrp"s + std::string(260, '\0'),
            BufferText(seen().file) + seen().file_title);
  EXPECT_EQ((std::vector<std::string>{"open", "save"}), platform_.calls);
}

// A cancelled dialog keeps the names and fails only with CancelError set; without a platform,
// every dialog ends as cancelled.
TEST_F(KelCommonDialog, CancelKeepsNamesAndFailsOnlyWithCancelError) {
  dialog_.SetFileName("start.zrp");
  dialog_.SetFileTitle("old");
  EXPECT_EQ(-1, ErrorNumber(false));
  EXPECT_EQ("start.zrp | old", Names());
  mdlCdlg::SetDialogPlatform(nullptr);
  dialog_.SetCancelError(true);
  EXPECT_EQ(kDialogCancelled, ErrorNumber(true));
}

// Text is stored only with room for its NUL, counted in characters; the rest is NUL filled.
TEST(DialogRecord, StoreInBufferNeedsRoomForTheNul) {
  std::string buffer(4, '\0');
  EXPECT_TRUE(StoreInBuffer(buffer, 4, "жжж"));
  EXPECT_FALSE(StoreInBuffer(buffer, 4, "abcd"));
  EXPECT_EQ("жжж\0"s, buffer);
}

}  // namespace
}  // namespace zrk

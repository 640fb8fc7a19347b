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

// Title and extension stay absent until set, so that the platform's own apply; the dialog starts
// in the folder set, else in a default one; the flags set join the Explorer and hook flags (no
// overwrite question by default: the build asks its own).
TEST_F(KelCommonDialog, HandsPropertiesToTheDialog) {
  dialog_.ShowSave();
  EXPECT_FALSE(seen().title.has_value() || seen().default_ext.has_value());
  EXPECT_NE("", seen().initial_dir);
  EXPECT_EQ(kOfnExplorer | kOfnEnableHook, seen().flags);

  dialog_.Setflags(kOfnOverwritePrompt);
  dialog_.SetDialogTitle("Проект");
  dialog_.SetInitDir("/skins/mine/");
  dialog_.ShowOpen();
  EXPECT_EQ(kOfnExplorer | kOfnEnableHook | kOfnOverwritePrompt, seen().flags);
  EXPECT_EQ("Проект /skins/mine/", seen().title.value_or("") + " " + seen().initial_dir);
}

// The record's filter is the "|" list with NULs and two more at the end; ParseFilterList reads
// its pairs back up to an empty string, as the platform does, or to the end of the text.
TEST_F(KelCommonDialog, ConvertsFilterToNulSeparatedList) {
  const struct {
    std::string filter, list, items;
  } cases[] = {
      {"Проекты (*.zrp)|*.zrp", "Проекты (*.zrp)\0*.zrp\0\0"s, "[Проекты (*.zrp)|*.zrp]"},
      {"", "\0\0"s, ""},
      {"A|*.a|B|*.b;*.c", "A\0*.a\0B\0*.b;*.c\0\0"s, "[A|*.a][B|*.b;*.c]"},
      {"A|*.a|", "A\0*.a\0\0\0"s, "[A|*.a]"},
      {"A|*.a;*.b|B||", "A\0*.a;*.b\0B\0\0\0\0"s, "[A|*.a;*.b]"},
      {"A||B|*.b", "A\0\0B\0*.b\0\0"s, ""},
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
  EXPECT_EQ(1u, ParseFilterList("A\0*.a"s).size());
}

// The file buffer holds 260 characters counted as code points (a two-byte "ж" counts once), NUL
// filled. A longer name, or a filter of 32,767 characters or more (its positions are counted in
// signed 16 bits), fails before any dialog and changes nothing.
TEST_F(KelCommonDialog, RefusesTooLongNameOrFilterBeforeAnyDialog) {
  for (const std::size_t letters : {0, 259, 260}) {
    dialog_.SetFileName(Zh(letters));
    dialog_.ShowOpen();
    EXPECT_EQ(Zh(letters) + std::string(260 - letters, '\0'), seen().file) << letters;
  }
  dialog_.SetFilter(Zh(32766));
  EXPECT_EQ(-1, ErrorNumber(false));

  platform_.calls.clear();
  dialog_.SetFileName(Zh(261));
  dialog_.SetFileTitle("old");
  EXPECT_EQ(kDialogInvalidArgument, ErrorNumber(false));
  EXPECT_EQ(Zh(261) + " | old", Names());
  dialog_.SetFileName("");
  dialog_.SetFilter(Zh(32767));
  EXPECT_EQ(kDialogOverflow, ErrorNumber(true));
  EXPECT_TRUE(platform_.calls.empty());
}

// What the dialog writes into the record's other members flows neither into properties nor into
// the next record; the name it returned is the next dialog's initial name. A buffer it leaves
// without a NUL leaves its property alone.
TEST_F(KelCommonDialog, ConfirmedDialogGivesFullPathAndBareName) {
  platform_.answer = [](DialogRecord& record) {
    record.filter_index = 3;
    record.flags |= 0x4;
    StoreInBuffer(record.file, record.max_file, "/home/u/skin/config.zrp");
    StoreInBuffer(record.file_title, record.max_file_title, "config.zrp");
    return 1;
  };
  dialog_.ShowOpen();
  EXPECT_EQ("/home/u/skin/config.zrp | config.zrp", Names());
  EXPECT_EQ(0, dialog_.FilterIndex() | dialog_.flags());

  platform_.answer = [](DialogRecord& record) {
    record.file.assign(record.max_file, 'a');
    record.file_title = "bare";
    return 1;
  };
  dialog_.ShowSave();
  EXPECT_EQ(0u, seen().filter_index);
  EXPECT_EQ(kOfnExplorer | kOfnEnableHook, seen().flags);
  EXPECT_EQ("/home/u/skin/config.zrp"s + std::string(260, '\0'),
            BufferText(seen().file) + seen().file_title);
  EXPECT_EQ("/home/u/skin/config.zrp | config.zrp", Names());
  EXPECT_EQ((std::vector<std::string>{"open", "save"}), platform_.calls);
}

// A cancelled dialog keeps the names and fails only with CancelError set; without a platform,
// every dialog ends as cancelled.
TEST_F(KelCommonDialog, CancelKeepsNamesAndFailsOnlyWithCancelError) {
  dialog_.SetFileName("start.zrp");
  dialog_.SetFileTitle("old");
  EXPECT_EQ(-1, ErrorNumber(false));
  dialog_.SetCancelError(true);
  EXPECT_EQ(kDialogCancelled, ErrorNumber(true));
  EXPECT_EQ("start.zrp | old", Names());
  platform_.answer = [](DialogRecord& record) {
    return StoreInBuffer(record.file, record.max_file, "/s/a.zrp") ? 1 : 0;
  };
  EXPECT_EQ(-1, ErrorNumber(false));
  EXPECT_EQ("/s/a.zrp | ", Names());
  mdlCdlg::SetDialogPlatform(nullptr);
  EXPECT_EQ(kDialogCancelled, ErrorNumber(false));
  EXPECT_EQ("/s/a.zrp | ", Names());
}

// Text is stored only with room for its NUL, counted in characters; the rest is NUL filled.
TEST(DialogRecord, StoreInBufferNeedsRoomForTheNul) {
  std::string buffer(4, '\0');
  EXPECT_TRUE(StoreInBuffer(buffer, 4, "жжж"));
  EXPECT_FALSE(StoreInBuffer(buffer, 4, "abcd"));
  EXPECT_EQ("жжж\0"s, buffer);
  EXPECT_TRUE(StoreInBuffer(buffer, 4, "a"));
  EXPECT_EQ("a\0\0\0"s, buffer);
  EXPECT_EQ("a", BufferText(buffer));
}

}  // namespace
}  // namespace zrk

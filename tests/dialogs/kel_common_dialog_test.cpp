// Tests of kelCommonDialog: the record it hands the platform and what it reads back.
#include "dialogs/kel_common_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/fake_dialog_platform.h"
#include "platform/native_path.h"

namespace zrk {
namespace {

using namespace std::string_literals;

std::string Repeat(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

class KelCommonDialog : public ::testing::Test {
 protected:
  // The number of the DialogError that call throws, or -1 when it throws none.
  template <typename Call>
  static std::int32_t ErrorNumber(Call call) {
    try {
      call();
    } catch (const DialogError& error) {
      return error.number();
    }
    return -1;
  }
  const DialogRecord& seen() const { return platform_.seen; }

  testing::FakeDialogPlatform platform_;
  kelCommonDialog dialog_;
};

TEST_F(KelCommonDialog, FillsRecordFromProperties) {
  dialog_.ShowSave();  // title and extension are absent until set
  EXPECT_FALSE(seen().title.has_value());
  EXPECT_FALSE(seen().default_ext.has_value());
  EXPECT_EQ(0x00080020u, seen().flags);

  dialog_.Setflags(0x1000);
  dialog_.SetDialogTitle("Проект");
  dialog_.SetFileName("config.zrp");
  dialog_.ShowOpen();
  EXPECT_EQ(76u, seen().struct_size);
  EXPECT_EQ(0x00081020u, seen().flags);
  EXPECT_EQ("Проект", seen().title);
  EXPECT_EQ(platform::DefaultDialogFolder(), seen().initial_dir);
  EXPECT_EQ("config.zrp" + std::string(250, '\0'), seen().file);
  EXPECT_EQ(std::string(260, '\0'), seen().file_title);
  EXPECT_EQ(260u, seen().max_file);
  EXPECT_EQ(260u, seen().max_file_title);

  dialog_.SetInitDir("/skins/mine/");
  dialog_.ShowOpen();
  EXPECT_EQ("/skins/mine/", seen().initial_dir);

  dialog_.SetDialogTitle("");
  dialog_.ShowSave();
  EXPECT_EQ("", seen().title);
}

// The record's filter is the "|" list with NULs and two more at the end; ParseFilterList reads
// its pairs back up to an empty string.
TEST_F(KelCommonDialog, ConvertsFilterToNulSeparatedList) {
  const struct {
    std::string filter, list;
    std::vector<std::string> items;  // description, pattern, description, pattern...
  } cases[] = {
      {"Файлы проектов ZRK 4.x (*.zrp)|*.zrp",
       "Файлы проектов ZRK 4.x (*.zrp)\0*.zrp\0\0"s,
       {"Файлы проектов ZRK 4.x (*.zrp)", "*.zrp"}},
      {"", "\0\0"s, {}},
      {"A|*.a|B|*.b;*.c", "A\0*.a\0B\0*.b;*.c\0\0"s, {"A", "*.a", "B", "*.b;*.c"}},
      {"A|*.a|", "A\0*.a\0\0\0"s, {"A", "*.a"}},
      {"A|*.a;*.b|B||", "A\0*.a;*.b\0B\0\0\0\0"s, {"A", "*.a;*.b"}},
      {"A||B|*.b", "A\0\0B\0*.b\0\0"s, {}},
  };
  for (const auto& c : cases) {
    dialog_.SetFilter(c.filter);
    dialog_.ShowOpen();
    EXPECT_EQ(c.list, seen().filter) << c.filter;
    std::vector<std::string> items;
    for (const FilterItem& item : ParseFilterList(seen().filter)) {
      items.push_back(item.description);
      items.push_back(item.pattern);
    }
    EXPECT_EQ(c.items, items) << c.filter;
  }
  EXPECT_EQ(1u, ParseFilterList("A\0*.a"s).size());  // the end of the text ends the list too
}

// The buffer holds 260 characters counted as code points (a two-byte "ж" counts once); a longer
// name fails before any dialog and changes nothing.
TEST_F(KelCommonDialog, FileBufferHolds260Characters) {
  const std::pair<std::size_t, std::string> fitting[] = {
      {0, std::string(260, '\0')}, {259, Repeat("ж", 259) + '\0'}, {260, Repeat("ж", 260)}};
  for (const auto& [letters, buffer] : fitting) {
    dialog_.SetFileName(Repeat("ж", letters));
    dialog_.ShowOpen();
    EXPECT_EQ(buffer, seen().file) << letters;
  }
  platform_.calls.clear();
  dialog_.SetFileName(Repeat("ж", 261));
  dialog_.SetFileTitle("old");
  EXPECT_EQ(kDialogInvalidArgument, ErrorNumber([&] { dialog_.ShowOpen(); }));
  EXPECT_EQ(kDialogInvalidArgument, ErrorNumber([&] { dialog_.ShowSave(); }));
  EXPECT_TRUE(platform_.calls.empty());
  EXPECT_EQ(Repeat("ж", 261), dialog_.FileName());
  EXPECT_EQ("old", dialog_.FileTitle());
}

// Filter positions are counted in 16 bits, signed: 32,766 characters still work.
TEST_F(KelCommonDialog, FilterOf32767CharactersOverflows) {
  dialog_.SetFilter(Repeat("ж", 32766));
  dialog_.ShowOpen();
  dialog_.SetFilter(Repeat("ж", 32767));
  EXPECT_EQ(kDialogOverflow, ErrorNumber([&] { dialog_.ShowSave(); }));
  EXPECT_EQ(std::vector<std::string>{"open"}, platform_.calls);
}

// What the dialog writes into the record's other members flows neither into properties nor into
// the next record; the name it returned is the next dialog's initial name.
TEST_F(KelCommonDialog, ConfirmedDialogGivesFullPathAndBareName) {
  platform_.answer = [](DialogRecord& record) {
    record.filter_index = 3;
    record.flags |= 0x4;
    StoreInBuffer(record.file, record.max_file, "/home/u/skin/config.zrp");
    StoreInBuffer(record.file_title, record.max_file_title, "config.zrp");
    return 1;
  };
  dialog_.ShowOpen();
  EXPECT_EQ("/home/u/skin/config.zrp", dialog_.FileName());
  EXPECT_EQ("config.zrp", dialog_.FileTitle());
  EXPECT_EQ(0, dialog_.FilterIndex() | dialog_.flags());
  dialog_.ShowSave();
  EXPECT_EQ(0u, seen().filter_index);
  EXPECT_EQ(0x00080020u, seen().flags);
  EXPECT_EQ("/home/u/skin/config.zrp", BufferText(seen().file));
  EXPECT_EQ((std::vector<std::string>{"open", "save"}), platform_.calls);
}

// A confirmed dialog takes each property from its buffer only when the buffer holds a NUL.
TEST_F(KelCommonDialog, BufferWithoutNulLeavesItsProperty) {
  platform_.answer = [](DialogRecord& record) {
    record.file_title = "bare";
    return 1;
  };
  dialog_.SetFileName(std::string(260, 'a'));
  dialog_.SetFileTitle("old");
  dialog_.ShowOpen();
  EXPECT_EQ(std::string(260, 'a'), dialog_.FileName());
  EXPECT_EQ("old", dialog_.FileTitle());
}

TEST_F(KelCommonDialog, CancelKeepsNamesAndFailsOnlyWithCancelError) {
  dialog_.SetFileName("start.zrp");
  dialog_.SetFileTitle("old");
  dialog_.ShowOpen();
  dialog_.SetCancelError(true);
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog_.ShowOpen(); }));
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog_.ShowSave(); }));
  EXPECT_EQ("start.zrp", dialog_.FileName());
  EXPECT_EQ("old", dialog_.FileTitle());
  platform_.Choose("/s/a.zrp", "a.zrp");
  EXPECT_EQ(-1, ErrorNumber([&] { dialog_.ShowOpen(); }));
  EXPECT_EQ("/s/a.zrp", dialog_.FileName());

  // Without a platform, every dialog ends as cancelled.
  mdlCdlg::SetDialogPlatform(nullptr);
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog_.ShowSave(); }));
  dialog_.SetCancelError(false);
  dialog_.ShowOpen();
  EXPECT_EQ("/s/a.zrp", dialog_.FileName());
}

TEST(DialogRecord, StoreInBufferNeedsRoomForTheNul) {
  std::string buffer(4, '\0');
  EXPECT_TRUE(StoreInBuffer(buffer, 4, "жжж"));
  EXPECT_EQ("жжж\0"s, buffer);
  EXPECT_FALSE(StoreInBuffer(buffer, 4, "abcd"));
  EXPECT_EQ("жжж\0"s, buffer);
  EXPECT_TRUE(StoreInBuffer(buffer, 4, "a"));
  EXPECT_EQ("a\0\0\0"s, buffer);
  EXPECT_EQ("a", BufferText(buffer));
}

}  // namespace
}  // namespace zrk

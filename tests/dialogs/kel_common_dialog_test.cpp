// Tests of kelCommonDialog: the record it hands the platform and what it reads back.
#include "dialogs/kel_common_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/fake_dialog_platform.h"
#include "platform/native_path.h"

namespace zrk {
namespace {

using namespace std::string_literals;
using testing::FakeDialogPlatform;

std::string Repeat(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

// Runs call and returns the number of the DialogError it throws, or -1 when it throws none.
template <typename Call>
std::int32_t ErrorNumber(Call call) {
  try {
    call();
  } catch (const DialogError& error) {
    return error.number();
  }
  return -1;
}

TEST(KelCommonDialog, PropertiesStartEmptyAndKeepWhatIsSet) {
  kelCommonDialog dialog;
  EXPECT_EQ("", dialog.OKText() + dialog.FileName() + dialog.DialogTitle() + dialog.Filter());
  EXPECT_EQ(0, dialog.flags() | dialog.Left() | dialog.Top() | dialog.FilterIndex());
  EXPECT_FALSE(dialog.CancelError());

  // These reach no dialog: they only keep what they were given.
  dialog.SetDialogPrompt("prompt");
  dialog.SetAppName("app");
  dialog.SetWidth(-3);
  dialog.SetHeight(70000);
  EXPECT_EQ("prompt/app", dialog.DialogPrompt() + "/" + dialog.AppName());
  EXPECT_EQ(-3, dialog.Width());
  EXPECT_EQ(70000, dialog.Height());
}

TEST(KelCommonDialog, FillsRecordFromProperties) {
  FakeDialogPlatform platform;
  kelCommonDialog dialog;
  dialog.SethOwner(42);
  dialog.Setflags(0x1000);
  dialog.SetFilterIndex(2);
  dialog.SetDialogTitle("Проект");
  dialog.SetDefaultExt("zrp");
  dialog.SetFileName("config.zrp");
  dialog.SetFilter("A|*.a|B|*.b");
  dialog.SetDialogPrompt("not in the record");
  dialog.ShowOpen();

  const DialogRecord& record = platform.seen;
  EXPECT_EQ(76u, record.struct_size);
  EXPECT_EQ(42u, record.owner);
  EXPECT_EQ(0x00081020u, record.flags);
  EXPECT_EQ(2u, record.filter_index);
  EXPECT_EQ("Проект", record.title);
  EXPECT_EQ("zrp", record.default_ext);
  EXPECT_EQ(platform::ProgramFolder(), record.initial_dir);
  EXPECT_EQ("config.zrp" + std::string(250, '\0'), record.file);
  EXPECT_EQ(260u, record.max_file);
  EXPECT_EQ(std::string(260, '\0'), record.file_title);
  EXPECT_EQ(260u, record.max_file_title);
  EXPECT_EQ("A\0*.a\0B\0*.b\0\0"s, record.filter);
  EXPECT_EQ(&mdlCdlg::FileDialogHook, record.hook);
  EXPECT_FALSE(record.custom_filter.has_value());
  EXPECT_FALSE(record.template_name.has_value());
}

TEST(KelCommonDialog, TitleAndExtensionAbsentUntilSet) {
  FakeDialogPlatform platform;
  kelCommonDialog dialog;
  dialog.ShowSave();
  EXPECT_FALSE(platform.seen.title.has_value());
  EXPECT_FALSE(platform.seen.default_ext.has_value());
  EXPECT_EQ(0x00080020u, platform.seen.flags);

  dialog.SetDialogTitle("");
  dialog.ShowSave();
  EXPECT_EQ("", platform.seen.title);
}

TEST(KelCommonDialog, ConvertsFilterToNulSeparatedList) {
  const struct {
    std::string filter;
    std::string expected;
  } cases[] = {
      {"Файлы проектов ZRK 4.x (*.zrp)|*.zrp", "Файлы проектов ZRK 4.x (*.zrp)\0*.zrp\0\0"s},
      {"", "\0\0"s},
      {"A|*.a|", "A\0*.a\0\0\0"s},
      {"A|*.a;*.b|B||", "A\0*.a;*.b\0B\0\0\0\0"s},
  };
  FakeDialogPlatform platform;
  kelCommonDialog dialog;
  for (const auto& c : cases) {
    dialog.SetFilter(c.filter);
    dialog.ShowOpen();
    EXPECT_EQ(c.expected, platform.seen.filter) << c.filter;
    EXPECT_EQ(c.filter, dialog.Filter());
  }
}

// The buffer holds 260 characters counted as code points (two-byte Cyrillic letters count once);
// a longer name fails before any dialog and changes nothing.
TEST(KelCommonDialog, FileBufferHolds260Characters) {
  const struct {
    std::size_t letters;
    std::string expected_buffer;  // empty: the call fails with kDialogInvalidArgument
  } cases[] = {
      {0, std::string(260, '\0')},
      {259, Repeat("ж", 259) + '\0'},
      {260, Repeat("ж", 260)},
      {261, ""},
  };
  for (const auto& c : cases) {
    FakeDialogPlatform platform;
    platform.Choose("/home/u/skin/config.zrp", "config.zrp");
    kelCommonDialog dialog;
    const std::string name = Repeat("ж", c.letters);
    dialog.SetFileName(name);
    dialog.SetFileTitle("old");
    if (c.expected_buffer.empty()) {
      EXPECT_EQ(kDialogInvalidArgument, ErrorNumber([&] { dialog.ShowOpen(); }));
      EXPECT_EQ(kDialogInvalidArgument, ErrorNumber([&] { dialog.ShowSave(); }));
      EXPECT_TRUE(platform.calls.empty());
      EXPECT_EQ(name, dialog.FileName());
      EXPECT_EQ("old", dialog.FileTitle());
    } else {
      dialog.ShowOpen();
      EXPECT_EQ(c.expected_buffer, platform.seen.file) << c.letters;
    }
  }
}

// Filter positions are counted in 16 bits, signed: 32,766 characters still work.
TEST(KelCommonDialog, FilterOf32767CharactersOverflows) {
  FakeDialogPlatform platform;
  kelCommonDialog dialog;
  dialog.SetFilter(Repeat("ж", 32766));
  dialog.ShowOpen();
  EXPECT_EQ(1u, platform.calls.size());

  const std::string too_long = Repeat("ж", 32767);
  dialog.SetFilter(too_long);
  EXPECT_EQ(kDialogOverflow, ErrorNumber([&] { dialog.ShowSave(); }));
  EXPECT_EQ(1u, platform.calls.size());
  EXPECT_EQ(too_long, dialog.Filter());
}

TEST(KelCommonDialog, ConfirmedDialogGivesFullPathAndBareName) {
  FakeDialogPlatform platform;
  platform.Choose("/home/u/skin/config.zrp", "config.zrp");
  kelCommonDialog dialog;
  dialog.ShowOpen();
  EXPECT_EQ("/home/u/skin/config.zrp", dialog.FileName());
  EXPECT_EQ("config.zrp", dialog.FileTitle());

  platform.Choose("/home/u/out/skin", "skin");
  dialog.SetFileName("");
  dialog.ShowSave();
  EXPECT_EQ("/home/u/out/skin", dialog.FileName());
  EXPECT_EQ("skin", dialog.FileTitle());
  EXPECT_EQ((std::vector<std::string>{"open", "save"}), platform.calls);
}

// A confirmed dialog takes each property from its buffer only when the buffer holds a NUL.
TEST(KelCommonDialog, BufferWithoutNulLeavesItsProperty) {
  FakeDialogPlatform platform;
  platform.answer = [](DialogRecord& record) {
    record.file_title = "bare";
    return 1;
  };
  kelCommonDialog dialog;
  const std::string name_260 = Repeat("a", 260);
  dialog.SetFileName(name_260);
  dialog.SetFileTitle("old");
  dialog.ShowOpen();
  EXPECT_EQ(name_260, dialog.FileName());
  EXPECT_EQ("old", dialog.FileTitle());
}

TEST(KelCommonDialog, CancelKeepsFileNameAndTitle) {
  FakeDialogPlatform platform;
  platform.Choose("/s/config.zrp", "config.zrp");
  kelCommonDialog dialog;
  dialog.ShowOpen();

  platform.answer = [](DialogRecord&) { return 0; };
  dialog.SetFileName("");
  dialog.ShowOpen();
  EXPECT_EQ("", dialog.FileName());
  EXPECT_EQ("config.zrp", dialog.FileTitle());
}

TEST(KelCommonDialog, CancelErrorMakesCancelFailWithNumberZero) {
  FakeDialogPlatform platform;
  kelCommonDialog dialog;
  dialog.SetCancelError(true);
  dialog.SetFileName("start.zrp");
  dialog.SetFileTitle("old");
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog.ShowOpen(); }));
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog.ShowSave(); }));
  EXPECT_EQ("start.zrp", dialog.FileName());
  EXPECT_EQ("old", dialog.FileTitle());

  platform.Choose("/s/a.zrp", "a.zrp");
  EXPECT_EQ(-1, ErrorNumber([&] { dialog.ShowOpen(); }));
  EXPECT_EQ("/s/a.zrp", dialog.FileName());
}

TEST(KelCommonDialog, WithoutPlatformDialogEndsAsCancelled) {
  ASSERT_EQ(nullptr, mdlCdlg::DialogPlatform());
  kelCommonDialog dialog;
  dialog.SetFileName("kept.zrp");
  dialog.ShowOpen();
  EXPECT_EQ("kept.zrp", dialog.FileName());
  dialog.SetCancelError(true);
  EXPECT_EQ(kDialogCancelled, ErrorNumber([&] { dialog.ShowSave(); }));
}

// What the dialog writes into the record's other members does not flow back into properties.
TEST(KelCommonDialog, PropertiesKeptBetweenDialogs) {
  FakeDialogPlatform platform;
  platform.answer = [](DialogRecord& record) {
    record.filter_index = 3;
    record.flags |= 0x4;
    StoreInBuffer(record.file, record.max_file, "/s/a.zrk");
    StoreInBuffer(record.file_title, record.max_file_title, "a.zrk");
    return 1;
  };
  kelCommonDialog dialog;
  dialog.SetOKText("Сохранить");
  dialog.SetFilter("Файлы оболочек ZR 4.x (*.zrk)|*.zrk");
  dialog.ShowSave();
  dialog.ShowSave();

  EXPECT_EQ("Сохранить", dialog.OKText());
  EXPECT_EQ("Файлы оболочек ZR 4.x (*.zrk)|*.zrk", dialog.Filter());
  EXPECT_EQ(0, dialog.FilterIndex());
  EXPECT_EQ(0, dialog.flags());
  EXPECT_EQ(0u, platform.seen.filter_index);
  EXPECT_EQ(0x00080020u, platform.seen.flags);
  // The name the last dialog returned is the next dialog's initial name.
  EXPECT_EQ("/s/a.zrk", BufferText(platform.seen.file));
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

TEST(DialogRecord, ParseFilterListReadsPairsUpToAnEmptyString) {
  const struct {
    std::string list;
    std::vector<std::string> expected;  // description, pattern, description, pattern...
  } cases[] = {
      {"Файлы (*.zrp)\0*.zrp\0\0"s, {"Файлы (*.zrp)", "*.zrp"}},
      {"A\0*.a\0B\0*.b;*.c\0\0"s, {"A", "*.a", "B", "*.b;*.c"}},
      {"\0\0"s, {}},
      {"A\0*.a\0B\0\0"s, {"A", "*.a"}},
      {"A\0\0B\0*.b\0\0"s, {}},
      {"A\0*.a"s, {"A", "*.a"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> flat;
    for (const FilterItem& item : ParseFilterList(c.list)) {
      flat.push_back(item.description);
      flat.push_back(item.pattern);
    }
    EXPECT_EQ(c.expected, flat);
  }
}

}  // namespace
}  // namespace zrk

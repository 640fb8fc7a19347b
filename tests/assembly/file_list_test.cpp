// Tests of the project file list, on small skins written into temporary folders.
#include "assembly/file_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace zrk {
namespace {

using Names = std::vector<std::string>;
using testing::Ini;

struct ListCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // the first is the project
  Names expected;
};

std::vector<ListCase> ListCases() {
  // clang-format off
  return {
      {"no project file", {}, {"config.zrp"}},
      {"no modules",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=800,600", "[OTHER]", "BackGround=x.zrm"})}},
       {"config.zrp"}},
      // Keys and sections stand in the files in another order than the one they are read in;
      // empty frames are skipped, blanks around one kept.
      {"modules, then the sixteen reads of each",
       {{"config.zrp", Ini({"[MODULES]", "BackLayer=layer.zrm", "ToolTip=tip.zrm",
                            "Picture=pic.zrm", "Font=font.zrm", "BackGround=bg.zrm"})},
        {"bg.zrm", Ini({"[EFFECTS]", "Frames=;f1.bmp;;f2.bmp; f3.bmp;", "Mask=r07.bmp",
                        "Picture=r06.bmp",
                        "[MOUSEDOWN]", "Mask=r15.bmp", "FontFileName=r12.fnt", "Picture=r04.bmp",
                        "[MOUSEUP]", "Mask=r14.bmp", "FontFileName=r11.fnt", "Picture=r03.bmp",
                        "[MOUSEMOVE]", "Mask=r13.bmp", "FontFileName=r10.fnt", "Picture=r02.bmp",
                        "[STANDARD]", "SecondFontFileName=r09.fnt", "FontFileName=r08.fnt",
                        "Mask=r05.bmp", "Picture=r01.bmp", "Frames=not-read.bmp",
                        "[OTHER]", "Picture=not-read.bmp"})},
        {"font.zrm", Ini({"[STANDARD]", "FontFileName=font.fnt", "Picture=font.bmp"})},
        {"tip.zrm", Ini({"[EFFECTS]", "Frames=tip1.bmp"})}},
       {"config.zrp", "bg.zrm", "font.zrm", "pic.zrm", "tip.zrm", "layer.zrm", "r01.bmp", "r02.bmp",
        "r03.bmp", "r04.bmp", "r05.bmp", "r06.bmp", "r07.bmp", "r08.fnt", "r09.fnt", "r10.fnt",
        "r11.fnt", "r12.fnt", "r13.bmp", "r14.bmp", "r15.bmp", "f1.bmp", "f2.bmp", " f3.bmp",
        "font.bmp", "font.fnt", "tip1.bmp"}},
      {"first occurrence wins",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=a.zrm", "Font=b.zrm", "Picture=a.zrm"})},
        {"a.zrm", Ini({"[STANDARD]", "Picture=x.bmp", "Mask=b.zrm", "[MOUSEUP]",
                       "Picture=config.zrp", "[EFFECTS]", "Frames=y.bmp;x.bmp;a.zrm"})},
        {"b.zrm", Ini({"[STANDARD]", "Picture=y.bmp", "Mask=z.bmp"})}},
       {"config.zrp", "a.zrm", "b.zrm", "x.bmp", "y.bmp", "z.bmp"}},
      {"a missing module stays and adds nothing",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=gone.zrm", "Picture=ok.zrm"})},
        {"ok.zrm", Ini({"[STANDARD]", "Picture=ok.bmp"})}},
       {"config.zrp", "gone.zrm", "ok.zrm", "ok.bmp"}},
      // A sub-folder's module names files relative to the project folder; names that differ in
      // letter case only are separate entries, and a module is found through case resolution.
      {"sub-folders and letter case",
       {{"config.zrp", Ini({"[MODULES]", "BackGround=mods\\btn.zrm", "Font=MODS\\BTN.ZRM",
                            "Picture=MODS\\OTHER.ZRM"})},
        {"mods/btn.zrm", Ini({"[STANDARD]", "Picture=img\\a.bmp", "Mask=IMG\\A.bmp", "[MOUSEUP]",
                              "Picture=.\\img\\a.bmp", "Mask=img\\a.bmp"})},
        {"mods/other.zrm", Ini({"[STANDARD]", "Picture=b.bmp"})}},
       {"config.zrp", "mods\\btn.zrm", "MODS\\BTN.ZRM", "MODS\\OTHER.ZRM", "img\\a.bmp",
        ".\\img\\a.bmp", "IMG\\A.bmp", "b.bmp"}},
      // Items without a comma count, empty items do not; a size's keys come after the bare keys.
      {"one pass per size, the last included",
       {{"config.zrp", Ini({"[DIRECTIVES]", "SizeList=;;800;1024,768;640,480,16;;Большой",
                            "[MODULES]", "BackLayer1024=l1024.zrm", "BackGround1024=bg1024.zrm",
                            "Font800=f800.zrm", "BackGround800=bg800.zrm",
                            "BackGround600=not-a-size.zrm", "Font480=not-a-size.zrm",
                            "Font640=f640.zrm", "FontБольшой=big.zrm", "Picture=pic.zrm",
                            "BackGround=bg.zrm"})}},
       {"config.zrp", "bg.zrm", "pic.zrm", "bg800.zrm", "f800.zrm", "bg1024.zrm", "l1024.zrm",
        "f640.zrm", "big.zrm"}},
#ifndef _WIN32  // MinGW takes a narrow path in the ANSI code page
      {"Cyrillic names come back as UTF-8",
       {{"Проект.zrp", Ini({"[MODULES]", "BackGround=Фон.zrm"})},
        {"Фон.zrm", Ini({"[STANDARD]", "Picture=Картинки\\Фон.bmp", "[EFFECTS]",
                         "Frames=Кадр1.bmp;Кадр2.bmp"})}},
       {"Проект.zrp", "Фон.zrm", "Картинки\\Фон.bmp", "Кадр1.bmp", "Кадр2.bmp"}},
#endif
  };
  // clang-format on
}

using CollectFileListTest = ::testing::TestWithParam<ListCase>;
INSTANTIATE_TEST_SUITE_P(, CollectFileListTest, ::testing::ValuesIn(ListCases()),
                         testing::NameOfRow<ListCase>);

TEST_P(CollectFileListTest, FollowsTheProjectToItsModulesAndTheirFiles) {
  const ListCase& c = GetParam();
  testing::TempDir dir;
  for (const auto& [path, bytes] : c.files) testing::WriteFile(dir.path() / path, bytes);
  const std::string project = c.files.empty() ? "config.zrp" : c.files[0].first;
  EXPECT_EQ(c.expected, CollectFileList(dir.folder() + project));
}

}  // namespace
}  // namespace zrk

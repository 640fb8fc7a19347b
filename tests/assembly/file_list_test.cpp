// Tests of the project file list, on small skins written into temporary folders.
#include "assembly/file_list.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "test_util.h"

namespace zrk {
namespace {

using Names = std::vector<std::string>;

class CollectFileListTest : public testing::TempDirTest {
 protected:
  // Writes an INI file, one line per item, CRLF line ends, as Windows-1251 bytes.
  void WriteIni(const std::string& relative, std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const std::string_view line : lines) text.append(line).append("\r\n");
    Write(relative, testing::Cp1251(text));
  }
  Names Collect(const std::string& project = "config.zrp") {
    return CollectFileList(dir_.folder() + project);
  }
};

TEST_F(CollectFileListTest, ProjectAloneWhenItNamesNoModules) {
  EXPECT_EQ(Names{"config.zrp"}, Collect());  // no such file
  WriteIni("config.zrp", {"[DIRECTIVES]", "SizeList=800,600", "[OTHER]", "BackGround=x.zrm"});
  EXPECT_EQ(Names{"config.zrp"}, Collect());
}

// Keys and sections stand in the files in another order than the one they are read in; empty
// frames are skipped, blanks around one kept.
TEST_F(CollectFileListTest, OrderIsModulesThenTheSixteenReads) {
  WriteIni("config.zrp", {"[MODULES]", "BackLayer=layer.zrm", "ToolTip=tip.zrm", "Picture=pic.zrm",
                          "Font=font.zrm", "BackGround=bg.zrm"});
  // clang-format off
  WriteIni("bg.zrm", {"[EFFECTS]", "Frames=;f1.bmp;;f2.bmp; f3.bmp;",
                      "Mask=r07.bmp", "Picture=r06.bmp",
                      "[MOUSEDOWN]", "Mask=r15.bmp", "FontFileName=r12.fnt", "Picture=r04.bmp",
                      "[MOUSEUP]", "Mask=r14.bmp", "FontFileName=r11.fnt", "Picture=r03.bmp",
                      "[MOUSEMOVE]", "Mask=r13.bmp", "FontFileName=r10.fnt", "Picture=r02.bmp",
                      "[STANDARD]", "SecondFontFileName=r09.fnt", "FontFileName=r08.fnt",
                      "Mask=r05.bmp", "Picture=r01.bmp", "Frames=not-read.bmp",
                      "[OTHER]", "Picture=not-read.bmp"});
  // clang-format on
  WriteIni("font.zrm", {"[STANDARD]", "FontFileName=font.fnt", "Picture=font.bmp"});
  WriteIni("tip.zrm", {"[EFFECTS]", "Frames=tip1.bmp"});
  EXPECT_EQ(
      (Names{"config.zrp", "bg.zrm",  "font.zrm", "pic.zrm",  "tip.zrm",  "layer.zrm", "r01.bmp",
             "r02.bmp",    "r03.bmp", "r04.bmp",  "r05.bmp",  "r06.bmp",  "r07.bmp",   "r08.fnt",
             "r09.fnt",    "r10.fnt", "r11.fnt",  "r12.fnt",  "r13.bmp",  "r14.bmp",   "r15.bmp",
             "f1.bmp",     "f2.bmp",  " f3.bmp",  "font.bmp", "font.fnt", "tip1.bmp"}),
      Collect());
}

TEST_F(CollectFileListTest, FirstOccurrenceWins) {
  WriteIni("config.zrp", {"[MODULES]", "BackGround=a.zrm", "Font=b.zrm", "Picture=a.zrm"});
  WriteIni("a.zrm", {"[STANDARD]", "Picture=x.bmp", "Mask=b.zrm", "[MOUSEUP]", "Picture=config.zrp",
                     "[EFFECTS]", "Frames=y.bmp;x.bmp;a.zrm"});
  WriteIni("b.zrm", {"[STANDARD]", "Picture=y.bmp", "Mask=z.bmp"});
  EXPECT_EQ((Names{"config.zrp", "a.zrm", "b.zrm", "x.bmp", "y.bmp", "z.bmp"}), Collect());
}

TEST_F(CollectFileListTest, MissingModuleStaysAndAddsNothing) {
  WriteIni("config.zrp",
           {"[MODULES]", "BackGround=gone.zrm", "Font=C:\\skin\\a.zrm", "Picture=ok.zrm"});
  WriteIni("ok.zrm", {"[STANDARD]", "Picture=ok.bmp"});
  Write("skin/a.zrm", "[STANDARD]\r\nPicture=absolute.bmp\r\n");
  EXPECT_EQ((Names{"config.zrp", "gone.zrm", "C:\\skin\\a.zrm", "ok.zrm", "ok.bmp"}), Collect());
}

// Names in a module of a sub-folder stay as written, relative to the project folder; names that
// differ only in letter case are different entries, and a module is read through case resolution.
TEST_F(CollectFileListTest, SubFoldersAndLetterCase) {
  WriteIni("config.zrp", {"[MODULES]", "BackGround=mods\\btn.zrm", "Font=MODS\\BTN.ZRM",
                          "Picture=MODS\\OTHER.ZRM"});
  WriteIni("mods/btn.zrm", {"[STANDARD]", "Picture=img\\a.bmp", "Mask=IMG\\A.bmp", "[MOUSEUP]",
                            "Picture=.\\img\\a.bmp", "Mask=img\\a.bmp"});
  WriteIni("mods/other.zrm", {"[STANDARD]", "Picture=b.bmp"});
  EXPECT_EQ((Names{"config.zrp", "mods\\btn.zrm", "MODS\\BTN.ZRM", "MODS\\OTHER.ZRM", "img\\a.bmp",
                   ".\\img\\a.bmp", "IMG\\A.bmp", "b.bmp"}),
            Collect());
}

// Items without a comma count, empty items do not; a size's keys come after the bare keys.
TEST_F(CollectFileListTest, OnePassPerSizeTheLastIncluded) {
  WriteIni("config.zrp",
           {"[DIRECTIVES]", "SizeList=;;800;1024,768;640,480,16;;Большой", "[MODULES]",
            "BackLayer1024=l1024.zrm", "BackGround1024=bg1024.zrm", "Font800=f800.zrm",
            "BackGround800=bg800.zrm", "BackGround600=not-a-size.zrm", "Font480=not-a-size.zrm",
            "Font640=f640.zrm", "FontБольшой=big.zrm", "Picture=pic.zrm", "BackGround=bg.zrm"});
  EXPECT_EQ((Names{"config.zrp", "bg.zrm", "pic.zrm", "bg800.zrm", "f800.zrm", "bg1024.zrm",
                   "l1024.zrm", "f640.zrm", "big.zrm"}),
            Collect());
}

TEST_F(CollectFileListTest, CyrillicNamesComeBackAsUtf8) {
  ZRK_SKIP_ON_WINDOWS(testing::kNonAsciiNamesNeedWidePaths);
  WriteIni("Проект.zrp", {"[MODULES]", "BackGround=Фон.zrm"});
  WriteIni("Фон.zrm",
           {"[STANDARD]", "Picture=Картинки\\Фон.bmp", "[EFFECTS]", "Frames=Кадр1.bmp;Кадр2.bmp"});
  EXPECT_EQ((Names{"Проект.zrp", "Фон.zrm", "Картинки\\Фон.bmp", "Кадр1.bmp", "Кадр2.bmp"}),
            Collect("Проект.zrp"));
}

}  // namespace
}  // namespace zrk
